// melotrix-cli against real ALSA without a sound card: "default" is the file
// plugin over the null PCM, set up in an asoundrc of the test's own config
// folder. The null PCM takes and gives frames at once, so these tests check
// bytes and messages; the pacing of the loops is tested on the simulated
// device in tests/voice.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "resources/StringTable.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;
using Words = std::vector<std::string>;

struct CliRun {
  int status = -1;  // the exit status, or -1 when a signal ended it
  int signal = 0;   // that signal
  std::string out, err;
};

Bytes Noise(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(n, '\0');
  for (char& b : bytes) b = char(random());
  return bytes;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Shown(int id) { return std::string(KLoadMessageText(id)) + "\n\n"; }

// Frames from..to - 1 (1-based) of `bytes`.
Bytes Frames(const Bytes& bytes, int frameBytes, int from, int to) {
  return bytes.substr(size_t((from - 1) * frameBytes), size_t((to - from) * frameBytes));
}

class CliWave : public ::testing::Test {
 protected:
  // Playback lands in out.raw; capture reads `infile`.
  void WriteConfig(const std::string& infile = "in.raw") {
    fs::create_directories(dir_ / "alsa");
    std::ofstream(dir_ / "alsa/asoundrc") << "pcm.!default {\n  type asym\n"
                                          << "  playback.pcm { type file file \"" << dir_ / "out.raw"
                                          << "\" format raw slave.pcm null }\n"
                                          << "  capture.pcm { type file file \"/dev/null\" infile \"" << dir_ / infile
                                          << "\" format raw slave.pcm null }\n}\n";
  }

  // Starts melotrix-cli in the test's folder with its config, home and
  // system folder there; stdin is empty, stdout and stderr go to files.
  pid_t Start(const Words& args, const std::string& pcm = "") {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      std::string entry = *e;
      for (const char* name : {"HOME=", "XDG_CONFIG_HOME=", "MELOTRIX_SYSTEM_DIR=", "MELOTRIX_PCM="})
        if (entry.rfind(name, 0) == 0) entry.clear();
      if (!entry.empty()) env.push_back(entry);
    }
    env.push_back("HOME=" + dir_.Path());
    env.push_back("XDG_CONFIG_HOME=" + dir_.Path());
    env.push_back("MELOTRIX_SYSTEM_DIR=" + dir_ / "system");
    if (!pcm.empty()) env.push_back("MELOTRIX_PCM=" + pcm);
    std::vector<std::string> argv{MELOTRIX_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid = fork();
    if (pid == 0) {
      std::vector<char*> cargs, cenv;
      for (std::string& a : argv) cargs.push_back(a.data());
      for (std::string& e : env) cenv.push_back(e.data());
      cargs.push_back(nullptr);
      cenv.push_back(nullptr);
      if (chdir(dir_.Path().c_str()) != 0) _exit(126);
      int in = open("/dev/null", O_RDONLY);
      int out = open("cli.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err = open("cli.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(in, 0);
      dup2(out, 1);
      dup2(err, 2);
      execve(cargs[0], cargs.data(), cenv.data());
      _exit(127);
    }
    return pid;
  }
  CliRun Finish(pid_t pid) {
    int raw = 0;
    CliRun run;
    if (pid <= 0 || waitpid(pid, &raw, 0) != pid) return run;
    if (WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) run.signal = WTERMSIG(raw);
    run.out = ReadFile(dir_ / "cli.out");
    run.err = ReadFile(dir_ / "cli.err");
    return run;
  }
  CliRun Run(const std::string& script, const std::string& pcm = "") {
    return Finish(Start({"--trace", "--keep-going", "-e", script}, pcm));
  }
  // The trace lines of a run (those with " -> "), joined by blanks.
  static std::string Trace(const CliRun& run) {
    std::string joined;
    size_t at = 0;
    for (size_t end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
      std::string line = run.out.substr(at, end - at);
      if (line.find(" -> ") != std::string::npos) joined += (joined.empty() ? "" : " ") + line;
    }
    return joined;
  }
  static bool Holds(const CliRun& run, const std::string& text) { return run.out.find(text) != std::string::npos; }

  TempDir dir_;
};

// Each play command delivers frames from..to - 1 in the voice's own format;
// a stretch of 16 frames or fewer plays nothing.
TEST_F(CliWave, PlayCommandsDeliverTheirFramesExactly) {
  WriteConfig();
  struct Case {
    int channels, bits, frames;
  };
  for (Case c : {Case{1, 8, 100000}, Case{2, 16, 70000}, Case{1, 16, 20000}}) {
    SCOPED_TRACE(c.channels * 100 + c.bits);
    const int frameBytes = c.channels * c.bits / 8;
    const Bytes voice = Noise(size_t(c.frames * frameBytes), unsigned(c.frames));
    WriteFile(dir_ / "voice.pcm", voice);
    fs::remove(dir_ / "out.raw");
    CliRun run = Run("load-pcm " + std::to_string(c.channels) + " " + std::to_string(c.bits) +
                     " voice.pcm; rate 44100; play-all; set-mkl 1001; set-mkr 15001; play-marked; "
                     "set-flg 12000; play-flg; set-mkl 10; set-mkr 26; play-marked");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Trace(run).find("false"), std::string::npos) << Trace(run);
    const int end = c.frames;
    EXPECT_EQ(ReadFile(dir_ / "out.raw"), Frames(voice, frameBytes, 1, end) + Frames(voice, frameBytes, 1001, 15001) +
                                              Frames(voice, frameBytes, 12000, end));
  }
}

// A take holds the input's first frames - 1 frames and a silent END frame;
// past the end of the input the device delivers nothing, which stays silent.
TEST_F(CliWave, RecordingsHoldTheInputsFirstFrames) {
  WriteConfig();
  const Bytes input = Noise(200000, 11);
  WriteFile(dir_ / "in.raw", input);
  CliRun run = Run("record 2 16 1.0 44100; state; dump take.raw");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(Holds(run,
                    "record 2 16 1.0 44100 -> true\nbank=1\nchannels=2\nbits=16\nrate=44100\nend=44100\n"
                    "mkl=1\nmkr=44100\nflg=1\nzistart=1\n"))
      << run.out;
  EXPECT_EQ(ReadFile(dir_ / "take.raw"), input.substr(0, 44099 * 4) + Bytes(4, '\0'));

  WriteFile(dir_ / "in.raw", input.substr(0, 5000));
  run = Run("record 1 8 2.0 11025; state; dump take.raw");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Holds(run, "end=22050\n")) << run.out;
  EXPECT_EQ(ReadFile(dir_ / "take.raw"), input.substr(0, 5000) + Bytes(22050 - 5000, '\x80'));
}

