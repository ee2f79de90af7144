#include "timing_control.h"

namespace captivo {

void TimingControl::Adjust(Which which) {
  if (which == adjusted_) return;
  adjusted_ = which;
  emit offsetChanged(Timing().offsetMilliseconds);
  emit rateChosen();
}

void TimingControl::SetOffset(Which which, int32_t milliseconds) {
  SubtitleTiming& timing = timings_[Index(which)];
  if (milliseconds == timing.offsetMilliseconds) return;
  timing.offsetMilliseconds = milliseconds;
  if (which == adjusted_) emit offsetChanged(milliseconds);
}

void TimingControl::ChooseRate(Which which, RateChoice choice) {
  timings_[Index(which)].rateChoice = choice;
  if (which == adjusted_) emit rateChosen();
}

void TimingControl::SetMovieFrameRate(double rate) {
  for (const Which which : {Which::First, Which::Second}) {
    timings_[Index(which)].movieFrameRate = rate;
    if (!Of(which).rateChoice.IsSameAsMovie()) ChooseRate(which, RateChoice::SameAsMovie());
  }
}

void TimingControl::SetContinuedOffset(int32_t frames) {
  for (SubtitleTiming& timing : timings_) timing.continuedOffset = frames;
}

}  // namespace captivo
