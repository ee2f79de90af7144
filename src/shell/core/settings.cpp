#include "settings.h"

#include <unistd.h>

#include <string>

#include "app_paths.h"
#include "profile_file.h"

namespace captivo {

namespace {

constexpr const char* kSettingsFile = "set.ini";

}  // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& executableFolder,
                                       const std::filesystem::path& configFolder) {
  const std::filesystem::path beside = executableFolder / kSettingsFile;
  std::error_code error;
  if (!IsSystemFolder(executableFolder) &&
      (std::filesystem::exists(beside, error) || ::access(executableFolder.c_str(), W_OK) == 0))
    return beside;
  return configFolder / kSettingsFile;
}

Settings ReadSettingsFile(const std::filesystem::path& path) {
  const ProfileFile file(path);
  Settings settings;
  if (auto value = file.Read("Setting", "OnTop"))
    if (auto number = ParseProfileInteger(*value)) settings.onTop = *number != 0;
  if (auto value = file.Read("LastProcessHandle", "Handle"))
    if (auto number = ParseProfileInteger(*value)) settings.lastProcess = *number;
  return settings;
}

void WriteSettingsFile(const std::filesystem::path& path, bool onTop, int32_t processId) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  ProfileFile file(path);
  file.Write("Setting", "OnTop", onTop ? "1" : "0");
  file.Write("LastProcessHandle", "Handle", std::to_string(processId));
  if (!file.Save()) throw SettingsWriteError(path);
}

}  // namespace captivo
