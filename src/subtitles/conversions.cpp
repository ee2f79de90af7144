#include "conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "errors.h"

namespace captivo {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t StrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) throw ConversionError(text);

  // Decimal and hexadecimal alike: a magnitude up to 2^31 - 1, or 2^31 with a minus sign.
  const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  const uint64_t base = hex ? 16 : 10;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    int digit = hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) throw ConversionError(text);
    value = value * base + static_cast<uint64_t>(digit);
    if (value > limit) throw ConversionError(text);
  }
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

int32_t CombineHms(int32_t hours, int32_t minutes, int32_t seconds, std::string_view text) {
  int64_t total = int64_t{hours} * 3600 + int64_t{minutes} * 60 + int64_t{seconds};
  if (total > std::numeric_limits<int32_t>::max() || total < std::numeric_limits<int32_t>::min())
    throw ConversionError(text);
  return static_cast<int32_t>(total);
}

namespace {

// The three parts of hours:minutes:seconds[.fraction], as TimeToSeconds cuts them.
struct TimeParts {
  std::string_view hours, minutes, seconds, fraction;
};

TimeParts SplitTime(std::string_view text) {
  TimeParts parts;
  size_t colon = text.find(':');
  parts.hours = colon == std::string_view::npos ? std::string_view() : text.substr(0, colon);
  std::string_view rest = colon == std::string_view::npos ? text : text.substr(colon + 1);
  colon = rest.find(':');
  parts.minutes = colon == std::string_view::npos ? std::string_view() : rest.substr(0, colon);
  rest = colon == std::string_view::npos ? rest : rest.substr(colon + 1);
  const size_t point = rest.find('.');
  parts.seconds = rest.substr(0, point);
  if (point != std::string_view::npos) parts.fraction = rest.substr(point + 1);
  return parts;
}

int32_t SecondsOf(const TimeParts& parts, std::string_view text) {
  const int32_t h = StrToInt(parts.hours);  // in this order, so the error names the first bad part
  const int32_t m = StrToInt(parts.minutes);
  const int32_t sec = StrToInt(parts.seconds);
  return CombineHms(h, m, sec, text);
}

// floor or ceil of ms * rate / 1000 frames, a near miss of a whole frame taken as a hit.
template <typename Whole>
int32_t FramesAt(int64_t ms, double rate, Whole whole) {
  double frames = static_cast<double>(ms) * rate / 1000;
  const double nearest = std::nearbyint(frames);
  if (std::fabs(frames - nearest) < 1e-6) frames = nearest;
  return RoundToInt32(whole(frames));  // already whole: only held within 32 bits
}

}  // namespace

int32_t TimeToSeconds(std::string_view text) {
  return SecondsOf(SplitTime(text), text);
}

int16_t FractionMilliseconds(std::string_view digits) {
  int ms = 0, scale = 100;
  for (size_t i = 0; i < digits.size() && i < 3 && digits[i] >= '0' && digits[i] <= '9'; ++i) {
    ms += (digits[i] - '0') * scale;
    scale /= 10;
  }
  return static_cast<int16_t>(ms);
}

FileTime TimeWithFraction(std::string_view text) {
  const TimeParts parts = SplitTime(text);
  const int32_t seconds = SecondsOf(parts, text);
  const size_t sign = parts.seconds.find_first_not_of(' ');
  const bool negative = sign != std::string_view::npos && parts.seconds[sign] == '-';
  const int16_t fraction = FractionMilliseconds(parts.fraction);
  return FileTime(seconds, static_cast<int16_t>(negative ? -fraction : fraction));
}

FileTime FileTime::FromMilliseconds(int64_t ms) {
  constexpr int64_t kLowest = int64_t{std::numeric_limits<int32_t>::min()} * 1000 - 999;
  constexpr int64_t kHighest = int64_t{std::numeric_limits<int32_t>::max()} * 1000 + 999;
  ms = std::clamp(ms, kLowest, kHighest);
  return FileTime(static_cast<int32_t>(ms / 1000), static_cast<int16_t>(ms % 1000));
}

int32_t FrameAtMilliseconds(int64_t ms, double rate) {
  return FramesAt(ms, rate, [](double frames) { return std::floor(frames); });
}

int32_t LastFrameBeforeMilliseconds(int64_t ms, double rate) {
  return FramesAt(ms, rate, [](double frames) { return std::ceil(frames) - 1; });
}

int32_t RoundToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  // Adding and taking away 1.5 * 2^52 leaves no fraction bits, and the default rounding
  // mode sends an exact half to the even neighbour; cheaper than a call to nearbyint.
  constexpr double kShift = 6755399441055744.0;
  return static_cast<int32_t>((value + kShift) - kShift);
}

int32_t SaturatedAdd(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(sum);
}

std::string FormatHms(int32_t seconds) {
  return std::to_string(seconds / 3600) + ":" + std::to_string(seconds % 3600 / 60) + ":" +
         std::to_string(seconds % 60);
}

std::string FormatReal(double value, std::string_view decimalSeparator) {
  char buffer[40];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  if (const size_t point = text.find('.'); point != std::string::npos)
    text.replace(point, 1, decimalSeparator);
  return text;
}

}  // namespace captivo
