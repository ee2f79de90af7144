#include "timing_control.h"

namespace captivo {

void TimingControl::SetOffset(int32_t milliseconds) {
  if (milliseconds == timing_.offsetMilliseconds) return;
  timing_.offsetMilliseconds = milliseconds;
  emit offsetChanged(milliseconds);
}

void TimingControl::ChooseRate(RateChoice choice) {
  timing_.rateChoice = choice;
  emit rateChosen();
}

void TimingControl::SetMovieFrameRate(double rate) {
  timing_.movieFrameRate = rate;
  if (!timing_.rateChoice.IsSameAsMovie()) ChooseRate(RateChoice::SameAsMovie());
}

}  // namespace captivo