// 3000 Hz loads and passes the rate bar, but no device takes it: nothing is
// opened (the file plugin would create out.raw) and the voice stays.
TEST_F(CliWave, ARateNoDeviceTakesShowsTheOpenErrorsWithoutTouchingTheDevice) {
  WriteConfig();
  WriteFile(dir_ / "voice.pcm", Noise(1000, 5));
  CliRun run = Run("load-pcm 1 8 voice.pcm; rate 3000; play-all; record 1 8 1.0 3000; state");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, Shown(msg::kWaveOutOpen) + Shown(msg::kWaveInOpen));
  EXPECT_EQ(Trace(run),
            "load-pcm 1 8 voice.pcm -> true rate 3000 -> true play-all -> false "
            "record 1 8 1.0 3000 -> false state -> true");
  EXPECT_TRUE(Holds(run, "channels=1\nbits=8\nrate=3000\nend=1000\n")) << run.out;
  EXPECT_FALSE(fs::exists(dir_ / "out.raw"));
}

TEST_F(CliWave, APcmThatDoesNotExistShowsTheOpenErrorsAndKeepsTheVoice) {
  WriteConfig();
  WriteFile(dir_ / "voice.pcm", Noise(1000, 6));
  WriteFile(dir_ / "in.raw", Noise(1000, 7));
  CliRun run = Run("load-pcm 1 8 voice.pcm; play-all; record 2 16 1.0 8000; state", "melotrix_missing");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, Shown(msg::kWaveOutOpen) + Shown(msg::kWaveInOpen));
  EXPECT_TRUE(Holds(run, "channels=1\nbits=8\nrate=8000\nend=1000\n")) << run.out;
  EXPECT_FALSE(fs::exists(dir_ / "out.raw"));
}

