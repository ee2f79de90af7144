#pragma once

#include <QString>
#include <cstdint>

namespace captivo {

// A real number as the user reads it: the shortest general form with at most 15
// significant digits and the system's decimal separator (23.976, 25, 29.97).
QString RealText(double value);
// A frame count and its time at `rate`: "2400/0:1:40".
QString FramesAndTime(int32_t frames, double rate);

}  // namespace captivo
