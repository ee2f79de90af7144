#include "file_bytes.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <utility>

#include "file_access.h"

namespace captivo {

FileBytes FileBytes::Read(const std::string& path) {
  const FileDescriptor file = OpenRegularFile(path);
  FileBytes bytes;
  struct stat info;
  if (::fstat(file.Get(), &info) == 0 && info.st_size > 0) {
    const size_t size = static_cast<size_t>(info.st_size);
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.Get(), 0);
    if (mapping != MAP_FAILED) {
      ::madvise(mapping, size, MADV_SEQUENTIAL);  // read once, from start to end
      bytes.mapping_ = mapping;
      bytes.mappedSize_ = size;
      return bytes;
    }
  }
  constexpr size_t kBlock = 64 * 1024;
  for (;;) {
    char* block = bytes.buffer_.Extend(kBlock);
    const size_t read = ReadFully(file.Get(), block, kBlock, path);
    bytes.buffer_.Truncate(bytes.buffer_.Size() - kBlock + read);
    if (read < kBlock) return bytes;
  }
}

FileBytes::~FileBytes() {
  if (mapping_) ::munmap(mapping_, mappedSize_);
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : mapping_(std::exchange(other.mapping_, nullptr)),
      mappedSize_(std::exchange(other.mappedSize_, 0)),
      buffer_(std::move(other.buffer_)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
  if (this != &other) {
    if (mapping_) ::munmap(mapping_, mappedSize_);
    mapping_ = std::exchange(other.mapping_, nullptr);
    mappedSize_ = std::exchange(other.mappedSize_, 0);
    buffer_ = std::move(other.buffer_);
  }
  return *this;
}

std::string_view FileBytes::View() const {
  if (mapping_) return std::string_view(static_cast<const char*>(mapping_), mappedSize_);
  return std::string_view(buffer_.Data(), buffer_.Size());
}

}  // namespace captivo
