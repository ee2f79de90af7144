#pragma once

#include <string>
#include <string_view>

namespace captivo {

// Removes every character with a code from 0 to 32 from both ends.
std::string_view Trim(std::string_view s);

// True when s is non-empty and holds only the digits 0 to 9.
bool IsNumber(std::string_view s);

// True when every character of s is a digit 0 to 9; also true for an empty s.
bool IsDigitsOrEmpty(std::string_view s);

// The part of s before its first `sep` (empty when s has none), and the part after it
// (the whole of s when it has none): the way the readers cut fields off a line.
std::string_view Before(std::string_view s, char sep);
std::string_view After(std::string_view s, char sep);

// Appends `s` to `out` with every `marker` replaced by CR LF; `ignoreCase` compares the
// marker's ASCII letters without regard to case.
void AppendWithLineBreaks(std::string& out, std::string_view s, std::string_view marker,
                          bool ignoreCase = false);

}  // namespace captivo
