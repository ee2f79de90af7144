#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

// The next non-empty trimmed line into `line`, or an empty one at the end of the file.
void TakeNextNonEmptyLine(LineReader& reader, std::string& line) {
  if (!reader.TakeNonEmptyLine(line)) line.clear();
}

}  // namespace

void LoadSubViewerSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink) {
  LineReader reader(path);
  // The header and style lines end at the first line that starts with a digit.
  std::string current;
  do {
    TakeNextNonEmptyLine(reader, current);
  } while (!current.empty() && !(current[0] >= '0' && current[0] <= '9'));

  store.StartReading(/*timesInSeconds=*/true);
  // A timing line that is the last line of the file has no text line and is not read.
  while (!reader.AtEnd()) {
    const size_t comma = current.find(',');
    if (comma == std::string::npos) {
      sink.ShowMessage("Error", "Subtitle File Error", MessageIcon::Error);
      return;
    }
    const int32_t start = TimeToSeconds(std::string_view(current).substr(0, comma));
    const int32_t end = TimeToSeconds(std::string_view(current).substr(comma + 1));
    std::string_view text;
    reader.ReadLine(text);  // the line right after the timing, blank or not
    store.AppendWritten(start, end, [text](std::string& out) {
      AppendWithLineBreaks(out, Trim(text), "[br]", /*ignoreCase=*/true);
    });
    TakeNextNonEmptyLine(reader, current);
  }
}

}  // namespace captivo
