#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

// The next non-empty trimmed line, or an empty one at the end of the file.
std::string_view NextNonEmptyLine(LineReader& reader) {
  std::string_view line;
  return reader.ReadNonEmptyLine(line) ? line : std::string_view();
}

}  // namespace

ReaderResult ReadSubViewerSubtitle(std::string_view bytes, SubtitleStore& store) {
  LineReader reader(bytes);
  // The header and style lines end at the first line that starts with a digit.
  std::string_view current;
  do {
    current = NextNonEmptyLine(reader);
  } while (!current.empty() && !(current[0] >= '0' && current[0] <= '9'));

  store.StartReading(/*timesInSeconds=*/true);
  // A timing line that is the last line of the file has no text line and is not read.
  while (!reader.AtEnd()) {
    const size_t comma = current.find(',');
    if (comma == std::string_view::npos)
      return ReaderMessage{"Subtitle File Error", MessageIcon::Error};
    const FileTime start = TimeWithFraction(current.substr(0, comma));
    const FileTime end = TimeWithFraction(current.substr(comma + 1));
    std::string_view text;
    reader.ReadLine(text);  // the line right after the timing, blank or not
    store.AppendWritten(start, end, WithLineBreaks(Trim(text), "[br]", /*ignoreCase=*/true));
    current = NextNonEmptyLine(reader);
  }
  return {};
}

}  // namespace captivo
