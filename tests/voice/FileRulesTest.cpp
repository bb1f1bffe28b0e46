#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "FileFixture.h"
#include "support/FileSizeLimit.h"

namespace {

using Rules = FileFixture;

// Every file format keeps the samples (up to a multiple of 4 bytes) and the
// sample format; only MXV keeps the rate exactly and the alias.
TEST_F(Rules, RoundTripInEveryFormatAndSampleFormat) {
  const std::string path = PathOf("round.bin");
  for (Kind kind : {Kind::Mxv, Kind::Wav, Kind::Voc, Kind::Raw}) {
    for (auto [channels, bits, rawType] : {std::tuple{1, 8, KPcmFiles::kRawMono8},
                                           {1, 16, KPcmFiles::kRawMono16},
                                           {2, 8, KPcmFiles::kRawStereo8},
                                           {2, 16, KPcmFiles::kRawStereo16}}) {
      SCOPED_TRACE(int(kind) * 1000 + channels * 100 + bits);
      GiveVoice(Voice(0), channels, bits, 2501, 11127);  // more than one 4096-byte block
      ASSERT_TRUE(SaveAs(Voice(0), kind, path));
      ASSERT_TRUE(LoadAs(Voice(2), kind, path, channels, bits));
      KPcmFiles& v = Voice(2);
      std::vector<uint8_t> expected = Bytes(Voice(0));
      expected.resize(expected.size() & ~size_t(3));
      EXPECT_EQ(Bytes(v), expected);
      EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample), std::tie(channels, bits));
      EXPECT_EQ(v.SampleRate, kind == Kind::Raw ? 8000 : 11125);
      EXPECT_EQ(v.AliasName, kind == Kind::Mxv ? "voice alias" : "");
      EXPECT_EQ(v.FileType, kind == Kind::Raw   ? rawType
                            : kind == Kind::Mxv ? KPcmFiles::kMxv
                            : kind == Kind::Wav ? KPcmFiles::kWav
                                                : KPcmFiles::kVoc);
      EXPECT_EQ(v.FileName, path);
      ExpectMarkedWhole(v, int32_t(expected.size()) / v.FrameBytes());
    }
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Rules, DuplicateFileIsRefusedBeforeTheFileIsOpened) {
  const std::string path = PathOf("held.wav");  // need not exist: the check comes first
  Voice(7).FileName = path;
  Voice(5).FileName = path;
  GiveVoice(Voice(3), 1, 8, 20);
  ASSERT_TRUE(Voice(3).SaveUndo("Undo : Echo"));
  const State before = StateOf(Voice(3));
  EXPECT_FALSE(Voice(3).LoadWavFile(path));
  EXPECT_EQ(LastMessage(), KFormatMessage(msg::kAlreadyInBank, path.c_str(), 5));
  EXPECT_EQ(StateOf(Voice(3)), before);
  EXPECT_EQ(Voice(3).UndoDepth(), 1);

  // A bank may reload its own file; the comparison is exact.
  GiveVoice(Voice(0), 1, 8, 8);
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  Voice(7).FileName = Voice(5).FileName = PathOf("HELD.wav");
  EXPECT_TRUE(Voice(3).LoadWavFile(path));
  EXPECT_TRUE(Voice(3).LoadWavFile(path));
  EXPECT_FALSE(Voice(5).LoadWavFile(path));
  EXPECT_EQ(LastMessage(), KFormatMessage(msg::kAlreadyInBank, path.c_str(), 3));

  // Voices 13 and 14 are checked only against each other.
  EXPECT_TRUE(Voice(13).LoadWavFile(path));
  EXPECT_FALSE(Voice(14).LoadWavFile(path));
  EXPECT_EQ(LastMessage(), KFormatMessage(msg::kAlreadyInBank, path.c_str(), 13));
  EXPECT_TRUE(Voice(0).LoadWavFile(path));
}

TEST_F(Rules, RefusedFileStillDropsTheUndoSnapshots) {
  GiveVoice(Voice(1), 2, 16, 10);
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  const State before = StateOf(Voice(1));
  WriteBytes(PathOf("junk.voc"), Pattern(100));
  EXPECT_FALSE(Voice(1).LoadVocFile(PathOf("junk.voc")));
  EXPECT_EQ(StateOf(Voice(1)), before);
  EXPECT_EQ(Voice(1).UndoDepth(), 0);
}

