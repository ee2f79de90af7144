#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "file_bytes.h"

namespace captivo {

// A text subtitle file's bytes as the format detection and the readers read them: as they
// stand, or, after a UTF-16 byte-order mark of either order, converted to UTF-8 in memory
// (the file's own bytes are then let go). Nothing is ever written to a file.
class SubtitleText {
 public:
  // The file at `path`, opened once; FileError "Cannot open file %s" when it is not a
  // readable regular file.
  static SubtitleText FromFile(const std::string& path);
  // Bytes in memory, read where they stand (they must outlive this) unless converted.
  static SubtitleText FromBytes(std::string_view bytes);

  std::string_view View() const { return converted_ ? std::string_view(*converted_) : view_; }
  // The file's encoding: "utf-16le" or "utf-16be" when converted, "utf-8" for valid
  // UTF-8, else the legacy code page detected, else empty (read with the font's script).
  std::string Encoding() const;
  // Lets the bytes go: nothing large is held past the reading.
  void Release();

 private:
  // Converts the bytes in view_ when they begin with a UTF-16 mark.
  void ConvertUtf16();

  FileBytes file_;
  std::string_view view_;  // into file_ or the caller's bytes, both fixed in memory
  std::optional<std::string> converted_;
  const char* utf16_ = nullptr;  // the UTF-16 byte order converted from
};

}  // namespace captivo
