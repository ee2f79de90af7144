#pragma once

#include <QString>

namespace captivo {

// A real number as the user reads it: the shortest general form with at most 15
// significant digits and the system's decimal separator (23.976, 25, 29.97).
QString RealText(double value);

}  // namespace captivo
