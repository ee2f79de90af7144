#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace captivo::test {

struct ProgramRun {
  std::string out;  // what it printed on its standard output
  int status;       // its exit status; -1 when it did not exit
};
// Runs `program` with `arguments` (words for the shell) through the shell, after the shell
// commands `before` (limits), its errors thrown away.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& before = "");

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
// returns (0 to 255), or nothing for a child that has not ended after ten seconds or was
// killed: for code that must never block, or that runs in several programs at a time.
// `started` runs in this process once every child has been started.
std::vector<std::optional<int>> RunInChildren(const std::vector<std::function<int()>>& works,
                                              const std::function<void()>& started = {});
std::optional<int> RunInChild(const std::function<int()>& work);

// Lets child processes go on together, as closely as the system schedules them: each child
// waits at the gate until the parent opens it, after starting them all. Made before the
// children are started.
class StartGate {
 public:
  StartGate();
  ~StartGate();
  StartGate(const StartGate&) = delete;
  StartGate& operator=(const StartGate&) = delete;
  void Wait();  // in a child
  void Open();  // in the parent

 private:
  int read_ = -1, write_ = -1;
};

// This test program as another instance holding a registration in `folder`.
std::vector<std::string> HoldRegistration(const std::string& folder);

// Started as "--hold-registration FOLDER", a test program stands in for another running
// instance: it registers in FOLDER, says so on stdout and waits to be ended.
void HoldRegistrationIfAsked(int argc, char** argv);

}  // namespace captivo::test
