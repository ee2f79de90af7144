#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vobsub {

RegularFile::~RegularFile() {
  Close();
}

bool RegularFile::Open(const std::string& path) {
  Close();
  // Non-blocking, so that a FIFO cannot hold the caller before fstat turns it away.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = info.st_size;
  return true;
}

void RegularFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  blockStart_ = 0;
  blockLength_ = 0;
}

std::span<const uint8_t> RegularFile::At(int64_t position, size_t want) {
  if (fd_ < 0 || position < 0 || position >= size_) return {};
  want = std::min({want, kBlock, static_cast<size_t>(size_ - position)});
  const bool inBlock =
      position >= blockStart_ &&
      position + static_cast<int64_t>(want) <= blockStart_ + static_cast<int64_t>(blockLength_);
  if (!inBlock) {
    block_.resize(kBlock);
    blockStart_ = position;
    blockLength_ = 0;
    while (blockLength_ < kBlock) {
      const ssize_t got = ::pread(fd_, block_.data() + blockLength_, kBlock - blockLength_,
                                  position + static_cast<int64_t>(blockLength_));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;  // the end, or a file cut shorter since it was opened
      blockLength_ += static_cast<size_t>(got);
    }
  }
  const size_t offset = static_cast<size_t>(position - blockStart_);
  return {block_.data() + offset, std::min(want, blockLength_ - offset)};
}

std::span<const uint8_t> RegularFile::Ahead(int64_t position, size_t least) {
  const int64_t blockEnd = blockStart_ + static_cast<int64_t>(blockLength_);
  if (position >= blockStart_ && position + static_cast<int64_t>(least) <= blockEnd)
    return {block_.data() + (position - blockStart_), static_cast<size_t>(blockEnd - position)};
  return At(position, kBlock);
}

}  // namespace vobsub
