#pragma once

class QActionGroup;
class QMenu;
class QObject;

#include "command_boundary.h"

namespace captivo {

class StatusBar;
class TimingControl;
class TimingHistory;

// "Subtitle FrameRate": the six exclusive items SameAsMovie1 and n001 to n005, tagged 0 to
// 5, which choose the subtitle frame rate (n005Click), and the status bar's fifth panel.
// Both show the choice in force: its item checked (none for a rate of its own) and its
// rate in the panel.
class RateMenu {
 public:
  RateMenu(QMenu* subtitleMenu, TimingControl& timing, TimingHistory& history, StatusBar& status,
           const CommandRunner& run);

 private:
  void ShowChoice();

  TimingControl& timing_;
  StatusBar& status_;
  QActionGroup* items_;
};

}  // namespace captivo
