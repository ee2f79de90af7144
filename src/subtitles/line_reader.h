#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_access.h"

namespace captivo {

// Reads a subtitle file as text lines by the rules every reader shares:
// - a line ends at CR, at CR LF, or at a lone LF;
// - a Ctrl-Z (code 26) ends the file;
// - a UTF-8 byte-order mark at the very start is skipped;
// - lines have no length limit; a last line without an end counts when it is not empty.
// Only regular files are read: anything else cannot be opened.
class LineReader {
 public:
  explicit LineReader(const std::string& path);  // FileError "Cannot open file %s"

  // The next line without its end, valid until the next call; false at the end of file.
  bool ReadLine(std::string_view& line);

  // The next line that is not empty after trimming, trimmed; false at the end of file.
  bool ReadNonEmptyLine(std::string_view& line);

  // The same, into `line`, which keeps it past the next call. A long line is handed over
  // rather than copied, so `line` should be a string that lives as long as the reader.
  bool TakeNonEmptyLine(std::string& line);

  // True when no further line can be read.
  bool AtEnd();

 private:
  bool Fill();
  bool SkipLineFeedAfterCr();

  std::string path_;
  FileDescriptor file_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool exhausted_ = false;  // end of file or Ctrl-Z reached
  bool started_ = false;    // first block read (the byte-order mark is checked there)
  bool afterCr_ = false;    // the last line ended in CR: a following LF belongs to it
  std::string carry_;       // a line that crosses blocks
  bool carried_ = false;    // the last line read is the one in carry_
};

}  // namespace captivo
