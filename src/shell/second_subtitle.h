#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "command_boundary.h"
#include "subtitle_timing.h"

class QAction;
class QMenu;
class QWidget;

namespace captivo {

class LoadedSubtitles;
class MessageSink;
class StatusBar;
class TimingControl;
class TimingHistory;
class UserPrompts;

// Subtitle > Second Subtitle (Load..., None) and Subtitle > Adjust Second Subtitle: a
// second text subtitle shown above the first, with an offset and a rate of its own, which
// the timing commands change while Adjust Second Subtitle is checked.
class SecondSubtitle : public QObject {
  Q_OBJECT
 public:
  struct Parts {
    QWidget* owner;
    UserPrompts& prompts;
    LoadedSubtitles& second;
    TimingControl& timing;
    TimingHistory& history;
    StatusBar& status;
    MessageSink& messages;  // a reader's messages about the file
  };
  // `shown` runs when a second subtitle comes (true) or goes (false), `changed` when the
  // movie is to be remembered with it.
  SecondSubtitle(QMenu* subtitleMenu, Parts parts, std::function<void(bool)> shown,
                 std::function<void()> changed, const CommandRunner& run);

  // Opens `path` as the second subtitle (a VobSub set is refused: only the first subtitle
  // may be one); with `offset` and `rate` as remembered, else as loaded.
  void Open(const std::string& path, int32_t offset = 0,
            RateChoice rate = RateChoice::SameAsMovie());
  // Closes the second subtitle, and the timing commands adjust the first again.
  void Close();

 private:
  void Load();
  void Adjust(bool second);

  Parts parts_;
  std::function<void(bool)> shown_;
  std::function<void()> changed_;
  QAction* adjust_;
};

}  // namespace captivo
