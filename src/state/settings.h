#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "exclusive_change.h"

namespace captivo {

// "set.ini": [Setting] OnTop, [LastProcessHandle] Handle, the process id of the
// instance whose main window closed last, [Volume] Level (percent) and Mute, [Subtitles]
// ExactTimes, and the languages the user prefers for a movie's own tracks, [Subtitles]
// Languages and [Audio] Languages (codes in order, as the user wrote them; read only).
struct Settings {
  bool onTop = true;
  int32_t lastProcess = -1;
  int volume = 100;
  bool muted = false;
  bool exactTimes = false;
  std::string subtitleLanguages;
  std::string audioLanguages;
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

// Writes, at the close of an instance that read `atStart` at its start, what it changed
// since: each of OnTop, Level (clamped to 0..100) and Mute whose value differs from
// `atStart`, or that the file lacks or holds unreadably, ExactTimes when it differs, and
// always Handle. The file is
// read and replaced under its lock (ChangeExclusively), waiting up to `patience` for
// another instance's write: a key this instance did not change keeps what another wrote
// meanwhile, and every other line of the file is kept. SettingsWriteError when the file
// cannot be written (nothing is written then).
void WriteSettingsFile(const std::filesystem::path& path, const Settings& atStart,
                       const Settings& now,
                       std::chrono::milliseconds patience = kLongestWaitForWriters);

}  // namespace captivo
