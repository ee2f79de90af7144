#include "number_text.h"

#include <QLocale>

#include "conversions.h"

namespace captivo {

QString RealText(double value) {
  const std::string separator = QLocale::system().decimalPoint().toStdString();
  return QString::fromStdString(FormatReal(value, separator));
}

QString FramesAndTime(int32_t frames, double rate) {
  return QString::number(frames) + "/" +
         QString::fromStdString(FormatHms(RoundToInt32(frames / rate)));
}

}  // namespace captivo
