// A disk that fills: during a load, a save over an existing file, an edit and
// its undo snapshot. Each failure names what failed and leaves the voice,
// its undo store and the user's files as they were, with no file left over.
#include "FaultFixture.h"
#include "support/FileSizeLimit.h"

namespace {

class FaultDisk : public FaultFixture {
 protected:
  // A voice of 150000 mono 8-bit frames with one snapshot, bank 1 of `set`.
  static void GiveBigVoice(KBankSet& set) {
    GiveVoice(set.Bank(1), 1, 8, 150000);
    Mark(set.Bank(1), 11, 140000, 20);
    ASSERT_TRUE(set.Bank(1).SaveUndo("Undo : Echo"));
  }
  // Bank 1 big with a snapshot, bank 2 and the copy buffer small: the
  // sources of the paste, the mixer and the merge.
  static void GiveVoices(KBankSet& set) {
    GiveBigVoice(set);
    GiveVoice(set.Bank(2), 1, 8, 1000);
    GiveVoice(set.Bank(0), 1, 8, 1000);
  }
  // Every edit that needs a store or a snapshot. `small` are those whose
  // result is small: on a disk with room for it they fail at the snapshot.
  struct KEdit {
    const char* Name;
    std::function<bool(KPcmFiles&)> Run;
    bool Small;
  };
  static std::vector<KEdit> Edits() {
    return {{"insert-mute", [](KPcmFiles& v) { return v.InsertMute(1000); }, false},
            {"echo", [](KPcmFiles& v) { return v.Echo(100, 50); }, false},
            {"paste-insert", [](KPcmFiles& v) { return v.PasteByInsert(); }, false},
            {"cut-marked", [](KPcmFiles& v) { return v.CutMarked(); }, true},
            {"mute-marked", [](KPcmFiles& v) { return v.MuteMarked(); }, true},
            {"fade-in", [](KPcmFiles& v) { return v.FadeIn(); }, true},
            {"amp", [](KPcmFiles& v) { return v.MathAmplifier(150); }, true},
            {"translate", [](KPcmFiles& v) { return v.TranslateFormat(2, 16); }, false},
            {"mix",
             [](KPcmFiles& v) {
               return v.MixBanks({1, 2, 0, 0});
             },
             false},
            {"merge", [](KPcmFiles& v) { return v.MergeChannels(1, 2); }, false},
            {"copy", [](KPcmFiles& v) { return v.CopyMarked(); }, false}};
  }
  // Runs the edits on a full disk: each fails with the swap-folder message
  // and changes nothing, in any voice or in the swap folder.
  void EditsFail(KBankSet& set, const std::string& swap, bool onlySmall) {
    const auto before = StateOf(set.Bank(1)), buffer = StateOf(set.Bank(0));
    const size_t files = FilesIn(swap);
    for (const KEdit& edit : Edits()) {
      if (onlySmall && !edit.Small) continue;
      SCOPED_TRACE(edit.Name);
      messages_.clear();
      EXPECT_FALSE(edit.Run(set.Bank(1)));
      ASSERT_EQ(messages_.size(), 1u);
      EXPECT_TRUE(LastMessageNames(swap));
      EXPECT_EQ(StateOf(set.Bank(1)), before);
      EXPECT_EQ(StateOf(set.Bank(0)), buffer);
      EXPECT_EQ(FilesIn(swap), files);
    }
  }
};

TEST_F(FaultDisk, ALoadIntoAFullSwapFolderKeepsTheVoiceAndTheFile) {
  const std::string path = PathOf("big.wav");
  GiveVoice(Voice(0), 2, 16, 100000);
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  const std::vector<uint8_t> file = ReadBytes(path);
  GiveVoice(Voice(1), 1, 8, 500);
  const size_t files = FilesIn(swap_);
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  auto before = StateOf(Voice(1));
  std::get<4>(before) = 0;  // a load drops the undo snapshots first
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(Voice(1).LoadWavFile(path));
  }
  EXPECT_TRUE(LastMessageNames(swap_));
  EXPECT_EQ(StateOf(Voice(1)), before);
  EXPECT_EQ(ReadBytes(path), file);
  EXPECT_EQ(FilesIn(swap_), files);

  KSmallDisk disk(dir_ / "small", 256 * 1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  auto set = MakeSet(dir_ / "small");
  GiveVoice(set->Bank(1), 1, 8, 500);
  const auto small = StateOf(set->Bank(1));
  const size_t smallFiles = FilesIn(dir_ / "small");
  EXPECT_FALSE(set->Bank(1).LoadWavFile(path));
  EXPECT_TRUE(LastMessageNames(dir_ / "small"));
  EXPECT_TRUE(LastMessageNames("No space left on device"));
  EXPECT_EQ(StateOf(set->Bank(1)), small);
  EXPECT_EQ(FilesIn(dir_ / "small"), smallFiles);
  EXPECT_EQ(ReadBytes(path), file);
}

// The old file stays whole and no temporary is left; the voice keeps its snapshot.
TEST_F(FaultDisk, ASaveOverAnExistingFileOnAFullDisk) {
  KSmallDisk disk(dir_ / "user", 512 * 1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  const std::string path = dir_ / "user/voice.wav";
  GiveVoice(Voice(1), 1, 8, 1000);
  ASSERT_TRUE(Voice(1).SaveWavFile(path));
  const std::vector<uint8_t> old = ReadBytes(path);
  GiveVoice(Voice(1), 2, 16, 100000);
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  ASSERT_TRUE(disk.LeaveRoom(100 * 1024));
  const auto before = StateOf(Voice(1));
  for (Kind kind : kKinds) {
    SCOPED_TRACE(kName[int(kind)]);
    EXPECT_FALSE(SaveAs(Voice(1), kind, path));
    EXPECT_EQ(LastMessage(), Text(kCannotCreate, {path}));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FilesIn(dir_ / "user"), 2u);  // the file and the filler
    EXPECT_EQ(StateOf(Voice(1)), before);
  }
}

TEST_F(FaultDisk, EditsAtTheFileSizeLimit) {
  GiveVoices(banks_);
  FileSizeLimit limit(100000);
  EditsFail(banks_, swap_, false);
}

// Room for no new store of the voice's size: every edit fails at its first
// store. Room for a small result but not the snapshot: the edits with a
// small result fail at the snapshot, and the result is dropped.
TEST_F(FaultDisk, EditsAndSnapshotsOnAFullSwapDisk) {
  for (size_t room : {64 * 1024, 100 * 1024}) {
    SCOPED_TRACE(room);
    const std::string swap = dir_ / ("swap" + std::to_string(room));
    KSmallDisk disk(swap, 2 * 1024 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
    auto set = MakeSet(swap);
    GiveVoices(*set);
    ASSERT_TRUE(disk.LeaveRoom(room));
    EditsFail(*set, swap, room > 64 * 1024);
    std::filesystem::remove(swap + "/filler");
    EXPECT_TRUE(set->Bank(1).MathAmplifier(150));  // with room again, it works
  }
}

}  // namespace
