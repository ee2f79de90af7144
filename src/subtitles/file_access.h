#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace captivo {

// An open file descriptor, closed when it goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  int Get() const { return fd_; }
  int Release();

 private:
  int fd_;
};

// Opens a regular file for reading, never blocking: -1 with errno set when it cannot be
// opened, EINVAL when it is something else (a folder, a FIFO, a device). `extraFlags` are
// added to the open's (O_NOFOLLOW).
FileDescriptor TryOpenRegularFile(const char* path, int extraFlags = 0);

// Opens a regular file for reading; anything else (a folder, a FIFO, a device, a missing
// or unreadable file) raises FileError "Cannot open file %s".
FileDescriptor OpenRegularFile(const std::string& path);

// Reads until `size` bytes or the end of the file; the count read. FileError on failure.
size_t ReadFully(int fd, char* data, size_t size, const std::string& path);

// Writes all of `size` bytes; false on failure.
bool WriteFully(int fd, const char* data, size_t size);

// Replaces the file at `path` with `bytes` and `mode`, never leaving half a file: a
// temporary file, "<name>.writing-XXXXXX", is created exclusively beside it, written,
// flushed to disk and renamed over it. False when a step fails; the file is then as it was.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode);

// Removes the temporary files that ReplaceFileAtomically leaves beside `path` when its
// process is killed before the rename. Only for a caller that knows no other process is
// replacing that file now: their names cannot tell a dead writer's from a live one's.
void RemoveUnfinishedReplacements(const std::string& path);

enum class NewFileResult { Written, Exists, Failed };

// Writes `bytes` to a new file at `path` the same way, but never over a file already
// there: Exists then, with that file as it was (also when one appears meanwhile).
NewFileResult WriteNewFileAtomically(const std::string& path, std::string_view bytes, mode_t mode);

}  // namespace captivo
