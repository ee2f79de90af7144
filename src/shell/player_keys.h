#pragma once

#include "command_boundary.h"

class QAction;
class QMenu;
class QWidget;

namespace captivo {

class MovieControl;
class StatusBar;
class TimingControl;

// The keys every player has: Movie > Volume (up, down, mute), seeking with the arrow keys
// and Space to pause and resume.
class PlayerKeys {
 public:
  // The volume items go into `movie`; the seeking keys and Space belong to `window`.
  PlayerKeys(QMenu* movie, QWidget* window, MovieControl& player, const TimingControl& timing,
             StatusBar& status, const CommandRunner& run);

  // The mute item shows the movie's muting (as the settings brought it back).
  void ShowMuting();

 private:
  void ChangeVolume(int step);
  // Moves the movie by `seconds` and says where it is now.
  void Seek(double seconds);
  void ToggleMute();  // Mute1Click
  void PauseOrResume();

  MovieControl& movie_;
  const TimingControl& timing_;
  StatusBar& status_;
  QAction* mute_;
};

}  // namespace captivo
