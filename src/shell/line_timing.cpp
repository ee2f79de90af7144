#include "line_timing.h"

#include <cmath>
#include <vector>

#include "loaded_subtitles.h"
#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"
#include "timing_control.h"
#include "timing_history.h"

namespace captivo {

namespace {

// Two marks closer than this in the movie say too little about a drift.
constexpr double kMarksApartSeconds = 60;

}  // namespace

void LineTiming::LineStartsNow(bool next) {
  const SubtitleTiming& timing = timing_.Timing();
  if (!movie_.IsRunning() || !timing.HasRate()) return;
  const SubtitleStore* lines = subtitles_.TimedLines();
  if (!lines) {
    status_.ShowNote("No subtitle lines to time: load a text subtitle file");
    return;
  }
  const int32_t moviePosition = timing.MoviePosition(movie_.Position());
  const int32_t position = timing.SubtitlePosition(moviePosition);
  const double rate = timing.SubtitleFrameRate();
  const auto line =
      next ? lines->NextLineAfter(position, rate) : lines->LineStartedAt(position, rate);
  if (!line) {
    status_.ShowNote(next ? "No line after this moment" : "No line before this moment");
    return;
  }
  const int32_t start = lines->StartTime(*line);
  history_.BeforeChange();
  timing_.SetOffset(OffsetToStartAt(lines->TimeToFrame(start, rate), moviePosition, rate));
  status_.ShowNote(
      QString("Line %1 starts now: offset %2 ms").arg(*line + 1).arg(timing.offsetMilliseconds));
  // Frame numbers do not depend on the rate: only lines timed in seconds can tell it.
  if (subtitles_.LinesTellTheRate())
    MarkLine({double(start), moviePosition / timing.movieFrameRate});
}

void LineTiming::MarkLine(const TimingMark& mark) {
  std::optional<TimingMark>& first = subtitles_.FirstMark();
  if (!first) {
    first = mark;
    return;
  }
  if (std::abs(mark.movieSeconds - first->movieSeconds) < kMarksApartSeconds) return;
  const double movieRate = timing_.Timing().movieFrameRate;
  std::vector<double> snapRates = {movieRate};
  snapRates.insert(snapRates.end(), std::begin(kMenuFrameRates) + 1, std::end(kMenuFrameRates));
  const auto solved = SolveTwoPointTiming(*first, mark, movieRate, snapRates);
  if (!solved) return;
  timing_.ChooseRate(RateChoice::For(solved->subtitleFrameRate, movieRate));
  timing_.SetOffset(solved->offsetMilliseconds);
  status_.ShowNote(QString("Timed from two lines: %1, offset %2 ms")
                       .arg(SubtitleRateText(timing_.Timing()))
                       .arg(timing_.Timing().offsetMilliseconds));
  // Each further line pairs with the first: the farther apart, the finer the rate.
}

}  // namespace captivo
