#include "settings.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "app_paths.h"
#include "profile_file.h"

namespace captivo {

namespace {

constexpr const char* kSettingsFile = "set.ini";
constexpr int kMaxVolume = 100;

std::optional<int32_t> IntegerAt(const ProfileFile& file, std::string_view section,
                                 std::string_view key) {
  const auto value = file.Read(section, key);
  return value ? ParseProfileInteger(*value) : std::nullopt;
}

// Each key's value as the file holds it, or nothing when it is missing or unreadable.
std::optional<bool> OnTopIn(const ProfileFile& file) {
  const auto number = IntegerAt(file, "Setting", "OnTop");
  return number ? std::optional<bool>(*number != 0) : std::nullopt;
}

std::optional<int32_t> HandleIn(const ProfileFile& file) {
  return IntegerAt(file, "LastProcessHandle", "Handle");
}

std::optional<int> VolumeIn(const ProfileFile& file) {
  const auto number = IntegerAt(file, "Volume", "Level");
  return number && *number >= 0 && *number <= kMaxVolume ? number : std::nullopt;
}

// Only a plain 1 mutes: a damaged value never silences the movie.
std::optional<bool> MutedIn(const ProfileFile& file) {
  const auto number = IntegerAt(file, "Volume", "Mute");
  return number && (*number == 0 || *number == 1) ? std::optional<bool>(*number == 1)
                                                  : std::nullopt;
}

std::optional<bool> ExactTimesIn(const ProfileFile& file) {
  const auto number = IntegerAt(file, "Subtitles", "ExactTimes");
  return number ? std::optional<bool>(*number != 0) : std::nullopt;
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
  const Settings defaults;
  return {.onTop = OnTopIn(file).value_or(defaults.onTop),
          .lastProcess = HandleIn(file).value_or(defaults.lastProcess),
          .volume = VolumeIn(file).value_or(defaults.volume),
          .muted = MutedIn(file).value_or(defaults.muted),
          .exactTimes = ExactTimesIn(file).value_or(defaults.exactTimes),
          .subtitleLanguages = file.Read("Subtitles", "Languages").value_or(""),
          .audioLanguages = file.Read("Audio", "Languages").value_or("")};
}

void WriteSettingsFile(const std::filesystem::path& path, const Settings& atStart,
                       const Settings& now, std::chrono::milliseconds patience) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  const int volume = std::clamp(now.volume, 0, kMaxVolume);
  const bool saved = ChangeExclusively(path, patience, [&] {
    ProfileFile file(path);
    if (now.onTop != atStart.onTop || !OnTopIn(file))
      file.Write("Setting", "OnTop", now.onTop ? "1" : "0");
    file.Write("LastProcessHandle", "Handle", std::to_string(now.lastProcess));
    if (volume != atStart.volume || !VolumeIn(file))
      file.Write("Volume", "Level", std::to_string(volume));
    if (now.muted != atStart.muted || !MutedIn(file))
      file.Write("Volume", "Mute", now.muted ? "1" : "0");
    if (now.exactTimes != atStart.exactTimes)
      file.Write("Subtitles", "ExactTimes", now.exactTimes ? "1" : "0");
    return file.Save();
  });
  if (!saved) throw SettingsWriteError(path);
}

}  // namespace captivo
