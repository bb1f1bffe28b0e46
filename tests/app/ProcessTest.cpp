// The window program as a process, and the window killed in the middle of its
// work (this program started again with a disabled test) and started again.
#include <gmock/gmock.h>

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QToolButton>
#include <random>

#include "AppFixture.h"
#include "app/Recovery.h"
#include "platform/SystemDir.h"
#include "voice/Journal.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // the edits name only the inputs they use

namespace {

namespace fs = std::filesystem;
using Id = KCommandId;

const KCommandInput kEcho{.EchoAttenuation = "40", .EchoDelay = "100"};

// Edits with undo snapshots on banks 1 to 3, bank 4 loaded and left unchanged, bank 3 left current.
void RunEdits(TFormMain& window) {
  const std::string home = qEnvironmentVariable("HOME").toStdString();
  const std::pair<Id, KCommandInput> steps[] = {{Id::MenuLoadCh2Bit16PCMClick, {.Path = home + "/a.pcm"}},
                                                {Id::PaintBoxZIMouseDownLeft, {.SamplePosition = 50}},
                                                {Id::MenuMathAmpClick, {.AmplifierPercent = "150"}},
                                                {Id::StatusBarMouseDown, {.Alias = "Door bell"}},
                                                {Id::MenuBank2Click, {}},
                                                {Id::MenuLoadCh1Bit16PCMClick, {.Path = home + "/b.pcm"}},
                                                {Id::MenuInsertMuteClick, {.Frames = 300}},
                                                {Id::MenuCutMarkedClick, {}},
                                                {Id::MenuBank3Click, {}},
                                                {Id::MenuLoadCh1Bit16PCMClick, {.Path = home + "/c.pcm"}},
                                                {Id::MenuEchoClick, kEcho},
                                                {Id::MenuCopyClick, {}},
                                                {Id::MenuBank4Click, {}},
                                                {Id::MenuLoadCh1Bit8PCMClick, {.Path = home + "/d.pcm"}},
                                                {Id::MenuBank3Click, {}}};
  for (const auto& [command, input] : steps) ASSERT_TRUE(window.Runner().Run(command, input)) << int(command);
}

// Every voice's record, samples and snapshots, then what each undo gives.
std::string Dump(KBankSet& banks) {
  KJournalRecord record = JournalOf(banks);
  std::string dump;
  auto hash = [](const KPcmMMap& store) {
    return " " + std::to_string(std::hash<std::string>()(Contents(store.OpenFilePath())));
  };
  for (int k = 0; k < bank::kVoices; ++k) {
    KPcmFiles& v = banks.Bank(k);
    KJournalVoice& saved = record.Voices[size_t(k)];
    saved.Store.clear();
    dump += std::to_string(k) + hash(*v.Storage);
    for (int slot = 0; slot < KPcmBank::kUndoSlots; ++slot) {
      if (v.UndoAt(slot).Store) dump += hash(*v.UndoAt(slot).Store);
      if (slot < int(saved.Undo.size())) saved.Undo[size_t(slot)].Store.clear();
    }
    dump += "\n";
    while (v.LoadUndo()) dump += " undone" + hash(*v.Storage) + "\n";
  }
  return JournalText(record) + dump;
}

// The raw voices RunEdits loads.
void WriteVoices(const KDesktop& desktop) {
  for (auto [name, frames, frameBytes] : {std::tuple{"a", 4000, 4}, {"b", 3001, 2}, {"c", 20000, 2}, {"d", 999, 1}}) {
    std::string bytes(size_t(frames * frameBytes), '\0');
    for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = char((k * 7919 + 13) >> 3);
    std::ofstream(desktop / "home/" + name + ".pcm", std::ios::binary) << bytes;
  }
}

std::vector<std::string> RunFolders() {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(platform::SwapFolder()))
    if (entry.path().filename().string().rfind("win-", 0) == 0) found.push_back(entry.path().string());
  return found;
}

std::map<std::string, uintmax_t> Listing(const std::string& folder) {
  std::map<std::string, uintmax_t> files;
  for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename()] = entry.file_size();
  return files;
}

// Runs the edits and is killed, at once or halfway through an echo.
TEST(CrashingWindow, DISABLED_RunsTheEdits) {
  KNoWaveAudio audio;
  KRunFolder run;
  TFormMain window(OpenWindowRunFolder(run), audio);
  window.Banks().SelectBank(1);
  RecoverAndKeepJournal(window, run, [](const KRecoveryQuestion&) { return KRecoveryAnswer::Discard; });
  RunEdits(window);
  if (qEnvironmentVariable("MELOTRIX_CRASH_MODE") == "echo") {
    auto* memo = window.findChild<QPlainTextEdit*>("Memo");
    QObject::connect(window.findChild<QProgressBar*>("ProgressBar"), &QProgressBar::valueChanged, [memo](int value) {
      if (value >= 50 && memo->toPlainText() == "Echo") raise(SIGKILL);
    });
    window.Runner().Run(Id::MenuEchoClick, kEcho);
  }
  raise(SIGKILL);
}

