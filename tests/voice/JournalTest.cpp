// The journal's text, and what a save killed half-way leaves.
#include <csignal>

#include "VoiceTests.h"
#include "platform/RunFolder.h"
#include "voice/CrashedRuns.h"

namespace {

namespace fs = std::filesystem;

// A damaged or hostile journal is refused whole: none names a file outside its folder, or one that is not a save's
// temporary, or holds a value no voice holds.
TEST(Journal, RefusesDamagedText) {
  TempDir dir;
  KBankSet banks(dir.Path(), KHeadlessVoice::Factory(nullptr));
  banks.SelectBank(3);
  banks.Bank(1).AliasName = "a b%c\n";
  banks.Bank(1).FileName = "/my voices/=x.mxv";
  banks.Bank(2).InsertMute(10);
  KJournalRecord record = JournalOf(banks);
  record.Temporaries = {dir / ".melotrix-12-3.tmp"};
  record.Closed = true;
  ASSERT_TRUE(record.Voices[2].Changed);
  const std::string text = JournalText(record);
  KJournalRecord parsed;
  ASSERT_TRUE(ParseJournal(text, parsed));
  EXPECT_EQ(parsed, record);
  // Snapshot lines of bank 2 in the given slots: a stack fills from slot 3 down.
  auto undo = [&banks](std::initializer_list<int> slots) {
    std::string lines;
    for (int slot : slots)
      lines +=
          "undo 2 " + std::to_string(slot) + " 1 8 16000 10 10 1 1 1 =" + banks.Bank(2).Storage->BaseName() + " =Cut\n";
    return lines + "changed 2";
  };
  auto replaced = [&text](const std::string& from, const std::string& to) {
    std::string changed = text;
    return changed.replace(changed.find(from), from.size(), to);
  };
  for (const std::string& bad :
       {text.substr(0, text.size() - 4), replaced("=" + banks.Bank(1).Storage->BaseName(), "=../../etc/passwd"),
        replaced(".melotrix-12-3.tmp", "notes.txt"), replaced("voice 2 1 8", "voice 2 3 8"),
        replaced("voice 2 ", "voice 1 "), replaced("current 3", "current 3 4"), replaced("current 3", "current 99"),
        replaced("voice 2 1 8 16000", "voice 2 1 8 0"), replaced("voice 2 1 8 16000", "voice 2 1 8 -5"),
        replaced("voice 2 1 8 16000", "voice 2 1 8 2147483647"), replaced("16000 10 10 1 1 1", "16000 10 11 1 1 1"),
        replaced("changed 2", "changed 2\nchanged 2"), replaced("closed", "closed\nclosed"),
        replaced("changed 2", undo({3, 3})), replaced("changed 2", undo({2})), replaced("changed 2", undo({1, 3}))})
    EXPECT_FALSE(ParseJournal(bad, parsed)) << bad;
  EXPECT_TRUE(ParseJournal(replaced("changed 2", undo({2, 3})), parsed));
}

// A notice per change of recovery's state.
struct NoticeLog : KUiHooks {
  void RecoveryNotice(const std::string& text) override { Texts.push_back(text.substr(0, text.find(':'))); }
  std::vector<std::string> Texts;
};

// A journal that cannot be written (here its next name is taken by a folder) leaves the last good one and the files
// it names, and says once that recovery is paused and once that it works again; a set that ends removes its journal
// before its files.
TEST(Journal, KeepsTheLastGoodJournalWhileItCannotWrite) {
  TempDir dir;
  NoticeLog notices;
  auto banks = std::make_unique<KBankSet>(dir.Path(), KHeadlessVoice::Factory(nullptr), &notices);
  banks->SelectBank(1);
  banks->KeepJournal(dir.Path());
  KPcmFiles& voice = banks->Bank(1);
  voice.InsertMute(100);
  banks->JournalChanges();
  const std::string good = Contents(dir / "journal"), held = dir / voice.Storage->BaseName();
  fs::create_directory(dir / "journal.new");
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(voice.InsertMute(10));
    banks->JournalChanges();
  }
  EXPECT_EQ(Contents(dir / "journal"), good);
  EXPECT_TRUE(fs::exists(held));
  fs::remove(dir / "journal.new");
  banks->JournalChanges();
  KJournalRecord record;
  ASSERT_TRUE(ReadJournal(dir.Path(), record));
  EXPECT_EQ(record, JournalOf(*banks));
  EXPECT_FALSE(fs::exists(held));
  EXPECT_EQ(notices.Texts, (std::vector<std::string>{"Crash recovery is paused", "Crash recovery works again"}));
  banks.reset();
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

// Each voice comes back whole or not at all, with the reason; the others come back all the same, and the record of
// what is left names only the voices that did not.
TEST(Journal, RestoresEachVoiceWholeOrNotAtAll) {
  TempDir dir, outside;
  std::ofstream(outside / "secret", std::ios::binary) << std::string(4000, 's');
  KBankSet crashed(dir.Path(), KHeadlessVoice::Factory(nullptr));
  for (int bank = 1; bank <= 5; ++bank) {
    crashed.SelectBank(bank);
    crashed.Bank(bank).InsertMute(1000);
    crashed.Bank(bank).InsertMute(500);  // one undo snapshot
  }
  const KJournalRecord record = JournalOf(crashed);
  auto file = [&](int bank, bool snapshot) {
    return dir / (snapshot ? record.Voices[size_t(bank)].Undo[0].Store : record.Voices[size_t(bank)].Store);
  };
  fs::resize_file(file(1, false), 1499);
  fs::remove(file(2, true));
  fs::remove(file(3, false));
  fs::create_symlink(outside / "secret", file(3, false));
  fs::remove(file(4, false));
  fs::create_symlink(outside / "nowhere", file(4, false));
  TempDir swap;
  KBankSet banks(swap.Path(), KHeadlessVoice::Factory(nullptr));
  std::vector<int> failed;
  const KStatus restored = RestoreJournal(banks, record, dir.Path(), &failed);
  EXPECT_EQ(failed, (std::vector<int>{1, 2, 3, 4}));
  for (const std::string& why :
       {"Bank 1 cannot be restored: its swap file " + record.Voices[1].Store + " is cut short (1499 of 1500 bytes).",
        "Bank 2 cannot be restored: its swap file " + record.Voices[2].Undo[0].Store + " is missing.",
        "Bank 4 cannot be restored: its swap file " + record.Voices[4].Store + " is no regular file."})
    EXPECT_NE(restored.Message.find(why), std::string::npos) << restored.Message;
  for (int bank = 1; bank <= 5; ++bank)
    EXPECT_EQ(std::pair(banks.Bank(bank).END, banks.Bank(bank).UndoDepth()),
              bank == 5 ? std::pair(1500, 1) : std::pair(0, 0));
  EXPECT_FALSE(fs::exists(outside / "nowhere"));
  KJournalRecord left;
  ASSERT_TRUE(ParseJournal(JournalText(KeepOnly(record, failed)), left));
  for (int bank = 1; bank <= 5; ++bank) EXPECT_EQ(left.Voices[size_t(bank)].HoldsWork(), bank < 5);
  // A swap folder that cannot take a file over keeps every voice out.
  KBankSet nowhere(swap / "gone", KHeadlessVoice::Factory(nullptr));
  EXPECT_NE(RestoreJournal(nowhere, record, dir.Path())
                .Message.find("Bank 5 cannot be restored: its swap file " + record.Voices[5].Store +
                              " can be neither linked"),
            std::string::npos);
}

// The sweep removes the folders of runs that ended (no journal) or held nothing, leaves a folder whose journal it
// cannot read, and returns the window's folders that hold work.
TEST(Journal, SweepDeletesOnlyWhatHoldsNoWork) {
  TempDir base, swap;
  KBankSet banks(swap.Path(), KHeadlessVoice::Factory(nullptr));
  banks.SelectBank(1);
  const std::string empty = JournalText(JournalOf(banks));
  banks.Bank(1).InsertMute(10);
  KJournalRecord closed = JournalOf(banks);
  closed.Closed = true;
  std::vector<std::string> folders;
  for (const std::string& journal : {""s, "melotrix-journal 1\ncurrent 1\n"s, empty, JournalText(closed)}) {
    KRunFolder run;
    std::string error;
    ASSERT_TRUE(run.Create(base.Path(), KRunFolder::kWindowPrefix, error));
    if (!journal.empty()) {
      ASSERT_TRUE(WriteJournal(run.Path(), journal));
    }
    folders.push_back(run.Path());
    run.Leave();
  }
  std::vector<KCrashedRun> kept = SweepRunFolders(base.Path());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].Folder->Path(), folders[3]);
  EXPECT_EQ(kept[0].Record, closed);
  EXPECT_EQ(std::vector<bool>({fs::exists(folders[0]), fs::exists(folders[1]), fs::exists(folders[2])}),
            std::vector<bool>({false, true, false}));
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
    EXPECT_EQ(Contents(target), "the old voice");
  }
}

}  // namespace
