// melotrix-cli ended by a signal in the middle of its work: it ends by that
// signal, no swap file or run folder is left, and a save in progress leaves
// the file it replaces whole and no temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Starts melotrix-cli on `script` with its system folder in `system`, sends
// `number` once `busy` holds (at most 60 s) and gives the signal that ended
// it (0: it exited).
template <typename Busy>
int RunAndSignal(const std::string& system, const std::string& script, int number, Busy busy) {
  const pid_t child = fork();
  if (child == 0) {
    setenv("MELOTRIX_SYSTEM_DIR", system.c_str(), 1);
    execl(MELOTRIX_CLI_PATH, MELOTRIX_CLI_PATH, "-e", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int k = 0; k < 6000 && !busy(); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  kill(child, number);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

// True once a swap file below `folder` is longer than `bytes`.
bool HoldsSwapFileOver(const fs::path& folder, std::uintmax_t bytes) {
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(folder, error))
    if (entry.path().filename().string().rfind("SY$", 0) == 0 && entry.file_size(error) > bytes) return true;
  return false;
}

bool NothingLeftIn(const fs::path& folder) { return !fs::exists(folder) || fs::is_empty(folder); }

class CliSignals : public ::testing::Test {
 protected:
  CliSignals() {
    big_ = dir_ / "big.wav";
    const std::string make = "sox -n -r 44100 -c 2 -b 16 " + big_ + " synth 60 sine 440 2>/dev/null";
    made_ = std::system(make.c_str()) == 0;
  }
  TempDir dir_;
  std::string big_;
  bool made_ = false;
};

TEST_F(CliSignals, TermDuringAnEchoLeavesNoSwapFile) {
  ASSERT_TRUE(made_);
  const std::string system = dir_ / "system";
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(number);
    // Each echo makes the voice longer, so the run lasts well past the signal.
    std::string script = "load-wav " + big_;
    for (int k = 0; k < 12; ++k) script += "; echo 2000 90";
    const int status = RunAndSignal(system, script, number, [&] {
      // A store longer than the loaded voice: an echo is building its result.
      return HoldsSwapFileOver(fs::path(system) / "SYS_DATA", 60 * 44100 * 4);
    });
    EXPECT_EQ(status, number);
    EXPECT_TRUE(NothingLeftIn(fs::path(system) / "SYS_DATA"));
  }
}

TEST_F(CliSignals, ASaveInProgressLeavesTheOldFileWhole) {
  ASSERT_TRUE(made_);
  const std::string out = dir_ / "out.wav";
  std::ofstream(out) << "the old file";
  std::string script = "load-wav " + big_;
  for (int k = 0; k < 200; ++k) script += "; save-mxv " + out;
  // The signal comes once a first save has replaced the file: 199 saves are still to come.
  const auto whole = std::uintmax_t(128 + 60 * 44100 * 4);
  const int status = RunAndSignal(dir_ / "system", script, SIGTERM, [&] {
    std::error_code error;
    return fs::file_size(out, error) == whole;
  });
  EXPECT_EQ(status, SIGTERM);
  // Either the old file or a whole MXV file: the header and every sample byte.
  const auto size = fs::file_size(out);
  EXPECT_TRUE(size == std::string("the old file").size() || size == whole) << size;
  int temporaries = 0;
  for (const auto& entry : fs::directory_iterator(dir_.Path())) temporaries += entry.path().extension() == ".tmp";
  EXPECT_EQ(temporaries, 0);
  EXPECT_TRUE(NothingLeftIn(fs::path(dir_.Path()) / "system" / "SYS_DATA"));
}

}  // namespace
