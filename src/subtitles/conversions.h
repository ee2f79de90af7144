#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace captivo {

// The standard string-to-integer conversion: blanks (code 32) before the number, an
// optional sign, decimal digits or a hexadecimal number after "$", "x" or "0x" (x in
// either case). The value, decimal or hexadecimal, must lie in the signed 32-bit range
// ($FFFFFFFF does not wrap to -1). Anything else raises ConversionError naming `text`.
int32_t StrToInt(std::string_view text);

// hours:minutes:seconds with an optional fraction after a "." that is ignored; each part
// goes through StrToInt, so a missing ":" leaves an empty part and raises. A total beyond
// the signed 32-bit range raises ConversionError naming the whole text.
int32_t TimeToSeconds(std::string_view text);

// A time as a reader read it: `whole`, the frame number or the whole seconds that the
// store keeps and shows, and for seconds the milliseconds of the fraction the file gave,
// signed as the field it belongs to (-1.5 s is -1 s and -500 ms).
struct FileTime {
  FileTime(int32_t wholeTime = 0, int16_t fraction = 0) : whole(wholeTime), fractionMs(fraction) {}
  // Milliseconds as a whole time and its fraction, held within the 32-bit range of
  // seconds.
  static FileTime FromMilliseconds(int64_t ms);
  int64_t Milliseconds() const { return int64_t{whole} * 1000 + fractionMs; }
  int32_t whole;
  int16_t fractionMs;  // -999 to 999
};

// The milliseconds of a fraction of a second written as decimal digits: its first three
// digits, fewer ones filled up ("5" is 500). Reading stops at the first character that is
// not a digit, so a fraction without digits is 0.
int16_t FractionMilliseconds(std::string_view digits);

// TimeToSeconds with the fraction after the seconds' "." kept, signed as the seconds.
FileTime TimeWithFraction(std::string_view text);

// hours*3600 + minutes*60 + seconds as a checked 32-bit value; ConversionError naming
// `text` when it overflows.
int32_t CombineHms(int32_t hours, int32_t minutes, int32_t seconds, std::string_view text);

// Rounds to the nearest integer, an exact half to the even neighbour, and clamps the
// result to the signed 32-bit range (NaN gives 0).
int32_t RoundToInt32(double value);

// The frame that the moment `ms` falls on at `rate` frames a second, floor(ms * rate /
// 1000), and the last frame that begins before it, ceil(ms * rate / 1000) - 1; both held
// within the 32-bit range, 0 for a rate that is not a number. A moment within a millionth
// of a frame of a frame's beginning counts as that beginning: rates such as 23.976 are not
// exact in binary, and the frame must not depend on that.
int32_t FrameAtMilliseconds(int64_t ms, double rate);
int32_t LastFrameBeforeMilliseconds(int64_t ms, double rate);

// a + b, held at the ends of the signed 32-bit range instead of wrapping.
int32_t SaturatedAdd(int32_t a, int32_t b);

// Whole seconds as hours:minutes:seconds without zero padding: 3725 gives 1:2:5.
std::string FormatHms(int32_t seconds);

// The shortest general form with at most 15 significant digits: 23.976, 25, 29.97.
std::string FormatReal(double value, std::string_view decimalSeparator = ".");

}  // namespace captivo