// scripts/kill-window.sh kills a window running random commands at random moments: `count` commands of the
// sequence of `seed`, each reported to `log` as started ("K+") and finished ("K") before the next. Messages are
// answered at once.
void RunRandomCommands(TFormMain& window, unsigned seed, int count, const std::string& log = {}) {
  std::minstd_rand pick(seed);  // not std::rand, which an MXV save seeds from the clock
  const std::string home = qEnvironmentVariable("HOME").toStdString();
  const std::vector<std::function<void()>> pool = {
      [&] {  // each bank its own file: a file is in one bank at a time
        const std::string name = std::string(1, char('a' + window.Banks().CurrentBankNumber % 3)) + ".pcm";
        window.Runner().Run(Id::MenuLoadCh1Bit16PCMClick, {.Path = home + "/" + name});
      },
      [&] { window.Runner().Run(Id::PaintBoxZIMouseDownLeft, {.SamplePosition = 50}); },
      [&] { window.Runner().Run(Id::PaintBoxZIMouseDownRight, {.SamplePosition = 900}); },
      [&] { window.Runner().Run(Id::MenuMathAmpClick, {.AmplifierPercent = "150"}); },
      [&] { window.Runner().Run(Id::MenuEchoClick, kEcho); },
      [&] { window.Runner().Run(Id::MenuInsertMuteClick, {.Frames = 3000}); },
      [&] { window.Runner().Run(Id::MenuCutMarkedClick, {}); },
      [&] { window.Runner().Run(Id::MenuCopyClick, {}); },
      [&] { window.Runner().Run(Id::MenuPasteByInsertClick, {}); },
      [&] { window.Runner().Run(Id::MenuPasteByMixClick, {}); },
      [&] { window.Runner().Run(Id::MenuUndoClick, {}); },
      [&] { window.Runner().Run(Id::MenuFadeOutClick, {}); },
      [&] { window.Runner().Run(Id::MenuClearBankClick, {}); },
      [&] { window.Runner().Run(Id::MenuSaveMXVClick, {.Path = home + "/saved.mxv"}); },
      [&] { window.Runner().Run(Id(int(Id::MenuBank1Click) + int(pick() % 3)), {}); }};
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  answer.start(1);
  auto note = [&log](const std::string& text) {  // replaced whole, so that a kill never leaves half a note
    if (log.empty()) return;
    std::ofstream(log + ".new") << text;
    fs::rename(log + ".new", log);
  };
  for (int k = 0; k < count; ++k) {
    note(std::to_string(k) + "+");
    pool[pick() % pool.size()]();
    note(std::to_string(k + 1));
  }
}

TEST(CrashingWindow, DISABLED_RunsRandomCommands) {
  KNoWaveAudio audio;
  KRunFolder run;
  TFormMain window(OpenWindowRunFolder(run), audio);
  window.Banks().SelectBank(1);
  RecoverAndKeepJournal(window, run, [](const KRecoveryQuestion&) { return KRecoveryAnswer::Discard; });
  // MELOTRIX_KILL_COUNT repeats a kill after that many commands.
  const int count = qEnvironmentVariableIsSet("MELOTRIX_KILL_COUNT") ? qEnvironmentVariableIntValue("MELOTRIX_KILL_COUNT") : 1000;
  RunRandomCommands(window, qEnvironmentVariable("MELOTRIX_KILL_SEED").toUInt(), count,
                    qEnvironmentVariable("MELOTRIX_KILL_LOG").toStdString());
  raise(SIGKILL);
}

// The run the kill left comes back as it was after the last finished command, or the one under way (a run that held
// no work is not offered: then the banks are as at a start).
TEST(CrashingWindow, DISABLED_RestoresTheKilledRun) {
  KNoWaveAudio audio;
  KRunFolder run;
  TFormMain window(OpenWindowRunFolder(run), audio);
  window.Banks().SelectBank(1);
  bool asked = false;
  RecoverAndKeepJournal(window, run, [&asked](const KRecoveryQuestion&) {
    asked = true;
    return KRecoveryAnswer::Restore;
  });
  const std::string log = qEnvironmentVariable("MELOTRIX_KILL_LOG").toStdString(), noted = Contents(log);
  const std::string done = noted.empty() ? "0+" : noted;  // killed before the first command began, or as it began
  const int finished = std::atoi(done.c_str());
  std::vector<std::string> states;
  for (int count : {finished, finished + 1, 0}) {
    if ((count > finished && done.back() != '+') || (count == 0 && asked)) continue;
    TempDir swap;
    TFormMain expected(swap.Path(), audio);
    expected.Banks().SelectBank(1);
    RunRandomCommands(expected, qEnvironmentVariable("MELOTRIX_KILL_SEED").toUInt(), count);
    states.push_back(Dump(expected.Banks()));
  }
  const std::string restored = Dump(window.Banks());
  EXPECT_THAT(states, testing::Contains(restored)) << done;
  std::ofstream(log + ".restored") << restored;
  for (size_t k = 0; k < states.size(); ++k) std::ofstream(log + ".expected" + std::to_string(k)) << states[k];
}