TEST_F(Rules, OnlyRegularFilesAreLoadedAndNothingWaits) {
  const std::string fifo = PathOf("fifo.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(Voice(1).LoadWavFile(fifo));
  EXPECT_EQ(LastMessage(), NotValid(fifo, "WAV"));
  EXPECT_FALSE(Voice(1).LoadRawPcmFile(dir_.Path(), 1, 8));
  EXPECT_EQ(LastMessage(), NotValid(dir_.Path(), "PCM"));
}

TEST_F(Rules, SaveBindsTheVoiceToItsFileAndFormat) {
  KPcmFiles& v = Voice(1);
  GiveVoice(v, 1, 8, 100);
  ASSERT_TRUE(v.SaveUndo("Undo : Echo"));
  const std::string path = PathOf("bound.voc");
  ASSERT_TRUE(v.SaveVocFile(path));
  EXPECT_EQ(v.FileName, path);
  EXPECT_EQ(v.FileType, KPcmFiles::kVoc);
  EXPECT_EQ(v.UndoDepth(), 0);
  EXPECT_FALSE(v.OverviewStale);

  // "Save" writes the format of the file type to the own file name.
  GiveVoice(v, 2, 16, 50);
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(path).size(), 42u + 200);
  EXPECT_EQ(ReadBytes(path)[26], 9);

  const std::string raw = PathOf("bound.pcm");
  WriteBytes(raw, Pattern(64));
  ASSERT_TRUE(v.LoadRawPcmFile(raw, 2, 16));
  GiveVoice(v, 2, 16, 7);
  ASSERT_TRUE(v.SaveToOwnFile());
  std::vector<uint8_t> frames = Bytes(v);
  EXPECT_EQ(ReadBytes(raw), std::vector<uint8_t>(frames.begin(), frames.begin() + 28));
  EXPECT_EQ(v.FileType, KPcmFiles::kRawStereo16);

  // A cleared voice saves as MXV.
  v.ClearBank();
  EXPECT_EQ(v.FileType, KPcmFiles::kMxv);
  v.FileName = PathOf("cleared.mxv");
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(v.FileName).size(), 128u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Rules, SavingReloadsTheWorkingVoicesHoldingThatFile) {
  const std::string wav = PathOf("shared.wav"), pcm = PathOf("shared.pcm");
  GiveVoice(Voice(0), 1, 8, 40);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav));
  ASSERT_TRUE(Voice(0).SaveRawPcmFile(pcm));
  ASSERT_TRUE(Voice(13).LoadWavFile(wav));
  ASSERT_TRUE(Voice(14).LoadRawPcmFile(pcm, 1, 16));

  GiveVoice(Voice(2), 2, 16, 30);
  ASSERT_TRUE(Voice(2).SaveWavFile(wav));
  EXPECT_EQ(Bytes(Voice(13)), Bytes(Voice(2)));
  EXPECT_EQ(Voice(13).Channels, 2);
  // Voice 14 reloads in its own file type, raw mono 16-bit.
  ASSERT_TRUE(Voice(2).SaveRawPcmFile(pcm));
  EXPECT_EQ(std::tie(Voice(14).Channels, Voice(14).BitsPerSample, Voice(14).END), std::make_tuple(1, 16, 60));
  EXPECT_EQ(Bytes(Voice(14)), Bytes(Voice(2)));
  EXPECT_TRUE(Voice(2).ReloadCopiesOfFile());

  // Only a save from banks 1..12 reloads, and only the exact name.
  GiveVoice(Voice(0), 1, 8, 12);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav));
  EXPECT_EQ(Voice(13).END, 30);
  GiveVoice(Voice(2), 1, 8, 12);
  ASSERT_TRUE(Voice(2).SaveWavFile(PathOf("SHARED.wav")));
  EXPECT_EQ(Voice(13).END, 30);
  EXPECT_FALSE(Voice(2).ReloadCopiesOfFile());

  // A copy that cannot read the new format keeps its samples.
  ASSERT_TRUE(Voice(3).SaveMxvFile(wav));
  EXPECT_EQ(LastMessage(), NotValid(wav, "WAV"));
  EXPECT_EQ(Voice(13).END, 30);
  EXPECT_EQ(Voice(13).FileType, KPcmFiles::kWav);
}

