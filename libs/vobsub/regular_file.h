#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vobsub {

// A regular file read at any position through a block of its own: the file's size is
// never read or reserved at once. A FIFO or a folder in its place is refused without
// waiting on it.
class RegularFile {
 public:
  static constexpr size_t kBlock = 64 * 1024;

  RegularFile() = default;
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // False when `path` is missing, unreadable or not a regular file.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int64_t Size() const { return size_; }
  // Up to `want` (at most kBlock) bytes from `position`: fewer only at the file's end or
  // on a read error. Valid until the next call.
  std::span<const uint8_t> At(int64_t position, size_t want);
  // The bytes from `position` that the block holds, at least `least` (up to kBlock) unless
  // the file ends first: for scanning forward without reading a byte twice.
  std::span<const uint8_t> Ahead(int64_t position, size_t least);
  // Forgets the bytes read, so that the next At reads the file as it is now.
  void Forget() { blockLength_ = 0; }

 private:
  int fd_ = -1;
  int64_t size_ = 0;
  std::vector<uint8_t> block_;
  int64_t blockStart_ = 0;
  size_t blockLength_ = 0;
};

}  // namespace vobsub
