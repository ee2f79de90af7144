#include "app_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace captivo {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path(error) : exe.parent_path();
}

bool IsSystemFolder(const std::filesystem::path& folder) {
  const std::filesystem::path normal = folder.lexically_normal();
  auto top = normal.begin();
  if (top == normal.end() || *top != "/" || ++top == normal.end()) return false;
  return *top == "usr" || *top == "opt";
}

std::filesystem::path UserFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return std::filesystem::path(value) / "captivo";
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry ? entry->pw_dir : "/tmp";
  }
  return std::filesystem::path(home) / fallback / "captivo";
}

}  // namespace captivo
