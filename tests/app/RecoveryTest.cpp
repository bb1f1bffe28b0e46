// The window killed in the middle of its work and started again: the banks
// it restores, what Discard leaves, melotrix-cli rescuing the crashed run,
// and a second copy beside a live one. The crashing window runs in a child
// process: this program started again with a disabled test selected.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QPlainTextEdit>
#include <QProgressBar>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/MainWindow.h"
#include "app/Recovery.h"
#include "app/XdgFolders.h"
#include "voice/HeadlessVoice.h"
#include "voice/Journal.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Id = KCommandId;

struct Step {
  Id Command;
  KCommandInput Input;
};

KCommandInput Input(std::function<void(KCommandInput&)> set) {
  KCommandInput in;
  set(in);
  return in;
}
KCommandInput Path(const std::string& path) {
  return Input([&](KCommandInput& in) { in.Path = path; });
}
KCommandInput At(int32_t position) {
  return Input([&](KCommandInput& in) { in.SamplePosition = position; });
}
const KCommandInput kEcho = Input([](KCommandInput& in) {
  in.EchoDelay = "100";
  in.EchoAttenuation = "40";
});

// Edits with undo snapshots on banks 1 to 3, bank 3 left current.
std::vector<Step> Edits(const std::string& dir) {
  return {{Id::MenuLoadCh2Bit16PCMClick, Path(dir + "/a.pcm")},
          {Id::PaintBoxZIMouseDownLeft, At(50)},
          {Id::PaintBoxZIMouseDownRight, At(900)},
          {Id::MenuMathAmpClick, Input([](KCommandInput& in) { in.AmplifierPercent = "150"; })},
          {Id::MenuFadeInClick, {}},
          {Id::StatusBarMouseDown, Input([](KCommandInput& in) { in.Alias = "Door bell"; })},
          {Id::MenuBank2Click, {}},
          {Id::MenuLoadCh1Bit16PCMClick, Path(dir + "/b.pcm")},
          {Id::MenuInsertMuteClick, Input([](KCommandInput& in) { in.Frames = 300; })},
          {Id::MenuCutMarkedClick, {}},
          {Id::MenuGotoENDClick, {}},
          {Id::MenuBank3Click, {}},
          {Id::MenuLoadCh1Bit16PCMClick, Path(dir + "/c.pcm")},
          {Id::MenuEchoClick, kEcho},
          {Id::MenuMuteUnmarkClick, {}},
          {Id::MenuCopyClick, {}}};
}

void RunSteps(TFormMain& window, const std::vector<Step>& steps) {
  for (const Step& step : steps) ASSERT_TRUE(window.Runner().Run(step.Command, step.Input)) << int(step.Command);
}

std::string Bytes(const KPcmMMap& store) {
  std::ifstream in(store.OpenFilePath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every voice's record, samples and snapshots, then what each undo gives.
std::string Dump(KBankSet& banks) {
  KJournalRecord record = JournalOf(banks);
  std::string dump;
  for (int k = 0; k < bank::kVoices; ++k) {
    KPcmFiles& v = banks.Bank(k);
    KJournalVoice& saved = record.Voices[size_t(k)];
    saved.Store.clear();
    dump += std::to_string(k) + " " + std::to_string(std::hash<std::string>()(Bytes(*v.Storage)));
    for (int slot = 0; slot < KPcmBank::kUndoSlots; ++slot) {
      if (v.UndoAt(slot).Store) dump += " " + std::to_string(std::hash<std::string>()(Bytes(*v.UndoAt(slot).Store)));
      if (slot < int(saved.Undo.size())) saved.Undo[size_t(slot)].Store.clear();
    }
    dump += "\n";
    while (v.LoadUndo()) dump += " undone " + std::to_string(std::hash<std::string>()(Bytes(*v.Storage))) + "\n";
  }
  return JournalText(record) + dump;
}

// This environment with `extra`'s values in place of its own.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
  std::vector<std::string> env(extra);
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e, name = entry.substr(0, entry.find('=') + 1);
    if (std::none_of(extra.begin(), extra.end(), [&](const std::string& x) { return x.rfind(name, 0) == 0; }))
      env.push_back(entry);
  }
  return env;
}

