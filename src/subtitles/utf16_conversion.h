#pragma once

#include <string>
#include <string_view>

namespace captivo {

// The UTF-16 text `units` (what follows the byte-order mark; little-endian unless
// `bigEndian`) as UTF-8, in memory: a surrogate pair becomes one character, an unpaired
// half U+FFFD, and a trailing odd byte is dropped. The result is made at its exact size,
// measured first, so that it is never grown by copying.
std::string Utf16ToUtf8(std::string_view units, bool bigEndian);

}  // namespace captivo