TEST_F(Rules, SaveFileNameReplacesOnlyTheLastExtension) {
  KPcmFiles& v = Voice(1);
  v.FileName = "/v/a.mxv";
  EXPECT_EQ(v.MakeSaveFileName(".WAV"), "/v/a.WAV");
  EXPECT_EQ(v.MakeSaveFileName(), "/v/a.mxv");
  v.FileName = "/v.d/a";
  EXPECT_EQ(v.MakeSaveFileName(".PCM"), "/v.d/a.PCM");
  v.FileName = "/v/a.b.voc";
  EXPECT_EQ(v.MakeSaveFileName(".MXV"), "/v/a.b.MXV");
  v.FileName = "a";
  EXPECT_EQ(v.MakeSaveFileName(".VOC"), "a.VOC");
}

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().string());
  return names;
}

// A save that fails part-way (here the file-size limit, as a full disk
// would) keeps the old file, leaves no temporary behind and changes nothing.
TEST_F(Rules, FailedSaveKeepsTheOldFileAndTheVoice) {
  const std::string path = PathOf("old.wav");
  const std::vector<uint8_t> old = Pattern(300, 7);
  KPcmFiles& v = Voice(1);
  GiveVoice(v, 2, 16, 5000);
  ASSERT_TRUE(v.SaveUndo("Undo : Echo"));
  const State before = StateOf(v);
  for (int format = 0; format < 4; ++format) {
    SCOPED_TRACE(format);
    WriteBytes(path, old);
    const std::set<std::string> files = Listing(dir_.Path());
    bool saved = true;
    {
      FileSizeLimit limit(8192);
      saved = SaveAs(v, Kind(format), path);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(LastMessage(), KFormatMessage(msg::kCannotCreate, path.c_str()));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(Listing(dir_.Path()), files);
    EXPECT_EQ(StateOf(v), before);
    EXPECT_EQ(v.UndoDepth(), 1);
  }
  EXPECT_FALSE(v.SaveWavFile(PathOf("missing/a.wav")));
  EXPECT_FALSE(v.SaveWavFile(dir_.Path()));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.Path()));
  EXPECT_EQ(LastMessage(), KFormatMessage(msg::kCannotCreate, dir_.Path().c_str()));
  EXPECT_EQ(StateOf(v), before);
}

TEST_F(Rules, ReplacedFileKeepsItsPermissionsAndLinks) {
  const std::string path = PathOf("perm.wav"), link = PathOf("link.wav");
  WriteBytes(path, {1});
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  std::filesystem::create_symlink(path, link);
  GiveVoice(Voice(1), 1, 8, 8);
  ASSERT_TRUE(Voice(1).SaveWavFile(link));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(path).size(), 44u + 8);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A progress window that is always visible and records what it is told.
class RecordingUi : public KUiHooks {
 public:
  bool ProgressVisible() const override { return true; }
  void ProgressTitle(const std::string& title) override { titles.push_back(title); }
  void ProgressBar(int percent) override { bars.push_back(percent); }
  void PushCursor(KCursorRole role) override { cursors.push_back(role); }
  void PopCursor() override { ++pops; }
  std::vector<std::string> titles;
  std::vector<int> bars;
  std::vector<KCursorRole> cursors;
  int pops = 0;
};

TEST_F(Rules, ProgressPerBlockUnderTheLoadAndSaveCursors) {
  RecordingUi ui;
  KBankSet set(swap_, KHeadlessVoice::Factory(nullptr), &ui);
  KPcmFiles& v = set.Bank(1);
  GiveVoice(v, 1, 8, 10000);
  ASSERT_TRUE(v.SaveWavFile(PathOf("p.wav")));
  ASSERT_TRUE(v.LoadWavFile(PathOf("p.wav")));
  EXPECT_EQ(ui.titles, (std::vector<std::string>{"Save WAV file", "Load WAV file"}));
  // 10000 bytes: blocks end at 4096, 8192 and 10000, once for each direction.
  EXPECT_EQ(ui.bars, (std::vector<int>{40, 81, 100, 40, 81, 100}));
  EXPECT_EQ(ui.cursors, (std::vector<KCursorRole>{KCursorRole::Save, KCursorRole::Load}));
  EXPECT_EQ(ui.pops, 2);
}

}  // namespace
