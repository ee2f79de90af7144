// Reading the settings at start-up, ending a stale instance, writing what changed at the
// close.
#include <unistd.h>

#include "instance_registry.h"
#include "main_window.h"
#include "movie_control.h"
#include "player_keys.h"
#include "settings.h"

namespace captivo {

namespace {

std::filesystem::path SettingsPath(const ShellPlaces& places) {
  return SettingsFilePath(places.executableFolder, places.configFolder);
}

}  // namespace

void TfmMain::ReadSettings() {
  settingsAtStart_ = ReadSettingsFile(SettingsPath(places_));
  const Settings& settings = settingsAtStart_;
  OnTopFlag = settings.onTop;
  movie_->SetVolume(settings.volume);
  movie_->SetMuted(settings.muted);
  playerKeys_->ShowMuting();
  subtitles_.SetExactTimes(settings.exactTimes);
  secondLines_.SetExactTimes(settings.exactTimes);
  ExactTimes1->setChecked(settings.exactTimes);
  registry_ = std::make_unique<InstanceRegistry>(places_.runtimeFolder);
  // The id recorded by the instance that closed last is ended only while a main window of
  // another instance runs, and only when it is still an instance of this program whose
  // window has closed.
  if (registry_->AnotherInstanceRuns() && settings.lastProcess != -1)
    registry_->EndStaleInstance(settings.lastProcess);
  registry_->Register();
}

void TfmMain::WriteSettings() {
  Settings now = settingsAtStart_;
  now.onTop = OnTopFlag;
  now.lastProcess = static_cast<int32_t>(::getpid());
  now.volume = movie_->Volume();
  now.muted = movie_->IsMuted();
  now.exactTimes = subtitles_.ExactTimes();
  WriteSettingsFile(SettingsPath(places_), settingsAtStart_, now);
}

}  // namespace captivo
