#include "utf16_conversion.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>

#include "app_paths.h"
#include "errors.h"
#include "file_access.h"
#include "utf8_text.h"

namespace captivo {

namespace {

constexpr size_t kBlockSize = 2048;

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
