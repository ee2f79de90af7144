#include "index_file.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

namespace vobsub {

namespace {

// No line of a real index comes near this; a longer one is skipped, not stored.
constexpr size_t kLongestLine = 4096;
constexpr size_t kLongestCode = 63;
constexpr int64_t kLargestTime = std::numeric_limits<int32_t>::max();  // milliseconds
constexpr int64_t kLargestSide = 4096;  // picture coordinates are 12 bits

// Reads the fields of one line from left to right.
class Fields {
 public:
  explicit Fields(std::string_view text) : rest_(text) {}

  void SkipSpaces() {
    while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t'))
      rest_.remove_prefix(1);
  }
  bool Take(std::string_view word) {
    SkipSpaces();
    if (!rest_.starts_with(word)) return false;
    rest_.remove_prefix(word.size());
    return true;
  }
  // An unsigned number of 1 to `maxDigits` digits in `base` (10 or 16).
  bool Number(int base, size_t maxDigits, int64_t& value) {
    SkipSpaces();
    value = 0;
    size_t digits = 0;
    for (; digits < rest_.size(); ++digits) {
      const int digit = DigitValue(rest_[digits], base);
      if (digit < 0) break;
      if (digits == maxDigits) return false;
      value = value * base + digit;
    }
    rest_.remove_prefix(digits);
    return digits > 0;
  }
  // Hours, minutes, seconds and milliseconds as "h:mm:ss:ms", in milliseconds.
  bool Clock(int64_t& milliseconds) {
    int64_t h, m, s, ms;
    if (!Number(10, 6, h) || !Take(":") || !Number(10, 2, m) || !Take(":") || !Number(10, 2, s) ||
        !Take(":") || !Number(10, 3, ms) || m > 59 || s > 59)
      return false;
    milliseconds = ((h * 60 + m) * 60 + s) * 1000 + ms;
    return milliseconds <= kLargestTime;
  }
  // Up to (not including) `stop`, without the spaces around it.
  std::string_view Until(char stop) {
    SkipSpaces();
    const size_t end = rest_.find(stop);
    std::string_view text = rest_.substr(0, end);
    rest_.remove_prefix(text.size());
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
  }
  bool AtEnd() {
    SkipSpaces();
    return rest_.empty();
  }

 private:
  static int DigitValue(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  std::string_view rest_;
};

bool Printable(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
  return true;
}

// "size: 720x480": checked, though pictures carry their own place and need it not.
bool SizeFits(Fields fields) {
  int64_t width, height;
  return fields.Number(10, 5, width) && fields.Take("x") && fields.Number(10, 5, height) &&
         fields.AtEnd() && width >= 1 && width <= kLargestSide && height >= 1 &&
         height <= kLargestSide;
}

std::optional<Palette> ParsePalette(Fields fields) {
  Palette palette;
  for (size_t i = 0; i < palette.size(); ++i) {
    int64_t colour;
    if ((i > 0 && !fields.Take(",")) || !fields.Number(16, 6, colour)) return std::nullopt;
    palette[i] = static_cast<uint32_t>(colour);
  }
  if (!fields.AtEnd()) return std::nullopt;
  return palette;
}

// Calls `line` with each line (without its CR LF) and its number; a line longer than
// kLongestLine is logged and skipped.
void ForEachLine(RegularFile& file, ProblemLog& problems,
                 const std::function<void(std::string_view, int64_t)>& line) {
  std::string text;
  bool tooLong = false;
  int64_t number = 1;
  auto finish = [&] {
    if (tooLong)
      problems.Add("index line " + std::to_string(number) + ": longer than " +
                   std::to_string(kLongestLine) + " bytes, skipped");
    else
      line(std::string_view(text).substr(0, text.find_last_not_of('\r') + 1), number);
    text.clear();
    tooLong = false;
    ++number;
  };
  for (int64_t position = 0; position < file.Size();) {
    const std::span<const uint8_t> block = file.At(position, RegularFile::kBlock);
    if (block.empty()) break;
    for (const uint8_t byte : block) {
      if (byte == '\n') {
        finish();
      } else if (text.size() < kLongestLine) {
        text.push_back(static_cast<char>(byte));
      } else {
        tooLong = true;
      }
    }
    position += static_cast<int64_t>(block.size());
  }
  if (!text.empty() || tooLong) finish();
}

// The state of the lines read so far.
class IndexParser {
 public:
  IndexParser(IndexFile& index, ProblemLog& problems) : index_(index), problems_(problems) {}

  void Line(std::string_view text, int64_t number) {
    number_ = number;
    Fields fields(text);
    if (fields.Take("timestamp:"))
      TimestampLine(fields);
    else if (fields.Take("id:"))
      IdLine(fields);
    else if (fields.Take("delay:"))
      DelayLine(fields);
    else if (fields.Take("palette:"))
      PaletteLine(fields);
    else if (fields.Take("size:") && !SizeFits(fields))
      Problem("frame size out of bounds or unreadable, ignored");
  }

 private:
  void Problem(const std::string& what) {
    problems_.Add("index line " + std::to_string(number_) + ": " + what);
  }

  void TimestampLine(Fields& fields) {
    int64_t time, position;
    if (!fields.Clock(time) || !fields.Take(",") || !fields.Take("filepos:") ||
        !fields.Number(16, 15, position) || !fields.AtEnd()) {
      Problem("unreadable timestamp line, picture skipped");
    } else if (language_ == kNoId) {
      Problem("timestamp before any id line, picture skipped");
    } else if (language_ != kBadId) {  // a broken "id:" line was logged once for them all
      index_.codes[language_] = code_;
      index_.entries.push_back({language_, time + delay_, position});
    }
  }

  void IdLine(Fields& fields) {
    const std::string_view code = fields.Until(',');
    int64_t language;
    language_ = kBadId;
    if (code.size() > kLongestCode || !Printable(code))
      Problem("language code too long or unprintable, its pictures skipped");
    else if (!fields.Take(",") || !fields.Take("index:") || !fields.Number(10, 10, language) ||
             !fields.AtEnd())
      Problem("unreadable id line, its pictures skipped");
    else if (language >= kLanguageSlots)
      Problem("language index " + std::to_string(language) + " beyond 31, its pictures skipped");
    else {
      language_ = static_cast<int32_t>(language);
      code_ = code;
    }
  }

  // A delay holds for the timestamps after it, until the next delay.
  void DelayLine(Fields& fields) {
    const bool negative = fields.Take("-");
    if (!negative) fields.Take("+");
    int64_t delay;
    if (!fields.Clock(delay) || !fields.AtEnd())
      Problem("delay out of bounds or unreadable, ignored");
    else
      delay_ = negative ? -delay : delay;
  }

  void PaletteLine(Fields& fields) {
    index_.palette = ParsePalette(fields);
    if (!index_.palette) Problem("palette is not 16 hexadecimal colours, ignored");
  }

  static constexpr int32_t kNoId = -1, kBadId = -2;
  IndexFile& index_;
  ProblemLog& problems_;
  int64_t number_ = 0;
  int32_t language_ = kNoId;
  std::string code_;
  int64_t delay_ = 0;
};

}  // namespace

IndexFile ReadIndex(RegularFile& file, ProblemLog& problems) {
  IndexFile index;
  IndexParser parser(index, problems);
  ForEachLine(file, problems,
              [&](std::string_view line, int64_t number) { parser.Line(line, number); });
  return index;
}

}  // namespace vobsub
