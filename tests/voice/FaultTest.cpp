// Faults from outside: the swap folder removed or made read-only, a swap file cut short by another program while it is
// mapped, the user's input cut short or removed during its load. Each failure names what failed and leaves the voices,
// their undo stores and the user's files as they were, with no file left over; a cut file never kills the program.
#include <sys/mount.h>
#include <sys/stat.h>

#include "VoiceTests.h"
#include "platform/MappedFaults.h"

namespace {

using Faults = FaultTests;

class SwapFaults : public FaultTests {
 protected:
  // Bank 1: 100000 patterned mono 8-bit frames with part of them marked; a WAV file to load.
  void GiveBig(KPcmFiles& v) {
    GiveVoice(v, 1, 8, 100000);
    Mark(v, 101, 90000, 50);
  }
  // What needs a new swap file fails with the swap-folder message naming `why` and leaves the voice as it was; a save
  // still writes the samples.
  void OnlySavesWork(const std::string& why) {
    KPcmFiles& v = Voice(1);
    ExpectEachFails(
        banks_, swap_, {swap_, why},
        {[&] { return v.Echo(100, 50); }, [&] { return v.MathAmplifier(120); }, [&] { return v.CopyMarked(); },
         [&] { return v.SaveUndo("Undo : Echo"); }, [&] { return Voice(2).LoadWavFile(PathOf("in.wav")); }});
    const std::vector<uint8_t> samples = Bytes(v);
    ASSERT_TRUE(v.SaveRawPcmFile(PathOf("saved.pcm")));
    EXPECT_EQ(std::make_pair(ReadBytes(PathOf("saved.pcm")), Bytes(v)), std::make_pair(samples, samples));
  }
  void SetUp() override {
    GiveBig(Voice(1));
    GiveVoice(Voice(0), 1, 8, 10);
    ASSERT_TRUE(Voice(0).SaveWavFile(PathOf("in.wav")));
  }
};

// Removed: the snapshot's file was open, so undo still works; made again (by another run, say), the folder holds only
// new files.
TEST_F(SwapFaults, AFolderRemovedWhileRunning) {
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  std::filesystem::remove_all(swap_);
  ASSERT_TRUE(Voice(1).LoadUndo());
  OnlySavesWork("No such file or directory");
  std::filesystem::create_directory(swap_);
  ASSERT_TRUE(Voice(1).Echo(100, 50) && Voice(1).LoadUndo());
  EXPECT_EQ(Bytes(Voice(1)), Pattern(100000, 100000));
  EXPECT_EQ(FilesIn(swap_), 1u);  // the echo's result, now the voice's
}

// Made read-only (for root, whom folder permissions do not stop, by a read-only mount over it): the same, and with
// write access again edits work.
TEST_F(SwapFaults, AFolderMadeReadOnlyWhileRunning) {
  const bool root = geteuid() == 0;
  const bool made = root ? mount(swap_.c_str(), swap_.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                               mount(nullptr, swap_.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0
                         : chmod(swap_.c_str(), 0500) == 0;
  if (made) OnlySavesWork(root ? "Read-only file system" : "Permission denied");
  if (root) umount2(swap_.c_str(), MNT_DETACH);
  chmod(swap_.c_str(), 0700);
  if (!made) GTEST_SKIP() << "skipped: the folder could not be made read-only";
  EXPECT_TRUE(Voice(1).MathAmplifier(120));
}

// Another program cuts the voice's swap file to nothing in the middle of an edit that maps it: the edit fails with the
// message naming the file, and the voice is put back from the snapshot the edit took, byte for byte, with its file's
// length; the undo store is as it was, a full one too (the fourth edit fails with it full).
TEST_F(SwapFaults, AFileCutShortDuringAnEdit) {
  auto set = MakeSet(swap_);
  KPcmFiles& v = set->Bank(1);
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
    ui_.Arm(title, [&] { ASSERT_EQ(truncate((file = v.Storage->GetFileName()).c_str(), 0), 0); });
    messages_.clear();
    EXPECT_FALSE(run());
    EXPECT_GT(platform::MappedFileFaults(), faults);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(LastMessageNames(swap_) && LastMessageNames(file + " was cut short by another program"));
    EXPECT_EQ(StateOf(v), before);
    EXPECT_EQ(std::filesystem::file_size(v.Storage->GetFileName()), uintmax_t(v.Storage->Size()));
  }
  std::string label;
  ASSERT_TRUE(v.LoadUndo() && v.LoadUndo() && v.LoadUndo() && v.UndoLabel(label));
  EXPECT_EQ(label, "Undo : Mathematical amplifier");
}

// A cut source of the mixer gets its length back (its lost samples are silence now); the mixed voice stays as it was.
// Cut between two commands: the next snapshot or save says so once and gives the file its length back; the one after
// works on what is left.
TEST_F(SwapFaults, AFileCutShortUnderTheMixerOrBetweenCommands) {
  auto set = MakeSet(swap_);
  GiveBig(set->Bank(2));
  GiveVoice(set->Bank(1), 1, 8, 300);
  const auto before = StateOf(set->Bank(1));
  const std::string source = set->Bank(2).Storage->GetFileName();
  ui_.Arm("Mix", [&] { ASSERT_EQ(truncate(source.c_str(), 1000), 0); });
  EXPECT_FALSE(set->Bank(1).MixBanks({1, 2, 0, 0}));
  EXPECT_TRUE(LastMessageNames(source + " was cut short"));
  EXPECT_EQ(StateOf(set->Bank(1)), before);
  std::vector<uint8_t> left = Pattern(1000, 100000);
  left.resize(100000, 0);
  EXPECT_EQ(Bytes(set->Bank(2)), left);
  EXPECT_TRUE(set->Bank(1).MixBanks({1, 2, 0, 0}));
  const std::string saved = PathOf("kept.wav");
  ASSERT_TRUE(Voice(1).SaveWavFile(saved));
  const std::vector<uint8_t> kept = ReadBytes(saved);
  for (const auto& step : std::vector<std::function<bool()>>{[&] { return Voice(1).MathAmplifier(150); },
                                                             [&] { return Voice(1).SaveWavFile(saved); }}) {
    const std::string file = Voice(1).Storage->GetFileName();
    ASSERT_EQ(truncate(file.c_str(), 10), 0);
    EXPECT_FALSE(step());
    EXPECT_TRUE(LastMessageNames(file + " was cut short by another program"));
    EXPECT_EQ(std::make_pair(ReadBytes(saved), std::filesystem::file_size(file)),
              std::make_pair(kept, uintmax_t(100000)));
    EXPECT_TRUE(step());
  }
}

// An input cut short during its load (long enough to be read ahead, so the cut after the first block is met by a read
// still to come) is refused; one removed still loads whole from the open file.
TEST_F(Faults, AnInputCutShortOrRemovedDuringItsLoad) {
  auto set = MakeSet(swap_);
  const std::string path = PathOf("in.wav");
  GiveVoice(Voice(0), 2, 16, 1000000);
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  const std::vector<uint8_t> file = ReadBytes(path);
  GiveVoice(set->Bank(1), 1, 8, 300);
  ui_.Arm("Load WAV file", [&] { std::filesystem::resize_file(path, 1000); });
  ExpectEachFails(*set, swap_, {Text(kNotValid, {path, "WAV"})}, {[&] { return set->Bank(1).LoadWavFile(path); }});
  WriteBytes(path, file);
  ui_.Arm("Load WAV file", [&] { std::filesystem::remove(path); });
  ASSERT_TRUE(set->Bank(1).LoadWavFile(path));
  EXPECT_EQ(Bytes(set->Bank(1)), std::vector<uint8_t>(file.begin() + 44, file.end()));
}

}  // namespace
