#pragma once

#include <QString>
#include <cstdint>

#include "subtitle_timing.h"

namespace captivo {

// A real number as the user reads it: the shortest general form with at most 15
// significant digits and the system's decimal separator (23.976, 25, 29.97).
QString RealText(double value);
// A frame count and its time at `rate`: "2400/0:1:40".
QString FramesAndTime(int32_t frames, double rate);
// The subtitle frame rate chosen: "Same As Movie", a menu's rate ("23.976fps", "25fps"), or
// a rate of its own to three decimals ("25.017fps").
QString SubtitleRateText(const SubtitleTiming& timing);

}  // namespace captivo
