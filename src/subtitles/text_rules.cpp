#include "text_rules.h"

#include <algorithm>

namespace captivo {

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool MarkerAt(std::string_view s, size_t i, std::string_view marker, bool ignoreCase) {
  if (s.size() - i < marker.size()) return false;
  for (size_t k = 0; k < marker.size(); ++k) {
    char a = s[i + k], b = marker[k];
    if (ignoreCase ? LowerAscii(a) != LowerAscii(b) : a != b) return false;
  }
  return true;
}

// Where `first` next stands in `s` from `i` on (a letter in either case when
// `ignoreCase`), or the end of `s`.
size_t NextStart(std::string_view s, size_t i, char first, bool ignoreCase) {
  const char lower = LowerAscii(first);
  if (ignoreCase && lower >= 'a' && lower <= 'z') {
    while (i < s.size() && LowerAscii(s[i]) != lower) ++i;
    return i;
  }
  // A few bytes by hand first: markers often stand close together, and a search call
  // costs more than a short look.
  for (const size_t near = std::min(s.size(), i + 16); i < near; ++i)
    if (s[i] == first) return i;
  return std::min(s.find(first, i), s.size());
}

// Calls `piece` with each stretch of `s` between two occurrences of `marker`, in order:
// one stretch more than there are markers.
template <typename Piece>
void ForEachPiece(std::string_view s, std::string_view marker, bool ignoreCase, Piece&& piece) {
  size_t done = 0;
  for (size_t i = 0; (i = NextStart(s, i, marker.front(), ignoreCase)) < s.size();) {
    if (!MarkerAt(s, i, marker, ignoreCase)) {
      ++i;
      continue;
    }
    piece(s.substr(done, i - done));
    i += marker.size();
    done = i;
  }
  piece(s.substr(done));
}

}  // namespace

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool IsNumber(std::string_view s) {
  return !s.empty() && IsDigitsOrEmpty(s);
}

bool IsDigitsOrEmpty(std::string_view s) {
  return std::all_of(s.begin(), s.end(), IsDigit);
}

std::string_view Before(std::string_view s, char sep) {
  size_t p = s.find(sep);
  return p == std::string_view::npos ? std::string_view() : s.substr(0, p);
}

std::string_view After(std::string_view s, char sep) {
  size_t p = s.find(sep);
  return p == std::string_view::npos ? s : s.substr(p + 1);
}

WithLineBreaks::WithLineBreaks(std::string_view text, std::string_view marker, bool ignoreCase)
    : text_(text), marker_(marker), ignoreCase_(ignoreCase) {
  ForEachPiece(text_, marker_, ignoreCase_,
               [&](std::string_view piece) { size_ += piece.size() + 2; });
  size_ -= 2;  // one line break fewer than pieces
}

void WithLineBreaks::WriteTo(char* out) const {
  bool first = true;
  ForEachPiece(text_, marker_, ignoreCase_, [&](std::string_view piece) {
    if (!first) {
      *out++ = '\r';
      *out++ = '\n';
    }
    first = false;
    out = std::copy(piece.begin(), piece.end(), out);
  });
}

}  // namespace captivo
