// Waiting for a program a test started, and making sure none outlives it.
#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

namespace vorlink::testing {

// The exit status, 128 for a signal, or -1 when the program is still running
// at the deadline.
inline int WaitForExit(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

// A program the test left running, as after a failed expectation, is
// killed, so that it does not outlive its folder.
class Reaper {
 public:
  explicit Reaper(pid_t pid) : pid_(pid) {}
  ~Reaper() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Reaper(const Reaper&) = delete;
  Reaper& operator=(const Reaper&) = delete;

 private:
  pid_t pid_;
};

}  // namespace vorlink::testing
