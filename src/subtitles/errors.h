#pragma once

#include <stdexcept>
#include <string>

namespace captivo {

// Errors raised inside a command abandon it and travel up to the one place in the user
// interface that shows their message in a box; the program then goes on.

// A text that is not a number: "'%s' is not a valid integer value".
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(const std::string& text)
      : std::runtime_error("'" + text + "' is not a valid integer value") {}
};

// A file that cannot be opened, read or created; the message names it.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  static FileError CannotOpen(const std::string& path) {
    return FileError("Cannot open file " + path);
  }
  static FileError CannotCreate(const std::string& path) {
    return FileError("Cannot create file " + path);
  }
  static FileError CannotRead(const std::string& path) {
    return FileError("Cannot read file " + path);
  }
};

}  // namespace captivo
