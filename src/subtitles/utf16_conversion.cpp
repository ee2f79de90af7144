#include "utf16_conversion.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>

#include "app_paths.h"
#include "errors.h"
#include "file_access.h"

namespace captivo {

namespace {

constexpr size_t kBlockSize = 2048;
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Turns UTF-16 code units into UTF-8, keeping a high surrogate until its partner comes.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

  void Decode(const unsigned char* bytes, size_t units, std::string& out) {
    for (size_t i = 0; i < units; ++i, bytes += 2) {
      const char16_t unit = bigEndian_ ? static_cast<char16_t>(bytes[0] << 8 | bytes[1])
                                       : static_cast<char16_t>(bytes[1] << 8 | bytes[0]);
      if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHigh_) {
        AppendUtf8(out, 0x10000 + ((char32_t{pendingHigh_} - 0xD800) << 10) + (unit - 0xDC00));
        pendingHigh_ = 0;
        continue;
      }
      Finish(out);
      if (unit >= 0xD800 && unit <= 0xDBFF)
        pendingHigh_ = unit;
      else if (unit >= 0xDC00 && unit <= 0xDFFF)
        AppendUtf8(out, kReplacement);
      else
        AppendUtf8(out, unit);
    }
  }

  // A high surrogate with no partner after it.
  void Finish(std::string& out) {
    if (pendingHigh_) AppendUtf8(out, kReplacement);
    pendingHigh_ = 0;
  }

 private:
  bool bigEndian_;
  char16_t pendingHigh_ = 0;
};

// Creates a file of its own in `folder` (a name no other file has, mode 0600) for
// writing; -1 when the folder does not take it.
int CreateUniqueFile(const std::filesystem::path& folder, std::string& path) {
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  path = (folder / "tmpsub.XXXXXX").string();
  return ::mkostemp(path.data(), O_CLOEXEC);
}

}  // namespace

std::vector<std::filesystem::path> TempSubtitleFolders(
    const std::filesystem::path& executableFolder, const std::filesystem::path& cacheFolder) {
  if (IsSystemFolder(executableFolder)) return {cacheFolder};
  return {executableFolder, cacheFolder};
}

std::vector<std::filesystem::path> TempSubtitleFolders() {
  return TempSubtitleFolders(ExecutableFolder(), UserFolder("XDG_CACHE_HOME", ".cache"));
}

TemporaryFile ConvertUtf16File(int source, const std::string& sourcePath, bool bigEndian,
                               const std::vector<std::filesystem::path>& folders) {
  std::filesystem::path tried = "tmpsub";
  std::string path;
  FileDescriptor out;
  for (const auto& folder : folders) {
    tried = folder / "tmpsub";
    out = FileDescriptor(CreateUniqueFile(folder, path));
    if (out.Get() >= 0) break;
  }
  if (out.Get() < 0) throw FileError::CannotCreate(tried.string());
  TemporaryFile converted(path);  // removed again should anything below fail

  Utf16Decoder decoder(bigEndian);
  char block[kBlockSize];
  std::string text;
  bool written = true;
  for (size_t n; written && (n = ReadFully(source, block, kBlockSize, sourcePath)) > 0;) {
    text.clear();
    decoder.Decode(reinterpret_cast<const unsigned char*>(block), n / 2, text);
    written = WriteFully(out.Get(), text.data(), text.size());
  }
  text.clear();
  decoder.Finish(text);
  written = written && WriteFully(out.Get(), text.data(), text.size());
  if (!written || ::close(out.Release()) != 0) throw FileError::CannotCreate(path);
  return converted;
}

}  // namespace captivo
