// melotrix-cli playing and recording through ALSA's file plugin (the null PCM
// takes and gives frames at once), Ctrl+C, and quit signals in its work.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <functional>

#include "cli/CliFixture.h"

// Each play command delivers frames from..to - 1 in the voice's own format (16
// frames or fewer play nothing); a take holds the input's first frames - 1
// frames and a silent END frame, silent too where the input ended.
TEST_F(Cli, PlayAndRecordDeliverTheirFramesExactly) {
  pcm_.clear();  // the file plugin
  for (const auto& [channels, bits, end] :
       {std::tuple{1, 8, 100000}, std::tuple{2, 16, 70000}, std::tuple{1, 16, 20000}}) {
    const int size = channels * bits / 8;
    const std::string voice = Noise(size_t(end * size), unsigned(end)), input = voice.substr(0, 150000),
                      format = std::to_string(channels) + " " + std::to_string(bits);
    const auto frames = [&](int from, int to) { return voice.substr((from - 1) * size, (to - from) * size); };
    WriteFile(dir_ / "voice.pcm", voice);
    WriteFile(dir_ / "in.raw", input);
    fs::remove(dir_ / "out.raw");
    const CliResult r = Run("--trace", "load-pcm " + format + " voice.pcm; rate 44100; play-all; set-mkl 1001; " +
                                           "set-mkr 15001; play-marked; set-flg 12000; play-flg; set-mkl 10; " +
                                           "set-mkr 26; play-marked; record " + format + " 1.0 44100; dump t.raw");
    EXPECT_EQ(std::to_string(r.status) + Lines(r.out, "-> false") + r.err, "0") << format;
    EXPECT_EQ(ReadFile(dir_ / "out.raw"), frames(1, end) + frames(1001, 15001) + frames(12000, end)) << format;
    const size_t kept = std::min<size_t>(input.size(), 44099 * size);
    EXPECT_EQ(ReadFile(dir_ / "t.raw"),
              input.substr(0, kept) + std::string(44100 * size - kept, bits == 8 ? '\x80' : 0));
  }
}

// The capture reads a pipe that holds 30000 bytes: once they are taken the
// take waits for more, and Ctrl+C ends it with what it has; the script goes on.
TEST_F(Cli, CtrlCStopsARecordingKeepingWhatWasCaptured) {
  pcm_.clear();
  ASSERT_EQ(mkfifo((dir_ / "in.raw").c_str(), 0600), 0);
  // Close-on-exec: the program must not hold a write end of its own input.
  const int fifo = open((dir_ / "in.raw").c_str(), O_RDWR | O_CLOEXEC);
  const std::string input = Noise(30000, 9), nudge(64, '\x80');
  ASSERT_EQ(write(fifo, input.data(), input.size()), ssize_t(input.size()));
  const pid_t pid = Start("--trace", "record 1 8 20.0 8000; state; dump take.raw");
  int queued = -1;
  const bool taken = WaitFor([&] { return ioctl(fifo, FIONREAD, &queued) == 0 && queued == 0; });
  kill(pid, SIGINT);
  // Silence, a little at a time, wakes the capture to look for the stop until the take has
  // ended; at the pipe's end, a stop seen late on a loaded machine would let it run to its end.
  WaitFor([&] {
    if (ReadFile(dir_ / "cli.out").find("record 1 8 20.0 8000 -> ") != std::string::npos) return true;
    [[maybe_unused]] const ssize_t written = write(fifo, nudge.data(), nudge.size());
    return false;
  });
  close(fifo);
  const CliResult r = Finish(pid);
  ASSERT_TRUE(taken);
  EXPECT_EQ(std::to_string(r.status) + r.err, "0");
  EXPECT_EQ(Lines(r.out, " -> "), "record 1 8 20.0 8000 -> true state -> true dump take.raw -> true");
  const std::string take = ReadFile(dir_ / "take.raw");
  ASSERT_GE(take.size(), input.size());
  EXPECT_LT(take.size(), 160000u);
  EXPECT_EQ(take, input + std::string(take.size() - input.size(), '\x80'));
}

// A quit signal once the work has begun (Ctrl+C outside play and record too)
// ends the run by that signal and leaves no swap file, run folder or
// temporary; a save in progress leaves the file it replaces whole.
TEST_F(Cli, AQuitSignalEndsTheRunLeavingNothingBehind) {
  pcm_.clear();
  Sox("-n -r 44100 -c 2 -b 16 big.wav synth 60 sine 440");
  ASSERT_EQ(mkfifo((dir_ / "next.fifo").c_str(), 0600), 0);
  const std::uintmax_t samples = 60 * 44100 * 4, whole = 128 + samples;  // an MXV file: its header and samples
  // Each echo makes the voice longer, so the run lasts well past the signal;
  // a signal after the first save still has 199 saves to cut short.
  std::string echoes = "load-wav big.wav", saves = echoes;
  for (int k = 0; k < 12; ++k) echoes += "; echo 2000 90";
  for (int k = 0; k < 200; ++k) saves += "; save-mxv out.mxv";
  const auto echoing = [&] {  // a store longer than the loaded voice: an echo is building its result
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(System() + "/SYS_DATA", error))
      if (entry.path().filename().string().rfind("SY$", 0) == 0 && entry.file_size(error) > samples) return true;
    return false;
  };
  const auto saved = [&] { return fs::file_size(dir_ / "out.mxv") == whole; };  // replaced, never missing
  const auto played = [&] { return ReadFile(dir_ / "cli.out") == "load-wav big.wav -> true\nplay-all -> true\n"; };
  const std::tuple<std::string, int, std::function<bool()>> cases[] = {
      {echoes, SIGTERM, echoing},
      {echoes, SIGINT, echoing},
      {saves, SIGHUP, saved},
      {"load-wav big.wav; play-all; dump next.fifo; state", SIGINT, played}};
  for (const auto& [script, signal, busy] : cases) {
    SCOPED_TRACE(script.substr(0, 30) + " " + std::to_string(signal));
    WriteFile(dir_ / "out.mxv", "the old file");
    const pid_t pid = Start("--trace", script);
    EXPECT_TRUE(WaitFor(busy));
    kill(pid, signal);
    EXPECT_EQ(Finish(pid).signal, signal);
    EXPECT_TRUE(fs::file_size(dir_ / "out.mxv") == 12 || fs::file_size(dir_ / "out.mxv") == whole);
    for (const auto& entry : fs::recursive_directory_iterator(dir_.Path()))
      EXPECT_NE(entry.path().extension().string(), ".tmp") << entry.path().string();
    EXPECT_TRUE(!Exists("system/SYS_DATA") || fs::is_empty(dir_ / "system/SYS_DATA"));
  }
}
