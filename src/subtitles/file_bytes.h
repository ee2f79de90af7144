#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "growing_array.h"

namespace captivo {

// The bytes of a regular file, read once into one buffer and never written anywhere. Read,
// not mapped: a file cut short or failing on its disk (a network or user file system)
// while it is read gives a short read or an error message, where a mapping would end
// the program.
class FileBytes {
 public:
  // FileError "Cannot open file %s" for anything but a readable regular file (a folder,
  // a FIFO, a device), "Cannot read file %s" when reading fails.
  static FileBytes Read(const std::string& path);

  std::string_view View() const { return std::string_view(buffer_.Data(), buffer_.Size()); }

 private:
  GrowingArray<char> buffer_;
};

}  // namespace captivo
