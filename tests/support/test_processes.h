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

// Runs each of `works` in a child process of its own, all at once, and gives what each
// returns (0 to 255), or nothing for a child that has not ended after ten seconds and was
// killed: for code that must never block, or that runs in several programs at a time.
std::vector<std::optional<int>> RunInChildren(const std::vector<std::function<int()>>& works);
std::optional<int> RunInChild(const std::function<int()>& work);

// What a shell command printed on its standard output, and its exit status (-1 when it
// did not exit).
struct CommandRun {
  std::string out;
  int status;
};
CommandRun RunCommand(const std::string& command);

// This test program as another instance holding a registration in `folder`.
std::vector<std::string> HoldRegistration(const std::string& folder);

// Started as "--hold-registration FOLDER", a test program stands in for another running
// instance: it registers in FOLDER, says so on stdout and waits to be ended.
void HoldRegistrationIfAsked(int argc, char** argv);

}  // namespace captivo::test
