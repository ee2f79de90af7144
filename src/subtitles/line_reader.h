#pragma once

#include <string_view>

namespace captivo {

// Reads a subtitle file's bytes as text lines by the rules every reader shares:
// - a line ends at CR, at CR LF, or at a lone LF;
// - a Ctrl-Z (code 26) ends the file;
// - a UTF-8 byte-order mark at the very start is skipped;
// - lines have no length limit; a last line without an end counts when it is not empty.
// Lines are views into the bytes, valid as long as they are.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes);

  // The next line without its end; false at the end of the file.
  bool ReadLine(std::string_view& line);

  // The next line that is not empty after trimming, trimmed; false at the end of the file.
  bool ReadNonEmptyLine(std::string_view& line);

  // True when no further line can be read.
  bool AtEnd() const { return rest_.empty() || rest_.front() == kCtrlZ; }

 private:
  static constexpr char kCtrlZ = 26;

  // What is left to read. A Ctrl-Z is found as the lines come to it, so that a reader
  // that stops early never searches the rest of the file.
  std::string_view rest_;
};

}  // namespace captivo
