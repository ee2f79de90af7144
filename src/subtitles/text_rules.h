#pragma once

#include <cstddef>
#include <string_view>

namespace captivo {

// Removes every character with a code from 0 to 32 from both ends.
std::string_view Trim(std::string_view s);

// True when s is non-empty and holds only the digits 0 to 9.
bool IsNumber(std::string_view s);

// True when every character of s is a digit 0 to 9; also true for an empty s.
bool IsDigitsOrEmpty(std::string_view s);

// The part of s before its first `sep` (empty when s has none), and the part after it
// (the whole of s when it has none): the way the readers cut fields off a line.
std::string_view Before(std::string_view s, char sep);
std::string_view After(std::string_view s, char sep);

// `text` with every `marker` replaced by CR LF (`ignoreCase`: the marker's ASCII letters
// in either case). Measured first, so that the room for it is made once, then written
// where it is wanted: a subtitle's text goes straight into the store.
class WithLineBreaks {
 public:
  WithLineBreaks(std::string_view text, std::string_view marker, bool ignoreCase = false);
  size_t Size() const { return size_; }
  // Writes the Size() bytes to `out`.
  void WriteTo(char* out) const;

 private:
  std::string_view text_, marker_;
  bool ignoreCase_;
  size_t size_ = 0;
};

}  // namespace captivo
