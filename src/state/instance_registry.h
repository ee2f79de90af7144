#pragma once

#include <sys/types.h>

#include <filesystem>

namespace captivo {

// Every main window registers its process in a folder of the user's: a file named after
// the process id, locked (flock) for as long as the window lives. "A main window of
// another instance exists" means another live process holds such a lock; a crashed
// instance's lock goes with it.
class InstanceRegistry {
 public:
  explicit InstanceRegistry(std::filesystem::path folder);
  ~InstanceRegistry();
  InstanceRegistry(const InstanceRegistry&) = delete;
  InstanceRegistry& operator=(const InstanceRegistry&) = delete;

  // $XDG_RUNTIME_DIR/captivo, else a folder of the user's own in the temporary folder.
  static std::filesystem::path DefaultFolder();

  bool AnotherInstanceRuns() const;

  // Registers this process until the registry goes; false when that fails.
  bool Register();

  // Ends `pid` with SIGTERM when it is a live process of this user, not this one, running
  // this same executable, and not registered here (a registered instance is a live main
  // window, never stale). Any other id (gone, reused by another program, our own, not ours
  // to end) is left alone. True when the signal was sent.
  bool EndStaleInstance(pid_t pid) const;

 private:
  std::filesystem::path folder_;
  int lock_ = -1;
};

}  // namespace captivo
