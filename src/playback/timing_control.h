#pragma once

#include <QObject>
#include <cstdint>

#include "subtitle_timing.h"

namespace captivo {

// The subtitle timing in force and the one way to change it. Every change is announced;
// the windows that show the timing (the Synchronize dialog, the rate menu, the status
// bar) follow the announcements and send their requests here.
class TimingControl : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  const SubtitleTiming& Timing() const { return timing_; }

  void SetOffset(int32_t milliseconds);
  void ChooseRate(RateChoice choice);
  // A movie opened: its own rate is put in force, and a choice of another returns to
  // "Same As Movie".
  void SetMovieFrameRate(double rate);
  void SetContinuedOffset(int32_t frames) { timing_.continuedOffset = frames; }

 signals:
  void offsetChanged(int milliseconds);
  // The subtitle rate was chosen (also when chosen again).
  void rateChosen();

 private:
  SubtitleTiming timing_;
};

}  // namespace captivo