// Killed between commands or in the middle of an echo, the window comes back
// as it was after its last whole command; Discard leaves nothing.
TEST(Recovery, RestoresTheBanksACrashedWindowHeld) {
  KDesktop desktop;
  TempDir expectedSwap;
  KNoWaveAudio audio;
  WriteVoices(desktop);
  for (auto [mode, answer] : {std::pair{"edits", KRecoveryAnswer::Restore},
                              {"echo", KRecoveryAnswer::Restore},
                              {"edits", KRecoveryAnswer::Discard}}) {
    SCOPED_TRACE(mode);
    {
      KEnvironmentValue crashMode("MELOTRIX_CRASH_MODE", mode);
      const pid_t crashing = desktop.Start(
          {"/proc/self/exe", "--gtest_filter=CrashingWindow.DISABLED_RunsTheEdits", "--gtest_also_run_disabled_tests"});
      ASSERT_EQ(desktop.ExitStatus(crashing), 256 + SIGKILL);
    }
    ASSERT_EQ(RunFolders().size(), 1u);
    const std::string crashed = RunFolders()[0];
    TFormMain expected(expectedSwap.Path(), audio), empty(expectedSwap.Path(), audio);
    expected.Banks().SelectBank(1);
    empty.Banks().SelectBank(1);
    RunEdits(expected);
    if (answer == KRecoveryAnswer::Restore) {  // the front end rescues the same voices as MXV files
      const std::string rescued = desktop / ("home/" + std::string(mode));
      fs::create_directory(rescued);
      ASSERT_EQ(desktop.ExitStatus(desktop.Start({MELOTRIX_CLI_PATH, "recover", crashed, "--save", rescued})), 0);
      for (int bank = 1; bank <= 3; ++bank) {
        KPcmFiles &voice = empty.Banks().Bank(bank), &want = expected.Banks().Bank(bank);
        ASSERT_TRUE(voice.LoadMxvFile(rescued + "/Bank00" + std::to_string(bank) + ".MXV"));
        EXPECT_EQ(std::tuple(voice.FrameBytes(), voice.SampleRate, voice.END, voice.AliasName),
                  std::tuple(want.FrameBytes(), want.SampleRate, want.END, want.AliasName));
        EXPECT_EQ(Contents(voice.Storage->OpenFilePath()).substr(0, size_t(voice.Storage->Size())),
                  Contents(want.Storage->OpenFilePath()).substr(0, size_t(voice.Storage->Size())));
      }
    }
    KRunFolder run;
    TFormMain window(OpenWindowRunFolder(run), audio);
    window.Banks().SelectBank(1);
    RecoverAndKeepJournal(window, run, [answer](const KRecoveryQuestion&) { return answer; });
    EXPECT_FALSE(fs::exists(crashed));
    EXPECT_EQ(RunFolders(), std::vector<std::string>{run.Path()});
    EXPECT_EQ(Dump(window.Banks()), Dump(answer == KRecoveryAnswer::Restore ? expected.Banks() : empty.Banks()));
  }
}

// Loads that are not edited, and edits that were saved, leave nothing when the window ends.
void LoadAndSave(TFormMain& window) {
  const std::string home = qEnvironmentVariable("HOME").toStdString();
  window.Runner().Run(Id::MenuLoadCh1Bit16PCMClick, {.Path = home + "/b.pcm"});
  window.Runner().Run(Id::MenuBank2Click, {});
  window.Runner().Run(Id::MenuLoadCh1Bit16PCMClick, {.Path = home + "/c.pcm"});
  window.Runner().Run(Id::MenuInsertMuteClick, {.Frames = 300});
  window.Runner().Run(Id::MenuSaveMXVClick, {.Path = home + "/c.mxv"});
}