// Waits (at most 30 s) until `done` holds; false when it never did.
template <class Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 3000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The capture reads a pipe that holds 30000 bytes: once they are taken the
// take is waiting for more, and Ctrl+C ends it with what it has; the script
// goes on.
TEST_F(CliWave, CtrlCStopsARecordingKeepingWhatWasCaptured) {
  WriteConfig("in.fifo");
  ASSERT_EQ(mkfifo((dir_ / "in.fifo").c_str(), 0600), 0);
  // Close-on-exec: the program must not hold a write end of its own input.
  int fifo = open((dir_ / "in.fifo").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fifo, 0);
  const Bytes input = Noise(30000, 9);
  ASSERT_EQ(write(fifo, input.data(), input.size()), ssize_t(input.size()));
  pid_t pid = Start({"--trace", "-e", "record 1 8 20.0 8000; state; dump take.raw"});
  int queued = -1;
  bool taken = WaitFor([&] { return ioctl(fifo, FIONREAD, &queued) == 0 && queued == 0; });
  kill(pid, SIGINT);
  // Silence, a little at a time, wakes the capture to look for the stop until
  // the take has ended. Closing the pipe instead would let the capture run to
  // the end of the take at once if the stop were seen late on a loaded machine.
  const Bytes nudge(64, '\x80');
  WaitFor([&] {
    if (ReadFile(dir_ / "cli.out").find("record 1 8 20.0 8000 -> ") != std::string::npos) return true;
    [[maybe_unused]] const ssize_t written = write(fifo, nudge.data(), nudge.size());
    return false;
  });
  close(fifo);
  CliRun run = Finish(pid);
  ASSERT_TRUE(taken);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(Holds(run, "record 1 8 20.0 8000 -> true\n")) << run.out;
  EXPECT_TRUE(Holds(run, "dump take.raw -> true\n")) << run.out;
  const Bytes take = ReadFile(dir_ / "take.raw");
  ASSERT_GE(take.size(), input.size());
  EXPECT_LT(take.size(), 160000u);
  EXPECT_EQ(take.substr(0, input.size()), input);
  EXPECT_EQ(take.substr(input.size()), Bytes(take.size() - input.size(), '\x80'));
}

// Outside play and record, Ctrl+C ends the run as it always did: here once
// play-all has reported, while a dump waits for a pipe no one reads.
TEST_F(CliWave, CtrlCOutsidePlayAndRecordEndsTheRun) {
  WriteConfig();
  WriteFile(dir_ / "voice.pcm", Noise(1000, 8));
  ASSERT_EQ(mkfifo((dir_ / "next.fifo").c_str(), 0600), 0);
  pid_t pid = Start({"--trace", "-e", "load-pcm 1 8 voice.pcm; play-all; dump next.fifo; state"});
  const std::string played = "load-pcm 1 8 voice.pcm -> true\nplay-all -> true\n";
  bool reported = WaitFor([&] { return ReadFile(dir_ / "cli.out") == played; });
  kill(pid, SIGINT);
  int raw = 0;
  bool ended = WaitFor([&] { return waitpid(pid, &raw, WNOHANG) == pid; });
  if (!ended) {
    // It lived on: let the dump go on and the run finish.
    int fifo = open((dir_ / "next.fifo").c_str(), O_RDONLY | O_NONBLOCK);
    waitpid(pid, &raw, 0);
    close(fifo);
  }
  ASSERT_TRUE(reported) << ReadFile(dir_ / "cli.out");
  EXPECT_TRUE(ended);
  EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGINT) << raw;
}

}  // namespace
