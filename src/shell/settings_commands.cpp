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
  registry_ = std::make_unique<InstanceRegistry>(places_.runtimeFolder);
  // The id recorded by the instance that closed last is ended only while a main window of
  // another instance runs, and only when it is still an instance of this program whose
  // window has closed.
  if (registry_->AnotherInstanceRuns() && settings.lastProcess != -1)
    registry_->EndStaleInstance(settings.lastProcess);
  registry_->Register();
}

void TfmMain::WriteSettings() {
  WriteSettingsFile(SettingsPath(places_), settingsAtStart_,
                    {.onTop = OnTopFlag,
                     .lastProcess = static_cast<int32_t>(::getpid()),
                     .volume = movie_->Volume(),
                     .muted = movie_->IsMuted()});
}

}  // namespace captivo
