#include <optional>
#include <string>

#include "line_reader.h"
#include "readers.h"
#include "track_text.h"

namespace captivo {

namespace {

bool HasArrow(std::string_view line) {
  return line.find("-->") != std::string_view::npos;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\f';
}

// The file's lines, one of which can be given back: a line holding "-->" ends the block
// before it and starts the next.
class VttLines {
 public:
  explicit VttLines(std::string_view bytes) : reader_(bytes) {}

  bool Next(std::string_view& line) {
    if (pushed_) {
      line = *pushed_;
      pushed_.reset();
      return true;
    }
    return reader_.ReadLine(line);
  }
  void GiveBack(std::string_view line) { pushed_ = line; }

  // Reads the rest of a block: up to an empty line, or up to a line with "-->", given back.
  // Each line read is passed to `take`.
  template <typename Take>
  void RestOfBlock(Take take) {
    std::string_view line;
    while (Next(line) && !line.empty()) {
      if (HasArrow(line)) {
        GiveBack(line);
        return;
      }
      take(line);
    }
  }

 private:
  LineReader reader_;
  std::optional<std::string_view> pushed_;
};

// Reads a run of digits at `pos`: its value, capped so that it never overflows, and how
// many digits it had.
struct Digits {
  int64_t value = 0;
  size_t count = 0;
};
Digits ReadDigits(std::string_view s, size_t& pos) {
  Digits digits;
  for (; pos < s.size() && IsDigit(s[pos]); ++pos, ++digits.count)
    if (digits.value < 1'000'000'000) digits.value = digits.value * 10 + (s[pos] - '0');
  return digits;
}

// Hours above this would not fit the store's whole seconds.
constexpr int64_t kMaxHours = 596'000;

// A time stamp "[hh:]mm:ss.ttt" at `pos`, in milliseconds, or nullopt. Hours take two
// digits or more, minutes and seconds exactly two (at most 59), milliseconds exactly three.
std::optional<int64_t> ReadTimeStamp(std::string_view s, size_t& pos) {
  if (pos >= s.size() || !IsDigit(s[pos])) return std::nullopt;
  Digits first = ReadDigits(s, pos);
  const bool hours = first.count != 2 || first.value > 59;
  if (pos >= s.size() || s[pos] != ':') return std::nullopt;
  ++pos;
  Digits second = ReadDigits(s, pos);
  if (second.count != 2) return std::nullopt;
  Digits third;
  if (hours || (pos < s.size() && s[pos] == ':')) {
    if (pos >= s.size() || s[pos] != ':') return std::nullopt;
    ++pos;
    third = ReadDigits(s, pos);
    if (third.count != 2) return std::nullopt;
  } else {
    third = second;
    second = first;
    first = Digits{};
  }
  if (pos >= s.size() || s[pos] != '.') return std::nullopt;
  ++pos;
  const Digits millis = ReadDigits(s, pos);
  if (millis.count != 3 || second.value > 59 || third.value > 59 || first.value > kMaxHours)
    return std::nullopt;
  return ((first.value * 60 + second.value) * 60 + third.value) * 1000 + millis.value;
}

void SkipSpaces(std::string_view s, size_t& pos) {
  while (pos < s.size() && IsSpace(s[pos])) ++pos;
}

struct CueTimes {
  int64_t startMs;
  int64_t endMs;
};

// "start --> end" and the cue settings after it, which are not used.
std::optional<CueTimes> ReadTimingLine(std::string_view line) {
  size_t pos = 0;
  SkipSpaces(line, pos);
  const std::optional<int64_t> start = ReadTimeStamp(line, pos);
  if (!start) return std::nullopt;
  SkipSpaces(line, pos);
  if (line.substr(pos, 3) != "-->") return std::nullopt;
  pos += 3;
  SkipSpaces(line, pos);
  const std::optional<int64_t> end = ReadTimeStamp(line, pos);
  if (!end) return std::nullopt;
  return CueTimes{*start, *end};
}

}  // namespace

bool IsVttSignature(std::string_view line) {
  return line.substr(0, 6) == "WEBVTT" && (line.size() == 6 || IsSpace(line[6]));
}

ReaderResult ReadVttSubtitle(std::string_view bytes, SubtitleStore& store) {
  VttLines lines(bytes);
  store.StartReadingMilliseconds();
  std::string_view line;
  if (!lines.Next(line) || !IsVttSignature(line)) return kSubtitleFileError;
  lines.RestOfBlock([](std::string_view) {});  // the header

  for (;;) {
    do {
      if (!lines.Next(line)) return {};
    } while (line.empty());
    // A block is a cue when its first line, or the second after an identifier, is a
    // timing line; NOTE, STYLE and REGION blocks and stray text are not.
    if (!HasArrow(line)) {
      if (!lines.Next(line) || line.empty()) continue;
      if (!HasArrow(line)) {
        lines.RestOfBlock([](std::string_view) {});
        continue;
      }
    }
    // The text goes to the store line by line, cleaned of markup one line at a time (no
    // tag or reference spans a line), so that a long cue is never held twice.
    const std::optional<CueTimes> times = ReadTimingLine(line);
    bool appended = false;
    lines.RestOfBlock([&](std::string_view text) {
      if (!times) return;
      // A line without markup goes as it stands.
      const bool marked = text.find_first_of("<&") != std::string_view::npos;
      const std::string plain = marked ? PlainTrackText(text, TrackMarkup::WebVtt) : std::string();
      const std::string_view shown = marked ? std::string_view(plain) : text;
      if (appended)
        store.AppendTextLine(shown);
      else
        store.AppendMilliseconds(times->startMs, times->endMs, shown);
      appended = true;
    });
    if (times && !appended) store.AppendMilliseconds(times->startMs, times->endMs, {});
  }
}

}  // namespace captivo
