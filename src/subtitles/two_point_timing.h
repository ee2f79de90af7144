#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace captivo {

// A subtitle line's start in seconds, the movie time at which the user said it should
// start, and the line's index.
struct TimingMark {
  double subtitleSeconds;
  double movieSeconds;
  size_t line = 0;
};

// The synchronisation offset in milliseconds that makes a line whose start, converted at
// the subtitle rate, is `lineStartFrames` start at `moviePosition` (frames, the earlier
// parts of a continued movie included). 0 without a rate above 0.
int32_t OffsetToStartAt(int32_t lineStartFrames, int32_t moviePosition, double subtitleFrameRate);

// `rate`, or the nearest of `snapRates` when one lies within 0.05 % of it.
double SnappedRate(double rate, std::span<const double> snapRates);

// Two marks closer than this in the movie say too little about a drift.
inline constexpr double kMarksApartSeconds = 60;
// A rate further than this share from the movie's is taken for marks on the wrong lines.
inline constexpr double kMostRateDeparture = 0.10;

struct TwoPointTiming {
  enum class Outcome {
    Solved,            // the rate and the offset below
    TooClose,          // less than kMarksApartSeconds apart in the movie
    Reversed,          // the later line marked at the earlier movie time
    FarFromMovieRate,  // the rate below departs more than kMostRateDeparture from the movie's
    Unsolvable,        // the same line or movie time twice, no movie rate, no numbers
  };
  Outcome outcome = Outcome::Unsolvable;
  double subtitleFrameRate = 0;
  int32_t offsetMilliseconds = 0;
};

// The subtitle frame rate and offset that show both marked lines at their movie times: a
// line that starts at T seconds shows at movie time t where T = t * movieRate / rate +
// offset. A rate within 0.05 % of one of `snapRates` becomes the nearest such rate (the
// marks are key presses, a little late), and the offset is then fitted to both marks.
TwoPointTiming SolveTwoPointTiming(const TimingMark& first, const TimingMark& second,
                                   double movieFrameRate, std::span<const double> snapRates);

}  // namespace captivo
