#include "track_text.h"

#include <cstdint>

#include "utf8_text.h"

namespace captivo {

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Collects lines, leaving out empty ones before the first text, and empty ones after the
// last when finished.
class LineCollector {
 public:
  void Add(char c) { line_ += c; }
  void Add(std::string_view s) { line_ += s; }
  void Break() {
    if (!out_.empty() || !line_.empty()) {
      const bool hasText = !line_.empty();
      if (out_.empty())
        out_.swap(line_);  // the first line is taken, not copied: a long one is held once
      else
        out_ += line_;
      out_ += "\r\n";
      if (hasText) end_ = out_.size() - 2;
    }
    line_.clear();
  }
  std::string Finish() {
    Break();
    out_.resize(end_);
    return std::move(out_);
  }

 private:
  std::string out_, line_;
  size_t end_ = 0;  // where the text ends after its last non-empty line
};

// The length of the line break at `i` in `s` (CR LF, LF or CR), or 0.
size_t LineBreakAt(std::string_view s, size_t i) {
  if (s[i] == '\n') return 1;
  if (s[i] != '\r') return 0;
  return i + 1 < s.size() && s[i + 1] == '\n' ? 2 : 1;
}

// The value of \p in an override block ("\p1" starts a drawing, "\p0" ends it), or -1.
int DrawingLevel(std::string_view block) {
  int level = -1;
  for (size_t i = 0; (i = block.find("\\p", i)) != std::string_view::npos;) {
    i += 2;
    if (i >= block.size() || block[i] < '0' || block[i] > '9') continue;  // \pos, \pbo
    level = 0;
    for (; i < block.size() && block[i] >= '0' && block[i] <= '9' && level < 1000; ++i)
      level = level * 10 + (block[i] - '0');
  }
  return level;
}

std::string AssText(std::string_view s) {
  LineCollector lines;
  bool drawing = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (const size_t length = LineBreakAt(s, i)) {
      lines.Break();
      i += length - 1;
    } else if (s[i] == '{' && s.find('}', i) != std::string_view::npos) {
      const size_t close = s.find('}', i);
      const int level = DrawingLevel(s.substr(i + 1, close - i - 1));
      if (level >= 0) drawing = level > 0;
      i = close;
    } else if (drawing) {
      continue;
    } else if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'N' || s[i + 1] == 'n')) {
      lines.Break();
      ++i;
    } else if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'h') {
      lines.Add(' ');
      ++i;
    } else {
      lines.Add(s[i]);
    }
  }
  return lines.Finish();
}

// A tag of HTML's shape: "<", an optional "/", a letter, and the rest up to ">" on the
// same line; or any "<...>" in WebVTT, where a "<" of the text is written "&lt;".
size_t TagLength(std::string_view s, size_t i, bool anyTag) {
  size_t k = i + 1;
  if (!anyTag) {
    if (k < s.size() && s[k] == '/') ++k;
    if (k >= s.size() || !IsAsciiLetter(s[k])) return 0;
  }
  for (; k < s.size() && s[k] != '\r' && s[k] != '\n'; ++k)
    if (s[k] == '>') return k + 1 - i;
  return 0;
}

// An override block such as "{\an8}" that SubRip files borrow from ASS.
size_t BorrowedBlockLength(std::string_view s, size_t i) {
  if (i + 1 >= s.size() || s[i + 1] != '\\') return 0;
  for (size_t k = i + 2; k < s.size() && s[k] != '\r' && s[k] != '\n'; ++k)
    if (s[k] == '}') return k + 1 - i;
  return 0;
}

// A WebVTT character reference at `i` ("&amp;", "&#233;", "&#xE9;"): its length, with its
// text in `text`; 0 for an "&" that starts none.
size_t ReferenceLength(std::string_view s, size_t i, std::string& text) {
  const size_t semicolon = s.find(';', i);
  if (semicolon == std::string_view::npos || semicolon - i > 10) return 0;
  const std::string_view name = s.substr(i + 1, semicolon - i - 1);
  static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
      {"amp", "&"},
      {"lt", "<"},
      {"gt", ">"},
      {"quot", "\""},
      {"apos", "'"},
      {"nbsp", " "},
      {"lrm", "\xE2\x80\x8E"},
      {"rlm", "\xE2\x80\x8F"}};
  for (const auto& [key, value] : kNamed)
    if (name == key) {
      text = value;
      return semicolon + 1 - i;
    }
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  uint32_t code = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9' ? c - '0' : -1;
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    if (code > 0x10FFFF) code = 0x110000;  // stays out of range, never wraps
  }
  text.clear();
  const bool valid = code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  AppendUtf8(text, valid ? code : 0xFFFD);
  return semicolon + 1 - i;
}

std::string TaggedText(std::string_view s, TrackMarkup markup) {
  LineCollector lines;
  std::string reference;
  for (size_t i = 0; i < s.size(); ++i) {
    size_t length = 0;
    if ((length = LineBreakAt(s, i))) {
      lines.Break();
    } else if (markup == TrackMarkup::Plain) {
      lines.Add(s[i]);
      continue;
    } else if (s[i] == '<' && (length = TagLength(s, i, markup == TrackMarkup::WebVtt))) {
    } else if (markup == TrackMarkup::SubRip && s[i] == '{' &&
               (length = BorrowedBlockLength(s, i))) {
    } else if (markup == TrackMarkup::WebVtt && s[i] == '&' &&
               (length = ReferenceLength(s, i, reference))) {
      lines.Add(reference);
    } else {
      lines.Add(s[i]);
      continue;
    }
    i += length - 1;
  }
  return lines.Finish();
}

}  // namespace

std::string PlainTrackText(std::string_view payload, TrackMarkup markup) {
  return markup == TrackMarkup::Ass ? AssText(payload) : TaggedText(payload, markup);
}

}  // namespace captivo
