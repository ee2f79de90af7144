#include "two_point_timing.h"

#include <cmath>

#include "conversions.h"

namespace captivo {

namespace {

// Two menu rates, 23.976 and 24, lie 0.1 % apart: a tolerance of half that snaps to
// either but never to the wrong one.
constexpr double kSnapTolerance = 0.0005;

}  // namespace

double SnappedRate(double rate, std::span<const double> snapRates) {
  double best = rate, bestDistance = INFINITY;
  for (const double snap : snapRates) {
    const double distance = std::fabs(rate - snap);
    if (snap > 0 && distance <= snap * kSnapTolerance && distance < bestDistance) {
      best = snap;
      bestDistance = distance;
    }
  }
  return best;
}

int32_t OffsetToStartAt(int32_t lineStartFrames, int32_t moviePosition, double subtitleFrameRate) {
  if (!(subtitleFrameRate > 0)) return 0;
  const double frames = static_cast<double>(lineStartFrames) - moviePosition;
  return RoundToInt32(frames / subtitleFrameRate * 1000);
}

TwoPointTiming SolveTwoPointTiming(const TimingMark& first, const TimingMark& second,
                                   double movieFrameRate, std::span<const double> snapRates) {
  using Outcome = TwoPointTiming::Outcome;
  const double subtitleSpan = second.subtitleSeconds - first.subtitleSeconds;
  const double movieSpan = second.movieSeconds - first.movieSeconds;
  // Also for NaN: marks that are not numbers, or a movie without a rate, give nothing.
  if (!(movieFrameRate > 0) || !std::isfinite(subtitleSpan) || !std::isfinite(movieSpan) ||
      subtitleSpan == 0 || movieSpan == 0)
    return {};
  if (std::fabs(movieSpan) < kMarksApartSeconds) return {Outcome::TooClose};
  if ((subtitleSpan > 0) != (movieSpan > 0)) return {Outcome::Reversed};
  const double rate = movieFrameRate * movieSpan / subtitleSpan;
  if (std::fabs(rate - movieFrameRate) > movieFrameRate * kMostRateDeparture)
    return {Outcome::FarFromMovieRate, rate};
  const double snapped = SnappedRate(rate, snapRates);
  auto offsetSeconds = [&](const TimingMark& mark) {
    return mark.subtitleSeconds - mark.movieSeconds * movieFrameRate / snapped;
  };
  const double meanSeconds = (offsetSeconds(first) + offsetSeconds(second)) / 2;
  if (!std::isfinite(meanSeconds)) return {};
  return {Outcome::Solved, snapped, RoundToInt32(meanSeconds * 1000)};
}

}  // namespace captivo
