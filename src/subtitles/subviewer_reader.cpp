#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

// The next non-empty trimmed line, or an empty one at the end of the file.
std::string NextNonEmptyLine(LineReader& reader) {
  std::string_view line;
  return reader.ReadNonEmptyLine(line) ? std::string(line) : std::string();
}

}  // namespace

void LoadSubViewerSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink) {
  LineReader reader(path);
  // The header and style lines end at the first line that starts with a digit.
  std::string current;
  do {
    current = NextNonEmptyLine(reader);
  } while (!current.empty() && !(current[0] >= '0' && current[0] <= '9'));

  store.StartReading(/*timesInSeconds=*/true);
  // A timing line that is the last line of the file has no text line and is not read.
  while (!reader.AtEnd()) {
    const size_t comma = current.find(',');
    if (comma == std::string::npos) {
      sink.ShowMessage("Error", "Subtitle File Error", MessageIcon::Error);
      return;
    }
    TTimeSpan entry;
    entry.StartTime = TimeToSeconds(std::string_view(current).substr(0, comma));
    entry.EndTime = TimeToSeconds(std::string_view(current).substr(comma + 1));
    std::string_view text;
    reader.ReadLine(text);  // the line right after the timing, blank or not
    AppendWithLineBreaks(entry.Text, Trim(text), "[br]", /*ignoreCase=*/true);
    store.Append(std::move(entry));
    current = NextNonEmptyLine(reader);
  }
}

}  // namespace captivo