// Starts `argv` with `extra` ahead of this environment; its stdin and stdout
// become pipes when `pipes` is given (write end, read end).
pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& extra, int* pipes = nullptr) {
  std::vector<std::string> env = Environment(extra);
  std::vector<char*> args, envp;
  for (std::string& a : argv) args.push_back(a.data());
  for (std::string& e : env) envp.push_back(e.data());
  args.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int in[2], out[2];
  if (pipes && pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0) {
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pipes[0] = in[1];
    pipes[1] = out[0];
  }
  pid_t pid = -1;
  posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (pipes) ::close(in[0]), ::close(out[1]);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

std::vector<std::string> RunFolders(const std::string& system) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(system + "/SYS_DATA"))
    if (entry.path().filename().string().rfind("win-", 0) == 0) found.push_back(entry.path().string());
  return found;
}

std::map<std::string, uintmax_t> Listing(const std::string& folder) {
  std::map<std::string, uintmax_t> files;
  for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename()] = entry.file_size();
  return files;
}

class Recovery : public ::testing::Test {
 protected:
  Recovery() {
    for (auto [name, frames, frameBytes] : {std::tuple{"a", 4000, 4}, {"b", 3001, 2}, {"c", 20000, 2}}) {
      std::string bytes(size_t(frames * frameBytes), '\0');
      for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = char((k * 7919 + 13) >> 3);
      std::ofstream(dir_ / (std::string(name) + ".pcm"), std::ios::binary) << bytes;
    }
  }
  // This program as a window that runs `mode`'s steps and dies.
  pid_t StartHelper(const std::string& mode, int* pipes = nullptr) {
    return Spawn(
        {"/proc/self/exe", "--gtest_filter=Recovery.DISABLED_CrashingWindow", "--gtest_also_run_disabled_tests"},
        {"MELOTRIX_CRASH_MODE=" + mode, "MELOTRIX_CRASH_DIR=" + dir_.Path(), "MELOTRIX_SYSTEM_DIR=" + System()}, pipes);
  }
  std::string System() const { return dir_ / "system"; }
  // A window started in System() with its run folder, answering `answer`.
  void Restart(KRecoveryAnswer answer, const std::function<void(TFormMain&, const KRunFolder&)>& check) {
    KEnvironmentValue system("MELOTRIX_SYSTEM_DIR", System());
    KRunFolder run;
    TFormMain window(OpenWindowRunFolder(run), audio_);
    window.Banks().SelectBank(1);
    RecoverAndKeepJournal(window, run, [answer] { return answer; });
    check(window, run);
  }

  TempDir dir_, expected_;
  KXdgFolders xdg_;
  KNoWaveAudio audio_;
};

TEST_F(Recovery, DISABLED_CrashingWindow) {
  const std::string mode = qEnvironmentVariable("MELOTRIX_CRASH_MODE").toStdString();
  KRunFolder run;
  TFormMain window(OpenWindowRunFolder(run), audio_);
  window.Banks().SelectBank(1);
  RecoverAndKeepJournal(window, run, [] { return KRecoveryAnswer::Discard; });
  RunSteps(window, Edits(qEnvironmentVariable("MELOTRIX_CRASH_DIR").toStdString()));
  if (mode == "wait") {
    std::printf("ready\n");
    std::fflush(stdout);
    char byte;
    while (::read(0, &byte, 1) > 0) {
    }
    return;
  }
  if (mode == "echo") {
    // Killed once the echo has written half of its result.
    auto* memo = window.findChild<QPlainTextEdit*>("Memo");
    QObject::connect(window.findChild<QProgressBar*>("ProgressBar"), &QProgressBar::valueChanged, [memo](int value) {
      if (value >= 50 && memo->toPlainText() == "Echo") raise(SIGKILL);
    });
    window.Runner().Run(Id::MenuEchoClick, kEcho);
  }
  raise(SIGKILL);
}

