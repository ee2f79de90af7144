#include "sync_commands.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "loaded_subtitles.h"
#include "movie_control.h"
#include "movie_speech.h"
#include "status_bar.h"
#include "store_lines.h"
#include "timing_control.h"
#include "timing_history.h"

namespace captivo {

namespace {

// The reading of the sound takes most of the time; the solve the rest.
constexpr double kReadingShare = 0.9;
constexpr int kProgressIntervalMs = 250;

}  // namespace

SyncCommands::SyncCommands(QMenu* subtitleMenu, const MovieControl& movie, TimingControl& timing,
                           TimingHistory& history, LoadedSubtitles& subtitles, StatusBar& status,
                           CommandRunner run)
    : movie_(movie),
      timing_(timing),
      history_(history),
      subtitles_(subtitles),
      status_(status),
      run_(std::move(run)) {
  toSpeech_ = subtitleMenu->addAction("Synchronize to Speech");
  toSpeech_->setObjectName("SyncToSpeech1");
  toSpeech_->setShortcut(QKeySequence("Ctrl+Shift+A"));  // "align"
  connect(toSpeech_, &QAction::triggered, this,
          [this] { run_([this] { Running() ? Cancel() : SynchronizeToSpeech(); }); });
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(kProgressIntervalMs);
  connect(progressTimer_, &QTimer::timeout, this, &SyncCommands::ShowProgress);
}

SyncCommands::~SyncCommands() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

SyncCommands::Started SyncCommands::Now() const {
  const SubtitleStore* lines = subtitles_.TimedLines();
  const std::optional<int32_t> track = subtitles_.Track();
  return {movie_.FileName(), subtitles_.FileName(), track, subtitles_.Language(),
          lines && !track ? lines->Count() : 0};
}

void SyncCommands::SynchronizeToSpeech() {
  const SubtitleTiming& timing = timing_.Timing();
  if (!movie_.IsOpen() || !timing.HasRate()) {
    status_.ShowNote("No movie to synchronize to: play a movie first");
    return;
  }
  std::optional<SyncSubject> subject = subtitles_.LinesToSync(timing);
  if (!subject) {
    status_.ShowNote("No subtitle lines to synchronize: load a subtitle file");
    return;
  }
  cancel_ = false;
  permille_ = 0;
  const int32_t audioTrack = movie_.AudioTrack();  // the speech library counts from 0
  worker_ = std::thread([this, subject = std::move(*subject), started = Now(), audioTrack] {
    const auto progress = [this](double share, double from, double part) {
      permille_ = int((from + share * part) * 1000);
      return !cancel_;
    };
    const MovieSpeech speech = ReadMovieSpeech(started.movie, audioTrack - 1, [&](double share) {
      return progress(share, 0, kReadingShare);
    });
    SyncResult result;
    result.outcome = speech.outcome;
    if (speech.outcome == SyncOutcome::Solved)
      result = SyncToSpeech(subject, {speech.levels, SPEECH_FRAME_MS}, [&](double share) {
        return progress(share, kReadingShare, 1 - kReadingShare);
      });
    QMetaObject::invokeMethod(
        this, [this, result, started] { run_([&] { Finished(result, started); }); },
        Qt::QueuedConnection);
  });
  toSpeech_->setText("Cancel Synchronizing to Speech");
  progressTimer_->start();
  ShowProgress();
}

void SyncCommands::Cancel() {
  cancel_ = true;
  status_.ShowNote("Cancelling the synchronisation...");
}

void SyncCommands::ShowProgress() {
  if (cancel_) return;
  status_.ShowNote(QString("Listening for speech: %1 % (Synchronize to Speech again cancels)")
                       .arg(permille_ / 10));
}

void SyncCommands::Finished(const SyncResult& result, const Started& started) {
  worker_.join();
  progressTimer_->stop();
  toSpeech_->setText("Synchronize to Speech");
  if (Now() != started) {
    status_.ShowNote("The movie or the subtitle changed while synchronizing: nothing changes");
    return;
  }
  if (result.outcome == SyncOutcome::Solved) Apply(result);
  status_.ShowNote(QString::fromStdString(SyncNote(result, SyncSource::Speech)));
}

void SyncCommands::Apply(const SyncResult& result) {
  TimingHistory::Step before = history_.Now();
  const SubtitleTiming& timing = timing_.Timing();
  if (result.cut) {
    SubtitleStore& store = subtitles_.Store();
    const std::vector<LineTimes> times = StoredLineTimes(store, timing);
    TimingHistory::MovedLines moved{{}, result.cut->shiftMs, timing.SubtitleFrameRate()};
    for (size_t i = 0; i < times.size(); ++i)
      if (times[i].startMs >= result.cut->fromStoredMs) moved.lines.push_back(i);
    store.ShiftLines(moved.lines, moved.shiftMs, moved.rate);
    before.movedAfter = std::move(moved);
  }
  history_.Keep(before);
  timing_.ChooseRate(RateChoice::For(result.subtitleFrameRate, timing.movieFrameRate));
  timing_.SetOffset(result.offsetMs);
}

}  // namespace captivo
