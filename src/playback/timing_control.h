#pragma once

#include <QObject>
#include <cstdint>

#include "subtitle_timing.h"

namespace captivo {

// Which of the two subtitles shown at once: the first (the one loaded as ever) or the
// second, shown above it.
enum class Which { First, Second };

// The subtitle timing in force, the first subtitle's and the second's, and the one way to
// change them. The timing commands change the adjusted one (the first, or the second while
// Subtitle > Adjust Second Subtitle is checked); every change to it is announced, and the
// windows that show the timing (the Synchronize dialog, the rate menu, the status bar)
// follow the announcements and send their requests here.
class TimingControl : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // The adjusted subtitle's timing.
  const SubtitleTiming& Timing() const { return Of(adjusted_); }
  const SubtitleTiming& Of(Which which) const { return timings_[Index(which)]; }
  Which Adjusted() const { return adjusted_; }
  // The timing commands change `which` from now on; the windows show its timing.
  void Adjust(Which which);

  // The adjusted subtitle's offset and rate, or those of `which`.
  void SetOffset(int32_t milliseconds) { SetOffset(adjusted_, milliseconds); }
  void ChooseRate(RateChoice choice) { ChooseRate(adjusted_, choice); }
  void SetOffset(Which which, int32_t milliseconds);
  void ChooseRate(Which which, RateChoice choice);
  // A movie opened: its own rate is put in force for both, and a choice of another returns
  // to "Same As Movie".
  void SetMovieFrameRate(double rate);
  void SetContinuedOffset(int32_t frames);

 signals:
  // The adjusted subtitle's offset changed, or another subtitle is adjusted.
  void offsetChanged(int milliseconds);
  // The adjusted subtitle's rate was chosen (also when chosen again), or another
  // subtitle is adjusted.
  void rateChosen();

 private:
  static size_t Index(Which which) { return which == Which::First ? 0 : 1; }

  SubtitleTiming timings_[2];
  Which adjusted_ = Which::First;
};

}  // namespace captivo
