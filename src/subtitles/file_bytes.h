#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "growing_array.h"

namespace captivo {

// The bytes of a regular file, read once: mapped read-only, or read into one buffer where
// the file cannot be mapped (an empty file, or one the kernel gives no size, as under
// /proc). Nothing is written anywhere.
class FileBytes {
 public:
  // FileError "Cannot open file %s" for anything but a readable regular file (a folder,
  // a FIFO, a device), "Cannot read file %s" when reading fails.
  static FileBytes Read(const std::string& path);

  FileBytes() = default;
  ~FileBytes();
  FileBytes(FileBytes&& other) noexcept;
  FileBytes& operator=(FileBytes&& other) noexcept;

  std::string_view View() const;

 private:
  void* mapping_ = nullptr;
  size_t mappedSize_ = 0;
  GrowingArray<char> buffer_;  // when not mapped
};

}  // namespace captivo
