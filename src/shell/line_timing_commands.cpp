// Timing from the lines the user hears: "this line starts now", and from two such lines
// far apart, the subtitle frame rate as well.
#include <QAction>
#include <QActionGroup>
#include <algorithm>
#include <cmath>

#include "main_window.h"
#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"

namespace captivo {

namespace {

// Two marks closer than this in the movie say too little about a drift.
constexpr double kMarksApartSeconds = 60;

}  // namespace

void TfmMain::LineStartsNow(bool next) {
  if (!movie_->IsRunning() || !Timing.HasRate()) return;
  if (VobSubMode || Subtitles.Count() == 0) {
    sbMain->ShowNote("No subtitle lines to time: load a text subtitle file");
    return;
  }
  const int32_t moviePosition = Timing.MoviePosition(movie_->Position());
  const int32_t position = Timing.SubtitlePosition(moviePosition);
  const double rate = Timing.subtitleFrameRate;
  const auto line =
      next ? Subtitles.NextLineAfter(position, rate) : Subtitles.LineStartedAt(position, rate);
  if (!line) {
    sbMain->ShowNote(next ? "No line after this moment" : "No line before this moment");
    return;
  }
  const int32_t start = Subtitles.StartTime(*line);
  SetOffset(OffsetToStartAt(Subtitles.StartFrame(*line, rate), moviePosition, rate));
  sbMain->ShowNote(
      QString("Line %1 starts now: offset %2 ms").arg(*line + 1).arg(Timing.offsetMilliseconds));
  // Frame numbers do not depend on the rate: only lines timed in seconds can tell it.
  if (Subtitles.TimesInSeconds) MarkLine({double(start), moviePosition / Timing.movieFrameRate});
}

void TfmMain::MarkLine(const TimingMark& mark) {
  if (!firstMark_) {
    firstMark_ = mark;
    return;
  }
  const TimingMark first = *firstMark_;
  if (std::abs(mark.movieSeconds - first.movieSeconds) < kMarksApartSeconds) return;
  std::vector<double> snapRates = {Timing.movieFrameRate};
  snapRates.insert(snapRates.end(), std::begin(kMenuFrameRates) + 1, std::end(kMenuFrameRates));
  const auto solved = SolveTwoPointTiming(first, mark, Timing.movieFrameRate, snapRates);
  if (!solved) return;
  if (solved->subtitleFrameRate == Timing.movieFrameRate) {
    n005Click(0);
  } else {
    const auto* item = std::find(std::begin(kMenuFrameRates) + 1, std::end(kMenuFrameRates),
                                 solved->subtitleFrameRate);
    if (item != std::end(kMenuFrameRates))
      n005Click(static_cast<int>(item - std::begin(kMenuFrameRates)));
    else
      SetOwnSubtitleFrameRate(solved->subtitleFrameRate);
  }
  SetOffset(solved->offsetMilliseconds);
  sbMain->ShowNote(QString("Timed from two lines: %1 fps, offset %2 ms")
                       .arg(RealText(Timing.subtitleFrameRate))
                       .arg(Timing.offsetMilliseconds));
  // Each further line pairs with the first: the farther apart, the finer the rate.
}

}  // namespace captivo