// A window that ends with unsaved banks keeps them: the next start asks (Later keeps them again, and with two runs
// waiting it says so), and Restore brings every bank back with its undo steps. Without unsaved work nothing is kept.
TEST(Recovery, ExitKeepsUnsavedBanks) {
  KDesktop desktop;
  TempDir expectedSwap;
  KNoWaveAudio audio;
  WriteVoices(desktop);
  for (auto [name, steps] : {std::pair{"edits", &RunEdits}, {"loads and saves", &LoadAndSave}}) {
    SCOPED_TRACE(name);
    const bool kept = std::string(name) == "edits";
    for (int exits = 0; exits < 2; ++exits) {
      KRunFolder run;
      TFormMain window(OpenWindowRunFolder(run), audio);
      window.Banks().SelectBank(1);
      RecoverAndKeepJournal(window, run, [](const KRecoveryQuestion&) { return KRecoveryAnswer::Later; });
      steps(window);
      window.ShowBankContents();
      EXPECT_EQ(window.findChild<QToolButton*>("ToolBtnBank2")->text(), kept ? "B2*" : "B2");
      if (window.Banks().KeepUnsavedWork()) run.Leave();
    }
    EXPECT_EQ(RunFolders().size(), kept ? 2u : 0u);
    std::vector<KRecoveryQuestion> asked;
    for (KRecoveryAnswer answer : {KRecoveryAnswer::Later, KRecoveryAnswer::Discard}) {
      KRunFolder run;
      TFormMain window(OpenWindowRunFolder(run), audio);
      window.Banks().SelectBank(1);
      RecoverAndKeepJournal(window, run, [&](const KRecoveryQuestion& q) {
        asked.push_back(q);
        return asked.size() == 3 ? KRecoveryAnswer::Restore : answer;
      });
      if (asked.size() < 3) continue;
      TFormMain expected(expectedSwap.Path(), audio);
      expected.Banks().SelectBank(1);
      steps(expected);
      EXPECT_EQ(Dump(window.Banks()), Dump(expected.Banks()));
    }
    EXPECT_EQ(asked.size(), kept ? 3u : 0u);
    for (size_t k = 0; k < asked.size(); ++k)
      EXPECT_EQ(std::tuple(asked[k].Closed, asked[k].Index, asked[k].Count), std::tuple(true, k / 2, 2u)) << k;
    EXPECT_EQ(RunFolders().size(), 0u);
  }
}

// True once `pid` has its own handler for SIGTERM (the kernel's SigCgt mask).
bool CatchesSigterm(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
  return false;
}

int SwapFiles(const KDesktop& desktop) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(desktop / "system", error))
    count += entry.path().filename().string().rfind("SY$", 0) == 0;
  return count;
}

// Beside a live window (its files stay), started with a file that does not
// load, as a second copy (the first runs on), or with FIFOs as settings files
// (they hold nothing up): a signal ends it as Exit would.
TEST(WindowProcess, ASignalEndsItAsExitWould) {
  for (auto [setup, signalNumber] : {std::pair{"a file that does not load", SIGINT},
                                     {"a second copy", SIGHUP},
                                     {"FIFOs as settings files", SIGTERM}}) {
    SCOPED_TRACE(setup);
    const std::string name = setup;
    KDesktop desktop;
    KNoWaveAudio audio;
    KRunFolder live;
    TFormMain window(OpenWindowRunFolder(live), audio);
    RecoverAndKeepJournal(window, live, [](const KRecoveryQuestion&) { return KRecoveryAnswer::Discard; });
    const auto before = Listing(live.Path());
    const std::string ini = desktop / "config/DRN/Melotrix.INI";
    fs::create_directories(desktop / "config/DRN");
    if (name == "FIFOs as settings files") {
      for (const std::string& file : {ini, desktop / "config/DRN/RkmSeries.INI"})
        ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    }
    std::ofstream(desktop / "home/bad.wav") << "not a sound";
    const pid_t pid = name == "a file that does not load" ? desktop.Start({MELOTRIX_PATH, desktop / "home/bad.wav"})
                                                          : desktop.Start({MELOTRIX_PATH});
    ASSERT_TRUE(WaitFor([&] { return SwapFiles(desktop) == 30; }));
    if (name == "a second copy") {
      const pid_t second = desktop.Start({MELOTRIX_PATH});
      ASSERT_TRUE(WaitFor([&] { return CatchesSigterm(second); }));
      kill(second, SIGTERM);
      EXPECT_EQ(desktop.ExitStatus(second), 128 + SIGTERM);
      EXPECT_EQ(SwapFiles(desktop), 30);
    }
    kill(pid, signalNumber);
    EXPECT_EQ(desktop.ExitStatus(pid), 128 + signalNumber);
    EXPECT_EQ(SwapFiles(desktop), 15);
    EXPECT_EQ(Listing(live.Path()), before);
    EXPECT_EQ(fs::status(ini).type(), name == "FIFOs as settings files" ? fs::file_type::fifo : fs::file_type::regular);
  }
}

}  // namespace
