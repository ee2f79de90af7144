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

// hours*3600 + minutes*60 + seconds as a checked 32-bit value; ConversionError naming
// `text` when it overflows.
int32_t CombineHms(int32_t hours, int32_t minutes, int32_t seconds, std::string_view text);

// Rounds to the nearest integer, an exact half to the even neighbour, and clamps the
// result to the signed 32-bit range (NaN gives 0).
int32_t RoundToInt32(double value);

// a + b, held at the ends of the signed 32-bit range instead of wrapping.
int32_t SaturatedAdd(int32_t a, int32_t b);

// Whole seconds as hours:minutes:seconds without zero padding: 3725 gives 1:2:5.
std::string FormatHms(int32_t seconds);

// The shortest general form with at most 15 significant digits: 23.976, 25, 29.97.
std::string FormatReal(double value, std::string_view decimalSeparator = ".");

}  // namespace captivo
