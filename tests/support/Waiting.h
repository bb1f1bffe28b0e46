// Waiting for a condition or a child process with a deadline, never for a fixed time.
#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

// Polls `ready` every 10 ms until it holds or `seconds` have passed; whether it held.
template <class Ready>
bool WaitFor(Ready ready, int seconds = 120) {
  for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);;) {
    if (ready()) return true;
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// The wait status of the child `pid` once it has ended; one still running after `seconds` is killed.
inline int ReapChild(pid_t pid, int seconds = 120) {
  int status = 0;
  if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  return status;
}
