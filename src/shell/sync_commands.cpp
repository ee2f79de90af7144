#include "sync_commands.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <cmath>

#include "movie_control.h"
#include "movie_speech.h"
#include "start_trace.h"
#include "status_bar.h"
#include "store_lines.h"
#include "subtitle_pair.h"
#include "timing_history.h"

namespace captivo {

namespace {

// The reading of the sound takes most of the time; the solve the rest.
constexpr double kReadingShare = 0.9;
constexpr int kProgressIntervalMs = 250;

const char* ItemText(SyncSource source, bool running) {
  if (source == SyncSource::Speech)
    return running ? "Cancel Synchronizing to Speech" : "Synchronize to Speech";
  return running ? "Cancel Synchronizing to Second Subtitle" : "Synchronize to Second Subtitle";
}

// The lines of `subtitles` where they show under `timing`, in movie milliseconds.
std::vector<LineTimes> ShownLines(LoadedSubtitles& subtitles, const SubtitleTiming& timing) {
  std::vector<LineTimes> shown;
  if (const std::optional<SyncSubject> stored = subtitles.LinesToSync(timing))
    for (const LineTimes& line : stored->lines)
      shown.push_back({std::llround(timing.ShownAtMs(double(line.startMs))),
                       std::llround(timing.ShownAtMs(double(line.endMs)))});
  return shown;
}

}  // namespace

SyncCommands::SyncCommands(QMenu* subtitleMenu, const MovieControl& movie, TimingControl& timing,
                           TimingHistory& history, const SubtitlePair& subtitles, StatusBar& status,
                           CommandRunner run)
    : movie_(movie),
      timing_(timing),
      history_(history),
      subtitles_(subtitles),
      status_(status),
      run_(std::move(run)) {
  toSpeech_ = subtitleMenu->addAction(ItemText(SyncSource::Speech, false));
  toSpeech_->setObjectName("SyncToSpeech1");
  toSpeech_->setShortcut(QKeySequence("Ctrl+Shift+A"));  // "align"
  connect(toSpeech_, &QAction::triggered, this,
          [this] { run_([this] { Choose(SyncSource::Speech); }); });
  toSecond_ = subtitleMenu->addAction(ItemText(SyncSource::SecondSubtitle, false));
  toSecond_->setObjectName("SyncToSecondSubtitle1");
  connect(toSecond_, &QAction::triggered, this,
          [this] { run_([this] { Choose(SyncSource::SecondSubtitle); }); });
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(kProgressIntervalMs);
  connect(progressTimer_, &QTimer::timeout, this, &SyncCommands::ShowProgress);
}

SyncCommands::~SyncCommands() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

SyncCommands::Started SyncCommands::Now() const {
  LoadedSubtitles& adjusted = subtitles_.Adjusted();
  const SubtitleStore* lines = adjusted.TimedLines();
  const std::optional<int32_t> track = adjusted.Track();
  return {movie_.FileName(),   timing_.Adjusted(),
          adjusted.FileName(), track,
          adjusted.Language(), lines && !track ? lines->Count() : 0};
}

void SyncCommands::Choose(SyncSource source) {
  if (Running()) {
    // Either item stops the one under way.
    Cancel();
    return;
  }
  const SubtitleTiming& timing = timing_.Timing();
  if (!movie_.IsOpen() || !timing.HasRate()) {
    status_.ShowNote("No movie to synchronize to: play a movie first");
    return;
  }
  std::optional<SyncSubject> subject = subtitles_.Adjusted().LinesToSync(timing);
  if (!subject) {
    status_.ShowNote("No subtitle lines to synchronize: load a subtitle file");
    return;
  }
  if (source == SyncSource::SecondSubtitle) {
    // The adjusted subtitle is laid on the other one, as that one shows.
    const Which other = timing_.Adjusted() == Which::First ? Which::Second : Which::First;
    std::vector<LineTimes> reference = ShownLines(subtitles_.Of(other), timing_.Of(other));
    if (reference.empty()) {
      status_.ShowNote("No second subtitle to synchronize to: load one with Second Subtitle");
      return;
    }
    Start(source,
          [subject = std::move(*subject), reference = std::move(reference)](
              const SyncProgress& progress) { return SyncToLines(subject, reference, progress); });
    return;
  }
  const std::string movie = movie_.FileName();
  const int32_t audioTrack = movie_.AudioTrack() - 1;  // the speech library counts from 0
  Start(source, [subject = std::move(*subject), movie, audioTrack](const SyncProgress& progress) {
    const MovieSpeech speech = ReadMovieSpeech(
        movie, audioTrack, [&](double share) { return progress(share * kReadingShare); });
    SyncResult result;
    result.outcome = speech.outcome;
    if (speech.outcome == SyncOutcome::Solved)
      result = SyncToSpeech(subject, {speech.levels, SPEECH_FRAME_MS}, [&](double share) {
        return progress(kReadingShare + share * (1 - kReadingShare));
      });
    return result;
  });
}

void SyncCommands::Start(SyncSource source, Solve solve) {
  cancel_ = false;
  permille_ = 0;
  running_ = source;
  longestStallMs_ = 0;
  sinceProgress_.invalidate();
  sinceStart_.start();
  worker_ = std::thread([this, source, solve = std::move(solve), started = Now()] {
    const SyncResult result = solve([this](double share) {
      permille_ = int(share * 1000);
      return !cancel_;
    });
    QMetaObject::invokeMethod(
        this, [this, source, result, started] { run_([&] { Finished(source, result, started); }); },
        Qt::QueuedConnection);
  });
  (source == SyncSource::Speech ? toSpeech_ : toSecond_)->setText(ItemText(source, true));
  progressTimer_->start();
  ShowProgress();
}

void SyncCommands::Cancel() {
  cancel_ = true;
  status_.ShowNote("Cancelling the synchronisation...");
}

void SyncCommands::ShowProgress() {
  if (sinceProgress_.isValid())
    longestStallMs_ =
        std::max<int64_t>(longestStallMs_, sinceProgress_.restart() - kProgressIntervalMs);
  else
    sinceProgress_.start();
  if (cancel_) return;
  const QString what = running_ == SyncSource::Speech ? "Listening for speech"
                                                      : "Laying the lines on the second subtitle's";
  status_.ShowNote(
      QString("%1: %2 % (choose the item again to cancel)").arg(what).arg(permille_ / 10));
}

void SyncCommands::Finished(SyncSource source, const SyncResult& result, const Started& started) {
  worker_.join();
  progressTimer_->stop();
  TraceStep(("synchronized in " + std::to_string(sinceStart_.elapsed()) +
             " ms; the window's longest stall meanwhile " + std::to_string(longestStallMs_) + " ms")
                .c_str());
  (source == SyncSource::Speech ? toSpeech_ : toSecond_)->setText(ItemText(source, false));
  if (Now() != started) {
    status_.ShowNote("The movie or the subtitle changed while synchronizing: nothing changes");
    return;
  }
  if (result.outcome == SyncOutcome::Solved) Apply(result);
  status_.ShowNote(QString::fromStdString(SyncNote(result, source)));
}

void SyncCommands::Apply(const SyncResult& result) {
  TimingHistory::Step before = history_.Now();
  const SubtitleTiming& timing = timing_.Timing();
  if (result.cut) {
    SubtitleStore& store = subtitles_.Adjusted().Store();
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