// Killed between commands or in the middle of an echo, the window comes back
// as it was after its last whole command; Discard leaves nothing. The banks
// melotrix-cli saves from the crashed run load back to the same voices.
TEST_F(Recovery, RestoresTheBanksACrashedWindowHeld) {
  for (auto [mode, answer] : {std::pair{"edits", KRecoveryAnswer::Restore},
                              {"echo", KRecoveryAnswer::Restore},
                              {"edits", KRecoveryAnswer::Discard}}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(Wait(StartHelper(mode)), -SIGKILL);
    ASSERT_EQ(RunFolders(System()).size(), 1u);
    TFormMain expected(expected_.Path(), audio_);
    expected.Banks().SelectBank(1);
    RunSteps(expected, Edits(dir_.Path()));
    const std::string crashed = RunFolders(System())[0];
    if (answer == KRecoveryAnswer::Restore) {
      ASSERT_EQ(Wait(Spawn({MELOTRIX_CLI_PATH, "recover", crashed, "--save", dir_.Path()}, {})), 0);
      KBankSet loaded(expected_.Path(), KHeadlessVoice::Factory(nullptr));
      for (int bank = 1; bank <= 3; ++bank) {
        KPcmFiles& voice = loaded.Bank(bank);
        KPcmFiles& want = expected.Banks().Bank(bank);
        ASSERT_TRUE(voice.LoadMxvFile(dir_ / ("Bank00" + std::to_string(bank) + ".MXV")));
        EXPECT_EQ(std::tuple(voice.FrameBytes(), voice.SampleRate, voice.END, voice.AliasName),
                  std::tuple(want.FrameBytes(), want.SampleRate, want.END, want.AliasName));
        EXPECT_EQ(Bytes(*voice.Storage), Bytes(*want.Storage).substr(0, size_t(voice.Storage->Size())));
      }
    }
    TFormMain empty(expected_.Path(), audio_);
    empty.Banks().SelectBank(1);
    Restart(answer, [&](TFormMain& window, const KRunFolder& run) {
      EXPECT_FALSE(fs::exists(crashed));
      EXPECT_EQ(RunFolders(System()), std::vector<std::string>{run.Path()});
      const std::string want = answer == KRecoveryAnswer::Restore ? Dump(expected.Banks()) : Dump(empty.Banks());
      EXPECT_EQ(Dump(window.Banks()), want);
    });
  }
}

// A second copy (another runtime folder, so the single-instance check lets
// it run) starts, runs and quits beside a live one: the first's files stay.
TEST_F(Recovery, LeavesALiveCopysFilesAlone) {
  int pipes[2];
  const pid_t first = StartHelper("wait", pipes);
  std::string said;
  for (char c; said.find("ready\n") == std::string::npos && ::read(pipes[1], &c, 1) == 1;) said += c;
  ASSERT_NE(said.find("ready\n"), std::string::npos) << said;
  const std::string folder = RunFolders(System())[0];
  const auto before = Listing(folder);
  TempDir runtime;
  const pid_t second = Spawn({MELOTRIX_PATH}, {"MELOTRIX_SYSTEM_DIR=" + System(), "XDG_RUNTIME_DIR=" + runtime.Path(),
                                               "QT_QPA_PLATFORM=offscreen", "HOME=" + dir_.Path()});
  // Its run folder has a journal once its start-up clean-up is over.
  auto started = [&] {
    for (const std::string& other : RunFolders(System()))
      if (other != folder && fs::exists(other + "/journal")) return true;
    return false;
  };
  for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60); !started();) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(second, SIGTERM);
  EXPECT_EQ(Wait(second), 128 + SIGTERM);
  EXPECT_EQ(Listing(folder), before);
  ::close(pipes[0]);
  EXPECT_EQ(Wait(first), 0);
  EXPECT_TRUE(RunFolders(System()).empty());
}

}  // namespace
