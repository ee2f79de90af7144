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

void AppendWithLineBreaks(std::string& out, std::string_view s, std::string_view marker,
                          bool ignoreCase) {
  out.reserve(out.size() + s.size());
  const char first = marker.front();
  size_t done = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((s[i] == first || (ignoreCase && LowerAscii(s[i]) == LowerAscii(first))) &&
        MarkerAt(s, i, marker, ignoreCase)) {
      out.append(s.substr(done, i - done));
      out.append("\r\n");
      i += marker.size() - 1;
      done = i + 1;
    }
  }
  out.append(s.substr(done));
}

}  // namespace captivo
