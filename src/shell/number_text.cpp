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

QString SubtitleRateText(const SubtitleTiming& timing) {
  const RateChoice& choice = timing.rateChoice;
  if (choice.IsSameAsMovie()) return "Same As Movie";
  const double rate = timing.SubtitleFrameRate();
  return (choice.MenuTag() ? RealText(rate) : QString::number(rate, 'f', 3)) + "fps";
}

}  // namespace captivo
