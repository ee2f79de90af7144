#include "timing_history.h"

#include "subtitle_pair.h"

namespace captivo {

TimingHistory::Step TimingHistory::Now() const {
  const SubtitleTiming& timing = timing_.Timing();
  return {timing.offsetMilliseconds, timing.rateChoice, subtitles_.Adjusted().FirstMark(),
          std::nullopt};
}

void TimingHistory::Keep(const Step& before) {
  if (steps_.size() == kMostSteps) steps_.erase(steps_.begin());
  steps_.push_back(before);
  changed_();
}

bool TimingHistory::Undo() {
  if (steps_.empty()) return false;
  const Step step = steps_.back();
  steps_.pop_back();
  timing_.ChooseRate(step.rateChoice);
  timing_.SetOffset(step.offsetMilliseconds);
  subtitles_.Adjusted().FirstMark() = step.firstMark;
  if (step.movedAfter)
    subtitles_.Adjusted().Store().ShiftLines(step.movedAfter->lines, -step.movedAfter->shiftMs,
                                             step.movedAfter->rate);
  changed_();
  return true;
}

}  // namespace captivo
