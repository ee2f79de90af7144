#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace captivo {

// Errors raised inside a command abandon it and travel up to the one place in the user
// interface that shows their message in a box; the program then goes on.

// A field of a file as an error message quotes it: its first 100 bytes, cut before a
// UTF-8 character that would be split, then "..." when there was more. A message box
// would take minutes to lay out a field of megabytes.
inline std::string QuotedField(std::string_view field) {
  constexpr size_t kLongest = 100;
  if (field.size() <= kLongest) return std::string(field);
  size_t cut = kLongest;
  while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) --cut;
  return std::string(field.substr(0, cut)) + "...";
}

// A text that is not a number: "'%s' is not a valid integer value".
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(std::string_view text)
      : std::runtime_error("'" + QuotedField(text) + "' is not a valid integer value") {}
};

// A file that cannot be opened or read; the message names it.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  static FileError CannotOpen(const std::string& path) {
    return FileError("Cannot open file " + path);
  }
  static FileError CannotRead(const std::string& path) {
    return FileError("Cannot read file " + path);
  }
};

}  // namespace captivo
