// The window program as a process, on the offscreen platform with fresh
// folders: a signal while a start-up box is up ends it at once with the usual
// clean-up (exit status 128 + signal, no swap file left, the colours
// written), and settings files that are FIFOs do not hold up start-up or
// shutdown.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Waits until `ready` holds; false after the deadline.
template <typename Ready>
bool WaitFor(Ready ready, int seconds = 30) {
  for (const auto until = Clock::now() + std::chrono::seconds(seconds); Clock::now() < until;) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// True once `pid` has its own handler for SIGTERM (the kernel's SigCgt mask).
bool CatchesSigterm(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
  return false;
}

// One user's folders, shared by the copies a test starts.
class Desktop {
 public:
  Desktop() {
    for (const char* name : {"home", "config/DRN", "cache", "data", "runtime", "system"})
      fs::create_directories(root_ / name);
    chmod((root_ / "runtime").c_str(), 0700);
  }
  // A copy a failed assertion left running is killed.
  ~Desktop() {
    while (!running_.empty()) ExitStatus(running_.front(), 0);
  }
  std::string operator/(const std::string& name) const { return root_ / name; }

  // Starts `melotrix ARGS`.
  pid_t Start(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid != 0) {
      running_.push_back(pid);
      return pid;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (auto [name, folder] : {std::pair{"HOME", "home"},
                                {"XDG_CONFIG_HOME", "config"},
                                {"XDG_CACHE_HOME", "cache"},
                                {"XDG_DATA_HOME", "data"},
                                {"XDG_RUNTIME_DIR", "runtime"},
                                {"MELOTRIX_SYSTEM_DIR", "system"}})
      setenv(name, (root_ / folder).c_str(), 1);
    setenv("MELOTRIX_PCM", "nosuchpcm", 1);
    std::vector<char*> argv{const_cast<char*>(MELOTRIX_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(MELOTRIX_PATH, argv.data());
    _exit(127);
  }
  // The swap files of every copy, wherever they lie below the system folder.
  // The exit status of `pid`, or -1 when it has not ended within the
  // deadline (it is killed then).
  int ExitStatus(pid_t pid, int seconds = 10) {
    std::erase(running_, pid);
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 256 + WTERMSIG(status);
  }
  int SwapFiles() const {
    int count = 0;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root_ / "system", error))
      if (entry.path().filename().string().rfind("SY$", 0) == 0) ++count;
    return count;
  }

 private:
  TempDir dir_;
  fs::path root_ = dir_.Path();
  std::vector<pid_t> running_;
};

// Started with a file that does not load, the window shows its message box;
// a signal while it is up ends the program as Exit would.
TEST(WindowProcess, ASignalEndsTheBoxOfAFileThatDoesNotLoad) {
  for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    Desktop desktop;
    std::ofstream(desktop / "home/bad.wav") << "not a sound";
    const pid_t pid = desktop.Start({desktop / "home/bad.wav"});
    ASSERT_TRUE(WaitFor([&] { return desktop.SwapFiles() == 15; }));
    // The box follows the window's first pass of its event loop.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, signalNumber);
    EXPECT_EQ(desktop.ExitStatus(pid), 128 + signalNumber) << signalNumber;
    EXPECT_EQ(desktop.SwapFiles(), 0);
    EXPECT_TRUE(fs::is_regular_file(desktop / "config/DRN/Melotrix.INI"));
  }
}

// A second copy shows "Melotrix can not be run 2 times"; a signal ends it,
// and the first copy runs on untouched until its own signal.
TEST(WindowProcess, ASignalEndsTheSecondCopysBox) {
  Desktop desktop;
  const pid_t first = desktop.Start({});
  ASSERT_TRUE(WaitFor([&] { return desktop.SwapFiles() == 15; }));
  const pid_t second = desktop.Start({});
  ASSERT_TRUE(WaitFor([&] { return CatchesSigterm(second); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // its box opens meanwhile
  kill(second, SIGTERM);
  EXPECT_EQ(desktop.ExitStatus(second), 128 + SIGTERM);
  EXPECT_EQ(desktop.SwapFiles(), 15);
  kill(first, SIGHUP);
  EXPECT_EQ(desktop.ExitStatus(first), 128 + SIGHUP);
  EXPECT_EQ(desktop.SwapFiles(), 0);
}

// Settings files that are FIFOs are left alone: start-up reads the defaults
// and shutdown does not wait for a reader.
TEST(WindowProcess, FifosAsSettingsFilesHoldNothingUp) {
  Desktop desktop;
  for (const char* name : {"config/DRN/Melotrix.INI", "config/DRN/RkmSeries.INI"})
    ASSERT_EQ(mkfifo((desktop / name).c_str(), 0600), 0);
  const pid_t pid = desktop.Start({});
  ASSERT_TRUE(WaitFor([&] { return desktop.SwapFiles() == 15; }));
  kill(pid, SIGTERM);
  EXPECT_EQ(desktop.ExitStatus(pid), 128 + SIGTERM);
  EXPECT_TRUE(fs::is_fifo(desktop / "config/DRN/Melotrix.INI"));
  EXPECT_EQ(desktop.SwapFiles(), 0);
}

}  // namespace
