#include "subtitle_timing.h"

#include <cmath>

#include "conversions.h"

namespace captivo {

RateChoice RateChoice::For(double rate, double movieFrameRate) {
  // A rate computed as a ratio of two may miss the one it is by a rounding.
  const auto same = [rate](double other) { return std::abs(rate - other) <= other * 1e-9; };
  if (same(movieFrameRate)) return SameAsMovie();
  for (int tag = 1; tag < 6; ++tag)
    if (same(kMenuFrameRates[tag])) return MenuItem(tag);
  return Own(rate);
}

int32_t SubtitleTiming::MoviePosition(int32_t libraryPosition) const {
  return SaturatedAdd(libraryPosition, continuedOffset);
}

int32_t SubtitleTiming::OffsetFrames() const {
  return RoundToInt32(offsetMilliseconds / 1000.0 * SubtitleFrameRate());
}

int32_t SubtitleTiming::SubtitlePosition(int32_t moviePosition) const {
  return SaturatedAdd(moviePosition, OffsetFrames());
}

std::optional<int32_t> SubtitleTiming::Milliseconds(int32_t subtitlePosition) const {
  if (!HasRate()) return std::nullopt;
  return RoundToInt32(subtitlePosition / SubtitleFrameRate() * 1000);
}

double SubtitleTiming::ShownAtMs(double storedMs) const {
  if (!HasRate() || !(movieFrameRate > 0)) return storedMs;
  return (storedMs - offsetMilliseconds) * SubtitleFrameRate() / movieFrameRate;
}

double SubtitleTiming::StoredAtMs(double shownMs) const {
  if (!HasRate() || !(movieFrameRate > 0)) return shownMs;
  return shownMs * movieFrameRate / SubtitleFrameRate() + offsetMilliseconds;
}

}  // namespace captivo
