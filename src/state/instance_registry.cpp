#include "instance_registry.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "file_access.h"

namespace captivo {

namespace {

bool IsProcessId(const std::string& name) {
  return !name.empty() && name.size() < 10 &&
         name.find_first_not_of("0123456789") == std::string::npos;
}

// A folder only this user may use; false when it is not that (made by another user
// first, or open to others).
bool PrivateFolder(const std::filesystem::path& folder) {
  struct stat info;
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

enum class Registration { None, Held, LeftBehind };

// The registration file at `path`: none (missing, or not a regular file: a FIFO of that
// name must not block start-up), held by a live instance, or left behind by one that is
// gone.
Registration RegistrationAt(const std::filesystem::path& path) {
  const FileDescriptor file = TryOpenRegularFile(path.c_str(), O_NOFOLLOW);
  if (file.Get() < 0) return Registration::None;
  return ::flock(file.Get(), LOCK_SH | LOCK_NB) != 0 ? Registration::Held
                                                     : Registration::LeftBehind;
}

// A process of this user running this same executable file (same device and inode
// behind both links).
bool SameProgramAndUser(pid_t pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  struct stat owner, other, self;
  return ::stat(proc.c_str(), &owner) == 0 && owner.st_uid == ::getuid() &&
         ::stat((proc + "/exe").c_str(), &other) == 0 && ::stat("/proc/self/exe", &self) == 0 &&
         other.st_dev == self.st_dev && other.st_ino == self.st_ino;
}

}  // namespace

InstanceRegistry::InstanceRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}

InstanceRegistry::~InstanceRegistry() {
  if (lock_ < 0) return;
  ::unlink((folder_ / std::to_string(::getpid())).c_str());
  ::close(lock_);
}

std::filesystem::path InstanceRegistry::DefaultFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') return std::filesystem::path(runtime) / "captivo";
  return std::filesystem::temp_directory_path() / ("captivo-" + std::to_string(::getuid()));
}

bool InstanceRegistry::AnotherInstanceRuns() const {
  if (!PrivateFolder(folder_)) return false;
  std::error_code error;
  const std::string self = std::to_string(::getpid());
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    const std::string name = entry.path().filename().string();
    if (!IsProcessId(name) || name == self) continue;
    switch (RegistrationAt(entry.path())) {
      case Registration::Held:
        return true;
      case Registration::LeftBehind:
        ::unlink(entry.path().c_str());
        break;
      case Registration::None:
        break;
    }
  }
  return false;
}

bool InstanceRegistry::Register() {
  if (lock_ >= 0) return true;
  std::error_code ignored;
  std::filesystem::create_directories(folder_.parent_path(), ignored);
  ::mkdir(folder_.c_str(), 0700);
  if (!PrivateFolder(folder_)) return false;
  const std::filesystem::path file = folder_ / std::to_string(::getpid());
  lock_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_ >= 0 && ::flock(lock_, LOCK_EX | LOCK_NB) == 0) return true;
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
  return false;
}

bool InstanceRegistry::EndStaleInstance(pid_t pid) const {
  if (pid <= 0 || pid == ::getpid()) return false;
  // The process is held by a pidfd while it is checked: should it end and its id be taken
  // by another process meanwhile, the signal finds it gone rather than reaching the other.
  const FileDescriptor process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  if (process.Get() < 0 || !SameProgramAndUser(pid)) return false;
  // A registered instance has its main window open: the id recorded by an instance that
  // closed has since been given to a live one.
  if (RegistrationAt(folder_ / std::to_string(pid)) == Registration::Held) return false;
  return ::syscall(SYS_pidfd_send_signal, process.Get(), SIGTERM, nullptr, 0) == 0;
}

}  // namespace captivo
