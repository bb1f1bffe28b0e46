// The swap folder while the program runs: removed, made read-only, or one of
// its files cut short by another program while it is mapped. Whatever needs
// a new swap file fails with the swap-folder message; the voices keep their
// samples and can still be saved; a cut file never kills the program.
#include <sys/stat.h>

#include "FaultFixture.h"
#include "platform/MappedFaults.h"

namespace {

class FaultSwap : public FaultFixture {
 protected:
  // Bank 1: 100000 patterned mono 8-bit frames with part of them marked.
  void GiveBig(KPcmFiles& v) {
    GiveVoice(v, 1, 8, 100000);
    v.MKL = 101;
    v.MKR = 90000;
    v.FLG = 50;
  }
  // What needs a new swap file fails with the swap-folder message and
  // leaves the voice as it was; a save still writes the samples.
  void OnlySavesWork(const std::string& why) {
    KPcmFiles& v = Voice(1);
    const auto before = StateOf(v);
    const std::vector<std::function<bool()>> needNewFiles = {
        [&] { return v.Echo(100, 50); }, [&] { return v.MathAmplifier(120); }, [&] { return v.CopyMarked(); },
        [&] { return v.SaveUndo("Undo : Echo"); }, [&] { return Voice(2).LoadWavFile(PathOf("in.wav")); }};
    for (size_t k = 0; k < needNewFiles.size(); ++k) {
      SCOPED_TRACE(k);
      messages_.clear();
      EXPECT_FALSE(needNewFiles[k]());
      ASSERT_EQ(messages_.size(), 1u);
      EXPECT_TRUE(LastMessageNames(swap_) && LastMessageNames(why)) << LastMessage();
      EXPECT_EQ(StateOf(v), before);
    }
    const std::vector<uint8_t> samples = Bytes(v);
    ASSERT_TRUE(v.SaveRawPcmFile(PathOf("saved.pcm")));
    EXPECT_EQ(ReadBytes(PathOf("saved.pcm")), samples);
    EXPECT_EQ(Bytes(v), samples);
  }
};

TEST_F(FaultSwap, AFolderRemovedWhileRunning) {
  GiveBig(Voice(1));
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  GiveVoice(Voice(0), 1, 8, 10);
  ASSERT_TRUE(Voice(0).SaveWavFile(PathOf("in.wav")));
  std::filesystem::remove_all(swap_);
  ASSERT_TRUE(Voice(1).LoadUndo());  // the snapshot's file was open, so it is still there
  OnlySavesWork("No such file or directory");
  // Made again (by another run, say), it holds only new files.
  std::filesystem::create_directory(swap_);
  ASSERT_TRUE(Voice(1).Echo(100, 50));
  ASSERT_TRUE(Voice(1).LoadUndo());
  EXPECT_EQ(Bytes(Voice(1)), Pattern(100000, 100000));
  EXPECT_EQ(FilesIn(swap_), 1u);  // the echo's result, now the voice's
}

TEST_F(FaultSwap, AFolderMadeReadOnlyWhileRunning) {
  GiveBig(Voice(1));
  GiveVoice(Voice(0), 1, 8, 10);
  ASSERT_TRUE(Voice(0).SaveWavFile(PathOf("in.wav")));
  const size_t files = FilesIn(swap_);
  {
    KPermissionsApply apply;
    if (!apply.Applies()) GTEST_SKIP() << "skipped: root could not drop the capabilities that pass folder permissions";
    std::filesystem::permissions(swap_, std::filesystem::perms(0500));
    OnlySavesWork("Permission denied");
    std::filesystem::permissions(swap_, std::filesystem::perms(0700));
  }
  EXPECT_EQ(FilesIn(swap_), files);
  EXPECT_TRUE(Voice(1).MathAmplifier(120));
}

// Another program cuts the voice's swap file to nothing in the middle of an
// edit that maps it: the edit fails with the message naming the file, and
// the voice is put back from the snapshot the edit took, byte for byte; the
// undo store is as it was, a full one too.
TEST_F(FaultSwap, AFileCutShortDuringAnEdit) {
  auto set = MakeSet(swap_);
  KPcmFiles& v = set->Bank(1);
  // The edits and their progress titles.
  const std::vector<std::pair<const char*, std::function<bool()>>> edits = {
      {"Mathematical amplifier", [&] { return v.MathAmplifier(150); }},
      {"Fade-out", [&] { return v.FadeOut(); }},
      {"Echo", [&] { return v.Echo(100, 50); }},
      {"Cut unmark area", [&] { return v.CutUnmark(); }}};
  for (const auto& [title, run] : edits) {
    SCOPED_TRACE(title);
    GiveBig(v);
    ASSERT_TRUE(v.SaveUndo(std::string("Undo : ") + title));
    const auto before = StateOf(v);
    std::string file;
    const uint64_t faults = platform::MappedFileFaults();
    // The file the edit maps: the voice's, or for an edit in place the copy the voice has taken.
    ui_.Arm(title, [&] {
      file = v.Storage->GetFileName();
      ASSERT_EQ(truncate(file.c_str(), 0), 0);
    });
    messages_.clear();
    EXPECT_FALSE(run());
    EXPECT_GT(platform::MappedFileFaults(), faults);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(LastMessageNames(swap_) && LastMessageNames(file + " was cut short by another program"));
    EXPECT_EQ(StateOf(v), before);
    struct stat st {};
    ASSERT_EQ(stat(v.Storage->GetFileName().c_str(), &st), 0);
    EXPECT_EQ(st.st_size, v.Storage->Size());
  }
  // The fourth failed with the store full: the oldest snapshot is still there.
  std::string label;
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(v.LoadUndo());
  EXPECT_TRUE(v.UndoLabel(label));
  EXPECT_EQ(label, "Undo : Mathematical amplifier");
}

// A cut source of the mixer gets its length back (its lost samples are
// silence now); the mixed voice stays as it was.
TEST_F(FaultSwap, AFileCutShortUnderTheMixer) {
  auto set = MakeSet(swap_);
  GiveBig(set->Bank(2));
  GiveVoice(set->Bank(1), 1, 8, 300);
  const auto before = StateOf(set->Bank(1));
  const std::string source = set->Bank(2).Storage->GetFileName();
  ui_.Arm("Mix", [&] { ASSERT_EQ(truncate(source.c_str(), 1000), 0); });
  EXPECT_FALSE(set->Bank(1).MixBanks({1, 2, 0, 0}));
  EXPECT_TRUE(LastMessageNames(source + " was cut short"));
  EXPECT_EQ(StateOf(set->Bank(1)), before);
  const std::vector<uint8_t> left = Bytes(set->Bank(2));
  ASSERT_EQ(left.size(), 100000u);
  EXPECT_EQ(std::vector<uint8_t>(left.begin(), left.begin() + 1000), Pattern(1000, 100000));
  EXPECT_EQ(std::vector<uint8_t>(left.begin() + 1000, left.end()), std::vector<uint8_t>(100000 - 1000, 0));
  EXPECT_TRUE(set->Bank(1).MixBanks({1, 2, 0, 0}));
}

// Cut between two commands: the next snapshot or save says so once and
// gives the file its length back; the one after works on what is left.
TEST_F(FaultSwap, AFileCutShortBetweenCommands) {
  GiveBig(Voice(1));
  const std::string saved = PathOf("kept.wav");
  ASSERT_TRUE(Voice(1).SaveWavFile(saved));
  const std::vector<uint8_t> kept = ReadBytes(saved);
  for (const auto& step : std::vector<std::function<bool()>>{[&] { return Voice(1).MathAmplifier(150); },
                                                             [&] { return Voice(1).SaveWavFile(saved); }}) {
    const std::string file = Voice(1).Storage->GetFileName();
    ASSERT_EQ(truncate(file.c_str(), 10), 0);
    messages_.clear();
    EXPECT_FALSE(step());
    EXPECT_TRUE(LastMessageNames(file + " was cut short by another program"));
    EXPECT_EQ(ReadBytes(saved), kept);
    EXPECT_EQ(std::filesystem::file_size(file), 100000u);
    EXPECT_TRUE(step());
  }
}

}  // namespace
