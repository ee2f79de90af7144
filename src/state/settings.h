#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>

namespace captivo {

// "set.ini": [Setting] OnTop, [LastProcessHandle] Handle, the process id of the
// instance whose main window closed last, and [Volume] Level (percent) and Mute.
struct Settings {
  bool onTop = true;
  int32_t lastProcess = -1;
  int volume = 100;
  bool muted = false;
};

// "set.ini" beside the executable when it is there or that folder can be written, unless
// it is a system folder (an installed program's folder is not the user's, not even
// root's); else in the user's configuration folder.
std::filesystem::path SettingsFilePath(const std::filesystem::path& executableFolder,
                                       const std::filesystem::path& configFolder);

// Reads what the file holds; missing or bad values give their defaults.
Settings ReadSettingsFile(const std::filesystem::path& path);

// "Unable to write to %s", with the settings file's path.
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::filesystem::path& path)
      : std::runtime_error("Unable to write to " + path.string()) {}
};

// Writes OnTop and Handle, keeping every other line of the file.
void WriteSettingsFile(const std::filesystem::path& path, bool onTop, int32_t processId);

// Writes Level (clamped to 0..100) and Mute, keeping every other line of the file.
void WriteVolumeSettings(const std::filesystem::path& path, int volume, bool muted);

}  // namespace captivo
