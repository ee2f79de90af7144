#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "message_sink.h"
#include "subtitle_store.h"

namespace captivo {

// One reader per text format. Each opens the file first (a file that cannot be opened
// raises FileError and leaves the store as it was), then sets the store's unit, clears it
// and appends the entries in file order. A reader's own failure shows a message box
// through `sink` and ends the reader; a conversion error raises ConversionError. Either
// way the entries appended before stay.

// Frame-based lines: {start}{end}text with "|" between lines.
void LoadFrameSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink);
// Fills store.SubtitleLines with the file's non-empty trimmed lines.
void ReadSubtitleLines(const std::string& path, SubtitleStore& store);
struct FrameLine {
  int32_t start = 0;
  int32_t end = TTimeSpan::kNoEnd;
  std::string_view text;  // a view into the parsed line
};
// Splits one frame-based line; false when it is not one.
bool ParseFrameLine(std::string_view line, FrameLine& parsed);

// SubRip blocks: index, "start --> end", text lines.
void LoadSrtSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink);
// hours:minutes:seconds of digits only, each part trimmed; -1 when it is not such a time.
inline constexpr int32_t kInvalidSrtTime = -1;
int32_t SrtTimeToSeconds(std::string_view text);

// SubStation Alpha "Dialogue:" events.
void LoadSsaSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink);

// SubViewer: "[INFORMATION]" header, then "start,end" lines each followed by a text line.
void LoadSubViewerSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink);

// Time-code lines "hh:mm:ss:text"; each lasts until the next starts, the last to the end.
void LoadTimeCodeSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink);

// The box a reader shows for a line it cannot read.
void ShowSubtitleFileError(MessageSink& sink);

}  // namespace captivo
