#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "subtitle_timing.h"
#include "two_point_timing.h"

namespace captivo {

struct SubtitlePair;
class TimingControl;

// Undo Timing: the offset, the rate chosen and the first timing mark as they were before
// each change the user made to the timing (a line timed now, two lines, a Synchronize
// dialog's session, the rate menu, a synchronisation), several steps back; and the lines
// a synchronisation moved in the loaded subtitle from a cut on.
class TimingHistory {
 public:
  // `changed` runs at every change the user makes (the movie is re-timed).
  // The steps are those of the adjusted subtitle: the history is cleared when another is.
  TimingHistory(TimingControl& timing, const SubtitlePair& subtitles, std::function<void()> changed)
      : timing_(timing), subtitles_(subtitles), changed_(std::move(changed)) {}

  // Lines of the loaded text subtitle moved by `shiftMs` (converted at `rate` when timed
  // in frames).
  struct MovedLines {
    std::vector<size_t> lines;
    int32_t shiftMs = 0;
    double rate = 0;
  };
  struct Step {
    int32_t offsetMilliseconds;
    RateChoice rateChoice;
    std::optional<TimingMark> firstMark;
    // The lines the change after this step moved, moved back by its undo.
    std::optional<MovedLines> movedAfter;
  };

  // The timing as it is now.
  Step Now() const;
  // Keeps `before`, the timing as it was before a change the user made.
  void Keep(const Step& before);
  // Keeps the timing as it is now, before the user changes it.
  void BeforeChange() { Keep(Now()); }
  // The timing kept last comes back; false when there is none.
  bool Undo();
  // Other subtitles or another movie: their timing has no history here.
  void Clear() { steps_.clear(); }

 private:
  static constexpr size_t kMostSteps = 100;

  TimingControl& timing_;
  const SubtitlePair& subtitles_;
  std::function<void()> changed_;
  std::vector<Step> steps_;
};

}  // namespace captivo
