#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

ReaderResult ReadTimeCodeSubtitle(std::string_view bytes, SubtitleStore& store) {
  LineReader reader(bytes);
  store.StartReading(/*timesInSeconds=*/true);

  // An entry ends when the next one starts. Until then its end is unknown (-1), and stays
  // so when a bad line ends the load: it is not shown rather than shown to the end.
  std::string_view line;
  while (reader.ReadNonEmptyLine(line)) {
    size_t third = std::string_view::npos;
    for (size_t i = 0, colons = 0; i < line.size(); ++i)
      if (line[i] == ':' && ++colons == 3) {
        third = i;
        break;
      }
    std::string_view time = line, text;
    if (third != std::string_view::npos) {
      time = line.substr(0, third);
      text = line.substr(third + 1);
    } else if (!time.empty() && time.back() == ':') {
      time.remove_suffix(1);
    }
    // Whole seconds only: a fraction after the seconds is dropped, also from the exact times.
    const int32_t start = TimeToSeconds(time);
    if (store.Count() > 0) store.SetEndTime(store.Count() - 1, start);
    store.AppendWritten(start, TTimeSpan::kNoEnd, WithLineBreaks(text, "|"));
  }
  if (store.Count() > 0) store.SetEndTime(store.Count() - 1, TTimeSpan::kOpenEnd);
  return {};
}

}  // namespace captivo
