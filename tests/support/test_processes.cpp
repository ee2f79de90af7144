#include "test_processes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

#include "instance_registry.h"

namespace captivo::test {

CommandRun RunCommand(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  CommandRun run{{}, -1};
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

ChildProcess::ChildProcess(std::vector<std::string> argv, bool waitForLine) {
  int out[2];
  if (::pipe(out) != 0) return;
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(out[1]);
  char c;
  if (waitForLine)
    while (::read(out[0], &c, 1) == 1 && c != '\n') {
    }
  ::close(out[0]);
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool ChildProcess::Alive() {
  if (reaped_) return false;
  int status;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) reaped_ = true;
  return !reaped_;
}

bool ChildProcess::WaitForEnd() {
  for (int i = 0; i < 200 && Alive(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !Alive();
}

std::vector<std::optional<int>> RunInChildren(const std::vector<std::function<int()>>& works) {
  std::vector<pid_t> pids;
  for (const auto& work : works) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work());
    pids.push_back(pid);
  }
  std::vector<std::optional<int>> results(works.size());
  std::vector<bool> ended(works.size(), false);
  for (int tick = 0; tick < 1000 && std::find(ended.begin(), ended.end(), false) != ended.end();
       ++tick) {
    for (size_t i = 0; i < pids.size(); ++i) {
      int status = 0;
      if (ended[i] || ::waitpid(pids[i], &status, WNOHANG) != pids[i]) continue;
      ended[i] = true;
      if (WIFEXITED(status)) results[i] = WEXITSTATUS(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (size_t i = 0; i < pids.size(); ++i) {
    if (ended[i]) continue;
    ::kill(pids[i], SIGKILL);
    ::waitpid(pids[i], nullptr, 0);
  }
  return results;
}

std::optional<int> RunInChild(const std::function<int()>& work) {
  return RunInChildren({work}).front();
}

std::vector<std::string> HoldRegistration(const std::string& folder) {
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  return {std::string(self, n > 0 ? static_cast<size_t>(n) : 0), "--hold-registration", folder};
}
void HoldRegistrationIfAsked(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "--hold-registration") != 0) return;
  InstanceRegistry registry(argv[2]);
  std::cout << (registry.Register() ? "registered" : "failed") << std::endl;
  ::pause();
  ::_exit(0);
}

}  // namespace captivo::test
