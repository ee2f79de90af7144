#pragma once

#include <string>
#include <string_view>

namespace captivo {

// Appends the UTF-8 bytes of the code point `c`, which must be a valid one.
void AppendUtf8(std::string& out, char32_t c);

// The UTF-8 text of UTF-16 code units in either byte order: a surrogate pair becomes its
// character, an unpaired half U+FFFD, and a trailing odd byte is dropped. The text is
// measured first and written once, so a big file is never held twice while growing.
std::string Utf16ToUtf8(std::string_view units, bool bigEndian);

}  // namespace captivo
