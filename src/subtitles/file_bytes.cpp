#include "file_bytes.h"

#include "file_access.h"

namespace captivo {

FileBytes FileBytes::Read(const std::string& path) {
  const FileDescriptor file = OpenRegularFile(path);
  FileBytes bytes;
  // Block by block to the end, whatever size the file claimed: files under /proc claim
  // none, and a file may change while it is read. The buffer's room beyond what was read
  // is never touched, so it costs no memory.
  constexpr size_t kBlock = 256 * 1024;
  for (;;) {
    char* block = bytes.buffer_.Extend(kBlock);
    const size_t read = ReadFully(file.Get(), block, kBlock, path);
    bytes.buffer_.Truncate(bytes.buffer_.Size() - kBlock + read);
    if (read < kBlock) return bytes;
  }
}

}  // namespace captivo
