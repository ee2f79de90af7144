#include "conversions.h"
#include "line_reader.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

// The non-empty trimmed lines of a file, with up to two of them looked at ahead.
class NonEmptyLines {
 public:
  explicit NonEmptyLines(std::string_view bytes) : reader_(bytes) {}

  // The k-th line ahead (0 is the next one, k at most 1), or nullptr past the end.
  const std::string_view* Peek(size_t k) {
    while (count_ <= k)
      if (!LoadOne()) return nullptr;
    return &ahead_[(head_ + k) % 2];
  }
  void Drop() {
    head_ = (head_ + 1) % 2;
    --count_;
  }

 private:
  bool LoadOne() {
    if (!reader_.ReadNonEmptyLine(ahead_[(head_ + count_) % 2])) return false;
    ++count_;
    return true;
  }

  LineReader reader_;
  std::string_view ahead_[2];
  size_t head_ = 0;
  size_t count_ = 0;
};

// Digits, then ":": how a time starts, whatever became of the arrow after it.
bool BeginsLikeTime(std::string_view line) {
  const size_t digits = line.find_first_not_of("0123456789");
  return digits > 0 && digits != std::string_view::npos && line[digits] == ':';
}

// A line of digits is an index line only when what follows it looks like a timing line:
// it holds "-->" or begins like a time (a damaged arrow such as "- >" then costs only its
// own block). Otherwise it is text: a year, a count.
bool IndexLineAhead(NonEmptyLines& lines) {
  const std::string_view* line = lines.Peek(0);
  if (!line || !IsNumber(*line)) return false;
  const std::string_view* next = lines.Peek(1);
  return next && (next->find("-->") != std::string_view::npos || BeginsLikeTime(*next));
}

// One side of a timing line: trimmed, the whole seconds before its first "," (trimmed
// again) and the milliseconds after it. kInvalidSrtTime seconds when it is not a time.
FileTime TimingSide(std::string_view side) {
  side = Trim(side);
  const int32_t seconds = SrtTimeToSeconds(Trim(Before(side, ',')));
  return FileTime(seconds, FractionMilliseconds(Trim(After(side, ','))));
}

}  // namespace

int32_t SrtTimeToSeconds(std::string_view text) {
  const std::string_view hours = Trim(Before(text, ':'));
  const std::string_view rest = After(text, ':');
  const std::string_view minutes = Trim(Before(rest, ':'));
  const std::string_view seconds = Trim(After(rest, ':'));
  if (!IsNumber(hours) || !IsNumber(minutes) || !IsNumber(seconds)) return kInvalidSrtTime;
  const int32_t h = StrToInt(hours);
  const int32_t m = StrToInt(minutes);
  const int32_t s = StrToInt(seconds);
  return CombineHms(h, m, s, text);
}

ReaderResult ReadSrtSubtitle(std::string_view bytes, SubtitleStore& store) {
  NonEmptyLines lines(bytes);
  store.StartReading(/*timesInSeconds=*/true);
  bool current = false;  // further text lines go to the last entry

  for (;;) {
    // Look for the next index line; the lines on the way belong to the current entry.
    for (;;) {
      const std::string_view* line = lines.Peek(0);
      if (!line) return {};
      if (IndexLineAhead(lines)) break;
      if (current) store.AppendTextLine(*line);
      lines.Drop();
    }
    lines.Drop();
    current = false;

    const std::string_view* timing = lines.Peek(0);
    if (!timing) return {};
    const size_t arrow = timing->find("-->");
    if (arrow == std::string_view::npos) {
      lines.Drop();
      continue;
    }
    const FileTime start = TimingSide(timing->substr(0, arrow));
    const FileTime end = TimingSide(timing->substr(arrow + 3));
    lines.Drop();
    if (start.whole == kInvalidSrtTime || end.whole == kInvalidSrtTime) return kSubtitleFileError;

    // The first text line, whatever it holds, unless the next block starts right here.
    if (!lines.Peek(0)) return {};
    const bool hasText = !IndexLineAhead(lines);
    store.Append(start, end, hasText ? *lines.Peek(0) : std::string_view());
    if (hasText) lines.Drop();
    current = true;
  }
}

}  // namespace captivo
