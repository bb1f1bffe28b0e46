// The journal's text, and what a save killed half-way leaves.
#include <csignal>

#include "VoiceTests.h"
#include "platform/RunFolder.h"
#include "voice/CrashedRuns.h"

namespace {

namespace fs = std::filesystem;

// A damaged or hostile journal is refused whole: none names a file outside its folder, or one that is not a save's
// temporary.
TEST(Journal, RefusesDamagedText) {
  TempDir dir;
  KBankSet banks(dir.Path(), KHeadlessVoice::Factory(nullptr));
  banks.SelectBank(3);
  banks.Bank(1).AliasName = "a b%c\n";
  banks.Bank(1).FileName = "/my voices/=x.mxv";
  KJournalRecord record = JournalOf(banks);
  record.Temporaries = {dir / ".melotrix-12-3.tmp"};
  const std::string text = JournalText(record);
  KJournalRecord parsed;
  ASSERT_TRUE(ParseJournal(text, parsed));
  EXPECT_EQ(parsed, record);
  auto replaced = [&text](const std::string& from, const std::string& to) {
    std::string changed = text;
    return changed.replace(changed.find(from), from.size(), to);
  };
  for (const std::string& bad :
       {text.substr(0, text.size() - 4), replaced("=" + banks.Bank(1).Storage->BaseName(), "=../../etc/passwd"),
        replaced(".melotrix-12-3.tmp", "notes.txt"), replaced("voice 2 1 8", "voice 2 3 8"),
        replaced("voice 2 ", "voice 1 "), replaced("current 3", "current 3 4")})
    EXPECT_FALSE(ParseJournal(bad, parsed)) << bad;
}

// A run that saves a voice of 1 MB over `target` with the file-size limit at half of it, so that the save is killed
// once it has written half the file.
[[noreturn]] void SaveUntilKilled(const std::string& base, const std::string& target, bool unnamed) {
  KRunFolder run;
  std::string error;
  run.Create(base, KRunFolder::kWindowPrefix, error);
  KBankSet banks(run.Path(), KHeadlessVoice::Factory(nullptr));
  banks.KeepJournal(run.Path());
  KPcmFiles& voice = banks.Bank(1);
  voice.InsertMute(1 << 20);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = 1 << 19;
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  setrlimit(RLIMIT_FSIZE, &limit);
  const std::string block(1 << 20, 'x');
  if (unnamed) voice.SaveMxvFile(target);
  KSafeFileWriter named(target, banks.Services().Temporaries, false);
  if (!unnamed) named.File().WriteAt(0, block.data(), block.size());
  std::exit(0);
}

// Killed once it has written half the file, a save leaves the file it was replacing as it was and nothing else in its
// folder; a named temporary (where the file system refuses unnamed ones) is in the run's journal, and the next start
// removes it.
TEST(Journal, SaveKilledHalfWayLeavesNothing) {
  for (bool unnamed : {true, false}) {
    TempDir dir;
    const std::string base = dir / "SYS_DATA", target = dir / "out/voice.mxv";
    fs::create_directory(dir / "out");
    std::ofstream(target) << "the old voice";
    EXPECT_EXIT(SaveUntilKilled(base, target, unnamed), testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), unnamed ? 1 : 2);
    SweepRunFolders(base);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 1);
    EXPECT_TRUE(fs::is_empty(base));
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the old voice");
  }
}

}  // namespace
