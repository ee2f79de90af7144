#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace captivo {

// A profile (initialisation) file: "[section]" lines and "key=value" lines below them.
// Sections and keys are matched without regard to case; every line that is not changed
// is kept exactly as it was. Saving writes a temporary file in the same folder and
// renames it over the file, so a crash or a full disk never leaves half a file.
class ProfileFile {
 public:
  // Reads `path`; a missing file reads as empty. A file that cannot be read (a folder, a
  // file without permission, one far too large for a profile) reads as empty too, and is
  // never overwritten: Save fails.
  explicit ProfileFile(std::filesystem::path path);

  // The value of the key (blanks around it removed), or nothing when the section or the
  // key is missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;

  // Sets the key, creating the section or the key where missing.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  // False when the file could not be written.
  bool Save() const;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::vector<std::string> lines_;  // without their LF; a CR before it stays
  bool loaded_ = true;
};

// A profile integer: a decimal number with an optional sign, or a hexadecimal one after
// "0x" or "0X"; blanks around it are ignored. Nothing when it is not such a number in the
// signed 32-bit range.
std::optional<int32_t> ParseProfileInteger(std::string_view value);

}  // namespace captivo
