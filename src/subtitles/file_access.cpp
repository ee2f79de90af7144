#include "file_access.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "errors.h"

namespace captivo {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

int FileDescriptor::Release() {
  return std::exchange(fd_, -1);
}

FileDescriptor TryOpenRegularFile(const char* path, int extraFlags) {
  // O_NONBLOCK keeps a FIFO from blocking the open; regular files ignore it.
  FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags));
  if (file.Get() < 0) return file;
  struct stat info;
  const int failure = ::fstat(file.Get(), &info) != 0 ? errno : 0;
  if (failure == 0 && S_ISREG(info.st_mode)) return file;
  file = FileDescriptor();
  errno = failure ? failure : EINVAL;
  return file;
}

FileDescriptor OpenRegularFile(const std::string& path) {
  FileDescriptor file = TryOpenRegularFile(path.c_str());
  if (file.Get() < 0) throw FileError::CannotOpen(path);
  return file;
}

size_t ReadFully(int fd, char* data, size_t size, const std::string& path) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError::CannotRead(path);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool WriteFully(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

namespace {

constexpr std::string_view kReplacementTag = ".writing-";
constexpr size_t kUniqueLength = 6;  // mkstemp's XXXXXX: letters and digits

// Whether `name` is that of a temporary file of ReplaceFileAtomically for `target`.
bool IsReplacementOf(std::string_view name, std::string_view target) {
  const size_t prefix = target.size() + kReplacementTag.size();
  if (name.size() != prefix + kUniqueLength || !name.starts_with(target) ||
      name.substr(target.size(), kReplacementTag.size()) != kReplacementTag)
    return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix), name.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  });
}

// A temporary file beside `path` holding `bytes` with `mode`, flushed to disk; empty when
// it cannot be made.
std::string WrittenSibling(const std::string& path, std::string_view bytes, mode_t mode) {
  std::string sibling = path + std::string(kReplacementTag) + std::string(kUniqueLength, 'X');
  const int fd = ::mkstemp(sibling.data());  // O_EXCL, mode 0600
  if (fd < 0) return {};
  ::fchmod(fd, mode);
  const bool written = WriteFully(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written) {
    ::unlink(sibling.c_str());
    return {};
  }
  return sibling;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
  const std::string sibling = WrittenSibling(path, bytes, mode);
  if (sibling.empty()) return false;
  if (::rename(sibling.c_str(), path.c_str()) != 0) {
    ::unlink(sibling.c_str());
    return false;
  }
  return true;
}

NewFileResult WriteNewFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
  struct stat existing;
  if (::lstat(path.c_str(), &existing) == 0) return NewFileResult::Exists;
  const std::string sibling = WrittenSibling(path, bytes, mode);
  if (sibling.empty()) return NewFileResult::Failed;
  // A rename that refuses to replace, else (a file system without one) a hard link, which
  // cannot replace either.
  const bool renamed =
      ::renameat2(AT_FDCWD, sibling.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
  int error = renamed ? 0 : errno;
  if (!renamed && error != EEXIST) error = ::link(sibling.c_str(), path.c_str()) == 0 ? 0 : errno;
  if (!renamed) ::unlink(sibling.c_str());
  if (error == 0) return NewFileResult::Written;
  return error == EEXIST ? NewFileResult::Exists : NewFileResult::Failed;
}

void RemoveUnfinishedReplacements(const std::string& path) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const std::string name = target.filename().string();
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    // Only regular files: a folder or a link of that name is nothing this program made.
    std::error_code unknown;
    if (IsReplacementOf(entry->path().filename().string(), name) &&
        entry->symlink_status(unknown).type() == std::filesystem::file_type::regular)
      ::unlink(entry->path().c_str());
  }
}

}  // namespace captivo
