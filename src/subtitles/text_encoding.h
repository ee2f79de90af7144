#pragma once

#include <string>
#include <string_view>

namespace captivo {

// The names a text subtitle file's encoding goes by in the program and in `captivo-sub dump`.
inline constexpr const char* kUtf8 = "utf-8";
// The code page of the font's default script (Western), read with when none is told.
inline constexpr const char* kDefaultCodePage = "windows-1252";

// Whether `bytes` are valid UTF-8 throughout (plain ASCII is).
bool IsValidUtf8(std::string_view bytes);

// The encoding of a text file's bytes that are not UTF-8, told by their letters: one of the
// legacy single- and double-byte code pages (windows-1250 to -1256, KOI8-R, ISO-8859-x,
// Big5, GB18030, Shift_JIS, windows-949), by its ICU name; empty when no code page is told with
// enough confidence (the text is then read as before, with the font's script). Only the
// start of a big file is looked at.
std::string DetectLegacyEncoding(std::string_view bytes);

// "utf-8" for valid UTF-8, else the detected code page, else empty.
std::string TextEncodingOf(std::string_view bytes);

// Whether `name` (as SubtitleText::Encoding gives it) is a legacy code page that was told.
bool IsLegacyEncoding(std::string_view name);

}  // namespace captivo
