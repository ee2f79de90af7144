#pragma once

#include "loaded_subtitles.h"
#include "timing_control.h"

namespace captivo {

// The two subtitles shown at once, and the one the timing commands act on: the first, or
// the second while Subtitle > Adjust Second Subtitle is checked.
struct SubtitlePair {
  LoadedSubtitles& first;
  LoadedSubtitles& second;
  const TimingControl& timing;

  LoadedSubtitles& Of(Which which) const { return which == Which::First ? first : second; }
  LoadedSubtitles& Adjusted() const { return Of(timing.Adjusted()); }
};

}  // namespace captivo
