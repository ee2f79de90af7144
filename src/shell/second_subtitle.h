#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "command_boundary.h"
#include "movie_tracks.h"
#include "subtitle_timing.h"
#include "track_feed.h"

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

// Subtitle > Second Subtitle (Load..., None, the movie's text tracks) and Subtitle > Adjust
// Second Subtitle: a second text subtitle shown above the first, with an offset and a rate
// of its own, which the timing commands change while Adjust Second Subtitle is checked.
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
  // may be one), or the movie's text track `track` of the movie at `moviePath`, read from
  // the time due now first; with `offset` and `rate` as remembered, else as loaded.
  void Open(const std::string& path, int32_t offset = 0,
            RateChoice rate = RateChoice::SameAsMovie());
  void OpenTrack(const std::string& moviePath, int32_t track, int32_t offset = 0,
                 RateChoice rate = RateChoice::SameAsMovie());
  // Closes the second subtitle, and the timing commands adjust the first again.
  void Close();
  // The movie's subtitle tracks, listed: its text tracks become items of the submenu.
  void ShowTracks(const std::string& moviePath, const std::vector<MovieTrack>& tracks);
  // A track's lines read since the last tick go into the second subtitle; `dueMs`: its
  // time due now.
  void TakeLines(int64_t dueMs);

 private:
  void Load();
  void Shown(const QString& what);
  void Adjust(bool second);

  Parts parts_;
  std::function<void(bool)> shown_;
  std::function<void()> changed_;
  CommandRunner run_;
  QMenu* menu_;
  QAction* adjust_;
  std::vector<QAction*> trackItems_;
  TrackFeed feed_;  // the lines of a track of the movie, as they are read
  int64_t dueMs_ = 0;
};

}  // namespace captivo
