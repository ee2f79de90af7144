#include "exclusive_change.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>

#include "file_access.h"

namespace captivo {

namespace {

// Between two tries for a lock that is held: short at first, as changes are, then no
// longer than this.
constexpr std::chrono::milliseconds kLongestPause{10};

// The lock file beside `path`, made when missing; -1 when that fails or its name is taken
// by something that is not a regular file (never followed when it is a link).
FileDescriptor OpenLockFile(const std::filesystem::path& path) {
  const std::string name = path.string() + ".lock";
  constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  FileDescriptor lock(::open(name.c_str(), O_RDWR | O_CREAT | kFlags, 0644));
  // One made by another user may be ours to read only; a local flock needs no more.
  if (lock.Get() < 0 && errno == EACCES)
    lock = FileDescriptor(::open(name.c_str(), O_RDONLY | kFlags));
  struct stat info;
  if (lock.Get() >= 0 && (::fstat(lock.Get(), &info) != 0 || !S_ISREG(info.st_mode)))
    return FileDescriptor();
  return lock;
}

// Takes the exclusive lock on `fd`, trying again until `patience` has passed: a blocking
// flock could wait forever on a stuck holder.
bool Lock(int fd, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  std::chrono::steady_clock::duration pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min(pause, deadline - now));
    pause = std::min<std::chrono::steady_clock::duration>(pause * 2, kLongestPause);
  }
}

}  // namespace

bool ChangeExclusively(const std::filesystem::path& path, std::chrono::milliseconds patience,
                       const std::function<bool()>& change) {
  const FileDescriptor lock = OpenLockFile(path);
  if (lock.Get() < 0 || !Lock(lock.Get(), patience)) return false;
  RemoveUnfinishedReplacements(path.string());
  return change();
}  // the lock is released as its file is closed

}  // namespace captivo
