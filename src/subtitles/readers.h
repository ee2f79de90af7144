#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "message_sink.h"
#include "subtitle_store.h"

namespace captivo {

// One reader per text format, each over the bytes of a whole file (after the UTF-16
// conversion), read as lines by the shared rules. Each sets the store's unit, clears it
// and appends the entries in file order. A reader that stops at a line it cannot read
// gives the message box that calls for, which the loader shows once the file's bytes are
// let go; a conversion error raises ConversionError. Either way the entries appended
// before stay.
struct ReaderMessage {
  const char* text;  // the title is always "Error"
  MessageIcon icon;
};
using ReaderResult = std::optional<ReaderMessage>;

// Frame-based lines: {start}{end}text with "|" between lines.
ReaderResult ReadFrameSubtitle(std::string_view bytes, SubtitleStore& store);
struct FrameLine {
  int32_t start = 0;
  int32_t end = TTimeSpan::kNoEnd;
  std::string_view text;  // a view into the parsed line
};
// Splits one frame-based line; false when it is not one.
bool ParseFrameLine(std::string_view line, FrameLine& parsed);

// SubRip blocks: index, "start --> end", text lines.
ReaderResult ReadSrtSubtitle(std::string_view bytes, SubtitleStore& store);
// hours:minutes:seconds of digits only, each part trimmed; -1 when it is not such a time.
inline constexpr int32_t kInvalidSrtTime = -1;
int32_t SrtTimeToSeconds(std::string_view text);

// SubStation Alpha "Dialogue:" events.
ReaderResult ReadSsaSubtitle(std::string_view bytes, SubtitleStore& store);

// SubViewer: "[INFORMATION]" header, then "start,end" lines each followed by a text line.
ReaderResult ReadSubViewerSubtitle(std::string_view bytes, SubtitleStore& store);

// Time-code lines "hh:mm:ss:text"; each lasts until the next starts, the last to the end.
ReaderResult ReadTimeCodeSubtitle(std::string_view bytes, SubtitleStore& store);

// WebVTT: the "WEBVTT" signature line, then cues, each an optional identifier, a
// "start --> end" line and text lines, markup and character references removed; other
// blocks are skipped, and so is a cue whose timing line cannot be read.
ReaderResult ReadVttSubtitle(std::string_view bytes, SubtitleStore& store);
// "WEBVTT" alone or followed by a space or a tab.
bool IsVttSignature(std::string_view line);

// What a reader gives for a line it cannot read ("Subtitle file error").
inline constexpr ReaderMessage kSubtitleFileError{"Subtitle file error", MessageIcon::Information};

}  // namespace captivo
