#include "profile_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "errors.h"
#include "file_access.h"
#include "text_rules.h"

namespace captivo {

namespace {

// A settings file is a few lines; a larger one is not loaded, and not overwritten either.
constexpr std::uintmax_t kLargestProfile = 16 << 20;

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// The name of a "[section]" line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// Splits a "key=value" line; false for lines without "=".
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trim(line.substr(0, equals));
  value = Trim(line.substr(equals + 1));
  return true;
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : path_(std::move(path)) {
  // Opened without blocking, and read only when it is a regular file: a FIFO in its
  // place, or a link to one, must not hang start-up.
  const FileDescriptor file = TryOpenRegularFile(path_.c_str());
  if (file.Get() < 0) {
    loaded_ = errno == ENOENT;
    return;
  }
  struct stat info;
  if (::fstat(file.Get(), &info) != 0 ||
      static_cast<std::uintmax_t>(info.st_size) > kLargestProfile) {
    loaded_ = false;
    return;
  }
  std::string text(static_cast<size_t>(info.st_size), '\0');
  try {
    text.resize(ReadFully(file.Get(), text.data(), text.size(), path_.string()));
  } catch (const FileError&) {
    loaded_ = false;
    return;
  }
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    lines_.emplace_back(text, start, end - start);
    start = end + 1;
  }
}

std::optional<std::string> ProfileFile::Read(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const std::string& line : lines_) {
    if (auto name = SectionName(line)) {
      inSection = EqualNoCase(*name, section);
      continue;
    }
    std::string_view k, v;
    if (inSection && KeyValue(line, k, v) && EqualNoCase(k, key)) return std::string(v);
  }
  return std::nullopt;
}

void ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string entry = std::string(key) + "=" + std::string(value);
  std::optional<size_t> sectionLine, lastKeyLine;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = SectionName(lines_[i])) {
      if (sectionLine) break;  // the section has ended
      if (EqualNoCase(*name, section)) sectionLine = lastKeyLine = i;
      continue;
    }
    std::string_view k, v;
    if (!sectionLine || !KeyValue(lines_[i], k, v)) continue;
    if (EqualNoCase(k, key)) {
      lines_[i] = entry;
      return;
    }
    lastKeyLine = i;
  }
  if (!sectionLine) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(entry);
    return;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*lastKeyLine + 1), entry);
}

bool ProfileFile::Save() const {
  if (!loaded_) return false;
  // A file made read-only is left as it is, although the folder would let it be replaced:
  // its mode says so, which root's access() would not. A file that is replaced keeps it.
  mode_t mode = 0644;
  struct stat info;
  if (::stat(path_.c_str(), &info) == 0) {
    mode = info.st_mode & 07777;
    if ((mode & 0222) == 0 || ::access(path_.c_str(), W_OK) != 0) return false;
  }
  std::string text;
  for (const std::string& line : lines_) text += line + "\n";
  return ReplaceFileAtomically(path_.string(), text, mode);
}

std::optional<int32_t> ParseProfileInteger(std::string_view value) {
  value = Trim(value);
  const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
  size_t i = hex ? 2 : 0;
  bool negative = false;
  if (!hex && i < value.size() && (value[i] == '+' || value[i] == '-'))
    negative = value[i++] == '-';
  if (i == value.size()) return std::nullopt;
  int64_t number = 0;
  for (; i < value.size(); ++i) {
    const char c = value[i];
    int digit = (c >= '0' && c <= '9') ? c - '0' : -1;
    if (hex && digit < 0 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
      digit = (c | 0x20) - 'a' + 10;
    if (digit < 0) return std::nullopt;
    number = number * (hex ? 16 : 10) + digit;
    if (number > (int64_t{1} << 32)) return std::nullopt;
  }
  if (negative) number = -number;
  if (number < INT32_MIN || number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(number);
}

}  // namespace captivo
