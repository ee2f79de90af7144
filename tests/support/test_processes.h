#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace captivo::test {

// A child process started from a command line, ended and reaped when it goes.
class ChildProcess {
 public:
  // Starts `argv`; when `waitForLine`, returns once the child has printed a line.
  explicit ChildProcess(std::vector<std::string> argv, bool waitForLine = false);
  ~ChildProcess();
  pid_t Pid() const { return pid_; }
  bool Alive();
  // Waits up to two seconds for the child to end; true when it did.
  bool WaitForEnd();

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

// Runs `work` in a child process and gives what it returns (0 to 255), or nothing when the
// child has not ended after ten seconds and was killed: for code that must never block.
std::optional<int> RunInChild(const std::function<int()>& work);

// This test program as another instance holding a registration in `folder`.
std::vector<std::string> HoldRegistration(const std::string& folder);

// Started as "--hold-registration FOLDER", a test program stands in for another running
// instance: it registers in FOLDER, says so on stdout and waits to be ended.
void HoldRegistrationIfAsked(int argc, char** argv);

}  // namespace captivo::test
