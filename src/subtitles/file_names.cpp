#include "file_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace captivo {

namespace {

// Where the extension starts, or npos when the file name has none.
size_t ExtensionStart(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash)
             ? dot
             : std::string::npos;
}

}  // namespace

std::string WithoutExtension(const std::string& path) {
  return path.substr(0, ExtensionStart(path));
}

std::string LowerCaseExtension(const std::string& path) {
  const size_t start = ExtensionStart(path);
  std::string extension = start == std::string::npos ? std::string() : path.substr(start);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return extension;
}

std::string AbsoluteLocalPath(const std::string& name) {
  if (!name.empty() && name.front() == '/') return name;
  char* folder = ::getcwd(nullptr, 0);
  std::string path = std::string(folder ? folder : "") + "/" + name;
  std::free(folder);
  return path;
}

bool IsRegularFile(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<std::string> VobSubSetBase(const std::string& path) {
  const std::string extension = LowerCaseExtension(path);
  const std::string base = WithoutExtension(path);
  if ((extension == ".idx" || extension == ".ifo" || extension == ".sub") &&
      IsRegularFile(base + ".idx") && IsRegularFile(base + ".sub"))
    return base;
  return std::nullopt;
}

}  // namespace captivo
