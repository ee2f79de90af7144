#include "settings.h"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app_paths.h"
#include "profile_file.h"

namespace captivo {

namespace {

constexpr const char* kSettingsFile = "set.ini";
constexpr int kMaxVolume = 100;

// Sets keys of the file through `write` and saves it, creating its folder.
void UpdateSettingsFile(const std::filesystem::path& path,
                        const std::function<void(ProfileFile&)>& write) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  ProfileFile file(path);
  write(file);
  if (!file.Save()) throw SettingsWriteError(path);
}

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
  if (auto value = file.Read("Volume", "Level"))
    if (auto number = ParseProfileInteger(*value); number && *number >= 0 && *number <= kMaxVolume)
      settings.volume = *number;
  // Only a plain 1 mutes: a damaged value never silences the movie.
  if (auto value = file.Read("Volume", "Mute"))
    if (auto number = ParseProfileInteger(*value); number && (*number == 0 || *number == 1))
      settings.muted = *number == 1;
  return settings;
}

void WriteSettingsFile(const std::filesystem::path& path, bool onTop, int32_t processId) {
  UpdateSettingsFile(path, [&](ProfileFile& file) {
    file.Write("Setting", "OnTop", onTop ? "1" : "0");
    file.Write("LastProcessHandle", "Handle", std::to_string(processId));
  });
}

void WriteVolumeSettings(const std::filesystem::path& path, int volume, bool muted) {
  UpdateSettingsFile(path, [&](ProfileFile& file) {
    file.Write("Volume", "Level", std::to_string(std::clamp(volume, 0, kMaxVolume)));
    file.Write("Volume", "Mute", muted ? "1" : "0");
  });
}

}  // namespace captivo
