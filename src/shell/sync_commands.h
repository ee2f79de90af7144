#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "command_boundary.h"
#include "speech_sync.h"
#include "sync_note.h"
#include "timing_control.h"

class QAction;
class QMenu;
class QTimer;

namespace captivo {

struct SubtitlePair;
class MovieControl;
class StatusBar;
class TimingHistory;

// Subtitle > Synchronize to Speech and Synchronize to Second Subtitle: the adjusted
// subtitle's lines are laid on the movie's speech, read from its sound, or on the other
// subtitle's lines as they show, on a worker thread while the movie plays on; the status
// bar tells how far it got, and the item chosen again cancels. The offset and rate found
// are put in force as two-point timing puts them (one step of Undo Timing, remembered with
// the movie); the lines after a cut are moved in the subtitle itself, and moved back by
// the undo.
class SyncCommands : public QObject {
  Q_OBJECT
 public:
  SyncCommands(QMenu* subtitleMenu, const MovieControl& movie, TimingControl& timing,
               TimingHistory& history, const SubtitlePair& subtitles, StatusBar& status,
               CommandRunner run);
  // A solve under way is cancelled and waited for.
  ~SyncCommands() override;

  bool Running() const { return worker_.joinable(); }

 private:
  // What a solve was started on, to tell whether its result still fits: the movie, the
  // subtitle adjusted, its file or track (a set's language), and its lines (a track's grow
  // as it is read: not counted).
  struct Started {
    std::string movie;
    Which adjusted = Which::First;
    std::string subtitles;
    std::optional<int32_t> track;
    int32_t language = 0;
    size_t lines = 0;
    bool operator==(const Started&) const = default;
  };
  // The solve on the worker: the share done goes to the progress function, which answers
  // false to stop.
  using Solve = std::function<SyncResult(const SyncProgress& progress)>;

  Started Now() const;
  void Choose(SyncSource source);
  void Start(SyncSource source, Solve solve);
  void Cancel();
  void ShowProgress();
  // The worker is done: its result is put in force if it still fits what is loaded.
  void Finished(SyncSource source, const SyncResult& result, const Started& started);
  void Apply(const SyncResult& result);

  const MovieControl& movie_;
  TimingControl& timing_;
  TimingHistory& history_;
  const SubtitlePair& subtitles_;
  StatusBar& status_;
  CommandRunner run_;
  QAction* toSpeech_;
  QAction* toSecond_;
  QTimer* progressTimer_;
  std::thread worker_;
  SyncSource running_ = SyncSource::Speech;
  // How long the window's thread kept the progress timer waiting beyond its interval at
  // most: the event loop's longest stall while the work runs (told with CAPTIVO_TRACE).
  QElapsedTimer sinceProgress_;
  QElapsedTimer sinceStart_;
  int64_t longestStallMs_ = 0;
  // Shared with the worker: the share done in thousandths, and the request to stop.
  std::atomic<int> permille_{0};
  std::atomic<bool> cancel_{false};
};

}  // namespace captivo
