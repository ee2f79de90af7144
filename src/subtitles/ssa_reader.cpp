#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

constexpr std::string_view kEvent = "Dialogue:";

bool IsEvent(std::string_view line) {
  return line.substr(0, kEvent.size()) == kEvent;
}

// Dialogue: layer,start,end,style,name,marginL,marginR,marginV,effect,text
void AppendEvent(std::string_view line, SubtitleStore& store) {
  std::string_view rest = After(line, ',');
  const std::string_view start = Before(rest, ',');
  rest = After(rest, ',');
  const std::string_view end = Before(rest, ',');
  rest = After(rest, ',');
  for (int field = 0; field < 6; ++field) rest = After(rest, ',');

  const FileTime startTime = TimeWithFraction(start);
  const FileTime endTime = TimeWithFraction(end);
  store.AppendWritten(startTime, endTime, WithLineBreaks(rest, "\\n", /*ignoreCase=*/true));
}

}  // namespace

ReaderResult ReadSsaSubtitle(std::string_view bytes, SubtitleStore& store) {
  LineReader reader(bytes);
  store.StartReading(/*timesInSeconds=*/true);

  // Everything before the first event (header, styles, formats) is skipped; after it only
  // events count: comments and later sections (fonts, graphics) are not subtitles.
  std::string_view line;
  while (reader.ReadNonEmptyLine(line))
    if (IsEvent(line)) AppendEvent(line, store);
  return {};
}

}  // namespace captivo
