#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace captivo {

// A subtitle line's stored start in seconds, and the movie time at which the user said
// it should start.
struct TimingMark {
  double subtitleSeconds;
  double movieSeconds;
};

// The synchronisation offset in milliseconds that makes a line whose start, converted at
// the subtitle rate, is `lineStartFrames` start at `moviePosition` (frames, the earlier
// parts of a continued movie included). 0 without a rate above 0.
int32_t OffsetToStartAt(int32_t lineStartFrames, int32_t moviePosition, double subtitleFrameRate);

// `rate`, or the nearest of `snapRates` when one lies within 0.05 % of it.
double SnappedRate(double rate, std::span<const double> snapRates);

struct SolvedTiming {
  double subtitleFrameRate;
  int32_t offsetMilliseconds;
};

// The subtitle frame rate and offset that show both marked lines at their movie times: a
// line stored at T seconds shows at movie time t where T = t * movieRate / rate + offset.
// A rate within 0.05 % of one of `snapRates` becomes the nearest such rate (the marks are
// key presses, a little late), and the offset is then fitted to both marks. Nothing when
// the marks share a subtitle or a movie time, or the rate found is not between half and
// twice the movie's, or the movie has no rate above 0.
std::optional<SolvedTiming> SolveTwoPointTiming(const TimingMark& a, const TimingMark& b,
                                                double movieFrameRate,
                                                std::span<const double> snapRates);

}  // namespace captivo
