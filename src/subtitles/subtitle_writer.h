#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "speech_sync.h"
#include "subtitle_timing.h"

namespace captivo {

enum class SubtitleFileType { SubRip, WebVtt };

// An entry to write: its times in milliseconds as stored, and its text's bytes with lines
// joined by CR LF.
struct TimedText {
  LineTimes times;
  std::string_view text;
};

// Turns bytes that are not valid UTF-8 into UTF-8 (from the code page the user reads the
// subtitles in).
using TextToUtf8 = std::function<std::string(std::string_view)>;

// The entries as a subtitle file of `type` in UTF-8, each at the time it shows under
// `timing`, to the millisecond: first the lines the cut moves are moved, then every time
// converted exactly (SubtitleTiming::ShownAtMs). Entries are written in the order they
// show, numbered from 1; one that never shows (ending at or before its start, or before
// the movie) or has no text is left out, and one that starts before the movie starts at
// 0. Empty lines within a text are left out, as a blank line ends an entry. WebVTT keeps
// the italic, bold and underline tags and writes other markup's characters as text.
std::string FormatSubtitles(std::span<const TimedText> entries, const SubtitleTiming& timing,
                            const std::optional<SyncCut>& cut, SubtitleFileType type,
                            const TextToUtf8& toUtf8);

// Whether `bytes` are valid UTF-8.
bool IsUtf8(std::string_view bytes);

}  // namespace captivo
