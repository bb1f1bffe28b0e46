// Runs the built melotrix-cli with its home, config and system folder in the
// test's TempDir and reads what it printed. ALSA's "default" there is the file
// plugin over the null PCM (playback lands in out.raw, capture reads in.raw);
// the runs use a PCM that does not exist unless a test clears pcm_.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "resources/StringTable.h"
#include "support/TempDir.h"
#include "support/Waiting.h"

namespace fs = std::filesystem;

struct CliResult {
  int status = -1;  // the exit status, or -1 when a signal ended the run
  int signal = 0;
  std::string out, err;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string Noise(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& b : bytes) b = char(random());
  return bytes;
}

// A message as melotrix-cli prints it.
inline std::string Shown(const std::string& text) { return text + "\n\n"; }
inline std::string Shown(int id) { return Shown(KLoadMessageText(id)); }

// The lines of `text` that hold `part` (or lack it), joined by blanks.
inline std::string Lines(const std::string& text, const std::string& part, bool holding = true) {
  std::istringstream lines(text);
  std::string joined;
  for (std::string line; std::getline(lines, line);)
    if ((line.find(part) != std::string::npos) == holding) joined += (joined.empty() ? "" : " ") + line;
  return joined;
}

class Cli : public ::testing::Test {
 protected:
  Cli() {
    fs::create_directories(dir_ / "alsa");
    const std::string plugin = "{ type file format raw slave.pcm null file ";
    std::ofstream(dir_ / "alsa/asoundrc")
        << "pcm.!default { type asym playback.pcm " << plugin << '"' << dir_ / "out.raw"
        << "\" }\n capture.pcm " << plugin << "/dev/null infile \"" << dir_ / "in.raw"
        << "\" } }\n";
  }

  // Starts melotrix-cli in the test's folder on the words of `line`, then
  // "-e" `script` when there is one, with `input` as its standard input.
  pid_t Start(const std::string& line, const std::string& script = {}, const std::string& input = {}) {
    WriteFile(dir_ / "cli.in", input);
    std::string quoted = "'";
    for (char c : script) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string shell = "cd " + dir_.Path() + " && exec env " +
                              (pcm_.empty() ? "-u MELOTRIX_PCM" : "MELOTRIX_PCM=" + pcm_) +
                              " HOME=$PWD XDG_CONFIG_HOME=$PWD MELOTRIX_SYSTEM_DIR=$PWD/system " MELOTRIX_CLI_PATH " " +
                              line + (script.empty() ? "" : " -e " + quoted + "'") + " <cli.in >cli.out 2>cli.err";
    const pid_t pid = fork();
    if (pid == 0) {
      const rlimit memory{memoryLimit_, memoryLimit_};
      if (memoryLimit_ > 0) setrlimit(RLIMIT_AS, &memory);
      execl("/bin/sh", "sh", "-c", shell.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    return pid;
  }
  // Waits for the run to end; one that outlives the deadline is killed.
  CliResult Finish(pid_t pid) {
    const int raw = ReapChild(pid);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, WIFSIGNALED(raw) ? WTERMSIG(raw) : 0, ReadFile(dir_ / "cli.out"),
            ReadFile(dir_ / "cli.err")};
  }
  CliResult Run(const std::string& line, const std::string& script = {}, const std::string& input = {}) {
    return Finish(Start(line, script, input));
  }
  // Runs sox without dither in the test's folder.
  void Sox(const std::string& args) {
    ASSERT_EQ(std::system(("cd " + dir_.Path() + " && sox -q -D " + args + " 2>/dev/null").c_str()), 0) << args;
  }
  std::string System() const { return dir_ / "system"; }
  bool Exists(const std::string& name) const { return fs::exists(dir_ / name); }

  TempDir dir_;
  std::string pcm_ = "melotrix_none";
  rlim_t memoryLimit_ = 0;  // the address space of the runs, 0 for no limit
};
