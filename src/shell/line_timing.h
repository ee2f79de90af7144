#pragma once

#include <QString>

#include "two_point_timing.h"

namespace captivo {

struct SubtitlePair;
class MovieControl;
class StatusBar;
class TimingControl;
class TimingHistory;

// Timing from the lines the user hears (of the adjusted subtitle): "this line starts now" sets the
// offset that starts the next or the last line at this moment; two such marks far enough apart in a
// movie fix the subtitle frame rate as well.
class LineTiming {
 public:
  LineTiming(const MovieControl& movie, TimingControl& timing, TimingHistory& history,
             const SubtitlePair& subtitles, StatusBar& status)
      : movie_(movie), timing_(timing), history_(history), subtitles_(subtitles), status_(status) {}

  // Next Line Starts Now (`next`) and Previous Line Starts Now.
  void LineStartsNow(bool next);

 private:
  // Pairs `mark` with the first mark, or keeps it as the first; what to say of it, after
  // `said` of the line timed now.
  QString MarkLine(const TimingMark& mark, const QString& said);

  const MovieControl& movie_;
  TimingControl& timing_;
  TimingHistory& history_;
  const SubtitlePair& subtitles_;
  StatusBar& status_;
};

}  // namespace captivo
