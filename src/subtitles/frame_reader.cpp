#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

// The field between the first "{" and the first "}" of `s`, each searched over the whole
// of `s`: everything before the "}" when there is no "{", empty when the "}" is missing
// or comes first.
std::string_view BraceField(std::string_view s, size_t& close) {
  const size_t open = s.find('{');
  close = s.find('}');
  const size_t from = open == std::string_view::npos ? 0 : open + 1;
  if (close == std::string_view::npos || close < from) return {};
  return s.substr(from, close - from);
}

}  // namespace

bool ParseFrameLine(std::string_view line, FrameLine& parsed) {
  size_t close;
  const std::string_view startField = BraceField(line, close);
  if (!IsNumber(startField)) return false;
  parsed.start = StrToInt(startField);

  const std::string_view remainder = line.substr(close + 1);
  const std::string_view endField = BraceField(remainder, close);
  if (endField.empty()) {
    parsed.end = TTimeSpan::kNoEnd;
  } else {
    if (!IsNumber(endField)) return false;
    parsed.end = StrToInt(endField);
  }
  parsed.text = After(remainder, '}');
  return true;
}

ReaderResult ReadFrameSubtitle(std::string_view bytes, SubtitleStore& store) {
  store.StartReading(/*timesInSeconds=*/false);
  // Blank lines play no part. Each line is parsed where it stands in the file's bytes.
  LineReader reader(bytes);
  std::string_view line;
  while (reader.ReadNonEmptyLine(line)) {
    FrameLine parsed;
    if (!ParseFrameLine(line, parsed)) return kSubtitleFileError;  // the ends stay unfilled
    store.AppendWritten(parsed.start, parsed.end, WithLineBreaks(parsed.text, "|"));
  }
  // An entry without an end lasts until the next one starts; the last keeps none.
  for (size_t i = 0; i + 1 < store.Count(); ++i)
    if (store.EndTime(i) == TTimeSpan::kNoEnd) store.SetEndTime(i, store.StartTime(i + 1));
  return {};
}

}  // namespace captivo
