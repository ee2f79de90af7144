#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace captivo {

// Makes bytes printable on one line: "\\", "\r", "\n", "\t", and "\xHH" (lower-case hex)
// for every other byte below 32 or from 127 up.
std::string EscapeText(std::string_view text);

// The same written to `stream` piece by piece: a long text is never held escaped.
void PrintEscaped(std::FILE* stream, std::string_view text);

}  // namespace captivo
