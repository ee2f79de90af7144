#include "line_timing.h"

#include <vector>

#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"
#include "subtitle_pair.h"
#include "timing_control.h"
#include "timing_history.h"

namespace captivo {

void LineTiming::LineStartsNow(bool next) {
  const SubtitleTiming& timing = timing_.Timing();
  if (!movie_.IsRunning() || !timing.HasRate()) return;
  const SubtitleStore* lines = subtitles_.Adjusted().TimedLines();
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
  history_.BeforeChange();
  timing_.SetOffset(OffsetToStartAt(lines->StartFrame(*line, rate), moviePosition, rate));
  const QString said =
      QString("Line %1 starts now: offset %2 ms").arg(*line + 1).arg(timing.offsetMilliseconds);
  // Frame numbers do not depend on the rate: only lines timed in seconds can tell it, from
  // their exact times whether or not the lookup uses them.
  status_.ShowNote(subtitles_.Adjusted().LinesTellTheRate()
                       ? MarkLine({lines->ExactStartMs(*line) / 1000.0,
                                   moviePosition / timing.movieFrameRate, *line},
                                  said)
                       : said);
}

QString LineTiming::MarkLine(const TimingMark& mark, const QString& said) {
  using Outcome = TwoPointTiming::Outcome;
  std::optional<TimingMark>& first = subtitles_.Adjusted().FirstMark();
  if (!first) {
    first = mark;
    return said;
  }
  const double movieRate = timing_.Timing().movieFrameRate;
  std::vector<double> snapRates = {movieRate};
  snapRates.insert(snapRates.end(), kFixedFrameRates.begin(), kFixedFrameRates.end());
  // Each further line pairs with the first: the farther apart, the finer the rate.
  const TwoPointTiming solved = SolveTwoPointTiming(*first, mark, movieRate, snapRates);
  switch (solved.outcome) {
    case Outcome::Solved:
      timing_.ChooseRate(RateChoice::For(solved.subtitleFrameRate, movieRate));
      timing_.SetOffset(solved.offsetMilliseconds);
      return QString("Timed from two lines: %1, offset %2 ms")
          .arg(SubtitleRateText(timing_.Timing()))
          .arg(timing_.Timing().offsetMilliseconds);
    case Outcome::TooClose:
      return said + QString(". Mark a line at least a minute away from line %1 to set the rate")
                        .arg(first->line + 1);
    case Outcome::Reversed:
      return said + QString(". Lines %1 and %2 were marked in reverse order: the rate is unchanged")
                        .arg(first->line + 1)
                        .arg(mark.line + 1);
    case Outcome::FarFromMovieRate:
      return said + QString(
                        ". Lines %1 and %2 give %3fps, more than 10 % from the movie's "
                        "%4fps: the rate is unchanged")
                        .arg(first->line + 1)
                        .arg(mark.line + 1)
                        .arg(QString::number(solved.subtitleFrameRate, 'f', 3))
                        .arg(RealText(movieRate));
    case Outcome::Unsolvable:
      break;
  }
  return said;
}

}  // namespace captivo
