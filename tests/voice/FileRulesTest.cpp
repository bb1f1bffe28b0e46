// The rules every format shares: round trips, the duplicate-file refusal,
// "Save" by file type, the reload of copies, and saves that fail.
#include <filesystem>

#include "FileFixture.h"
#include "support/FileSizeLimit.h"

namespace {

using Rules = FileFixture;

// Samples and sample format come back in every format (up to a multiple of 4
// bytes); only MXV keeps the rate exactly and the alias, raw PCM loads at 8000 Hz.
TEST_F(Rules, RoundTripInEveryFormatAndSampleFormat) {
  const std::string path = PathOf("round.bin");
  for (Kind kind : kKinds) {
    for (auto [channels, bits, rawType] : {std::tuple{1, 8, 1}, {1, 16, 2}, {2, 8, 3}, {2, 16, 4}}) {
      SCOPED_TRACE(kName[int(kind)] + std::to_string(channels) + std::to_string(bits));
      GiveVoice(Voice(0), channels, bits, 2501, 11127);  // more than one 4096-byte block
      ASSERT_TRUE(SaveAs(Voice(0), kind, path));
      ASSERT_TRUE(LoadAs(Voice(2), kind, path, channels, bits));
      const KPcmFiles& v = Voice(2);
      std::vector<uint8_t> expected = Bytes(Voice(0));
      expected.resize(expected.size() & ~size_t(3));
      const size_t header[] = {128, 44, 42, 0};
      EXPECT_EQ(ReadBytes(path).size(), header[int(kind)] + expected.size());
      EXPECT_EQ(Bytes(Voice(2)), expected);
      EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.FileName), std::tie(channels, bits, path));
      EXPECT_EQ(v.SampleRate, kind == Kind::Raw ? 8000 : 11125);
      EXPECT_EQ(v.AliasName, kind == Kind::Mxv ? "voice alias" : "");
      EXPECT_EQ(v.FileType, kind == Kind::Raw ? rawType : KPcmFiles::kMxv + int(kind));  // MXV, WAV, VOC: 5, 6, 7
    }
  }
  EXPECT_TRUE(messages_.empty());
}

// A bank's own file is a reload; the names are compared exactly.
TEST_F(Rules, DuplicateFileIsRefusedBeforeTheFileIsOpened) {
  const std::string path = PathOf("held.wav");  // need not exist: the check comes first
  Voice(7).FileName = Voice(5).FileName = path;
  GiveVoice(Voice(3), 1, 8, 20);
  ASSERT_TRUE(Voice(3).SaveUndo("Undo : Echo"));
  const auto before = StateOf(Voice(3));
  EXPECT_FALSE(Voice(3).LoadWavFile(path));
  EXPECT_EQ(LastMessage(), Text(kInBank, {path, "5"}));  // the first bank holding it
  EXPECT_EQ(StateOf(Voice(3)), before);
  EXPECT_EQ(Voice(3).UndoDepth(), 1);

  GiveVoice(Voice(0), 1, 8, 8);
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  Voice(7).FileName = Voice(5).FileName = PathOf("HELD.wav");
  EXPECT_TRUE(Voice(3).LoadWavFile(path));
  EXPECT_TRUE(Voice(3).LoadWavFile(path));
  EXPECT_FALSE(Voice(5).LoadWavFile(path));
  EXPECT_EQ(LastMessage(), Text(kInBank, {path, "3"}));
}

// "Save" writes the format of the file type to the own file name; a raw file
// type keeps its sample format, while the rate lives only in memory.
TEST_F(Rules, SaveByFileType) {
  KPcmFiles& v = Voice(1);
  GiveVoice(v, 1, 8, 100);
  ASSERT_TRUE(v.SaveUndo("Undo : Echo"));
  const std::string voc = PathOf("own.voc"), raw = PathOf("own.pcm");
  ASSERT_TRUE(v.SaveVocFile(voc));
  EXPECT_EQ(std::tie(v.FileName, v.FileType), std::make_tuple(voc, int32_t(KPcmFiles::kVoc)));
  EXPECT_EQ(std::make_pair(v.UndoDepth(), v.OverviewStale), std::make_pair(0, false));
  GiveVoice(v, 2, 16, 50);
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(voc).size(), 42u + 200);

  GiveVoice(v, 2, 8, 1001, 22050);
  ASSERT_TRUE(v.SaveRawPcmFile(raw));
  EXPECT_EQ(std::tie(v.FileType, v.SampleRate), std::make_tuple(int32_t(KPcmFiles::kRawStereo8), 22050));
  GiveVoice(v, 2, 8, 7);
  ASSERT_TRUE(v.SaveToOwnFile());
  const std::vector<uint8_t> frames = Bytes(v);
  EXPECT_EQ(ReadBytes(raw), std::vector<uint8_t>(frames.begin(), frames.begin() + 12));
  ASSERT_TRUE(v.ReloadFromOwnFile());
  EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate, v.END), std::make_tuple(2, 8, 8000, 6));

  v.ClearBank();  // a cleared voice saves as MXV
  v.FileName = PathOf("cleared.mxv");
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(v.FileName).size(), 128u);
  EXPECT_TRUE(messages_.empty());
}

// Voices 13 and 14 reload a file saved from banks 1..12 under the exact name,
// each in its own file type; they check duplicates only against each other.
TEST_F(Rules, SavingReloadsTheExtraVoicesHoldingThatFile) {
  const std::string wav = PathOf("shared.wav"), pcm = PathOf("shared.pcm");
  GiveVoice(Voice(0), 1, 8, 40);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav) && Voice(0).SaveRawPcmFile(pcm));
  ASSERT_TRUE(Voice(13).LoadWavFile(wav) && Voice(14).LoadRawPcmFile(pcm, 1, 16));
  EXPECT_FALSE(Voice(14).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "13"}));

  GiveVoice(Voice(2), 2, 16, 30);
  ASSERT_TRUE(Voice(2).SaveWavFile(wav) && Voice(2).SaveRawPcmFile(pcm));
  EXPECT_EQ(std::tie(Voice(13).Channels, Voice(13).BitsPerSample, Voice(13).END), std::make_tuple(2, 16, 30));
  EXPECT_EQ(std::tie(Voice(14).Channels, Voice(14).BitsPerSample, Voice(14).END), std::make_tuple(1, 16, 60));
  EXPECT_EQ(Bytes(Voice(13)), Bytes(Voice(2)));
  EXPECT_EQ(Bytes(Voice(14)), Bytes(Voice(2)));

  GiveVoice(Voice(0), 1, 8, 12);
  GiveVoice(Voice(2), 1, 8, 12);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav) && Voice(2).SaveWavFile(PathOf("SHARED.wav")));
  EXPECT_FALSE(Voice(2).ReloadCopiesOfFile());
  EXPECT_EQ(Voice(13).END, 30);
  // A copy that cannot read the new format keeps its samples.
  ASSERT_TRUE(Voice(3).SaveMxvFile(wav));
  EXPECT_EQ(LastMessage(), Text(kNotValid, {wav, "WAV"}));
  EXPECT_EQ(std::tie(Voice(13).END, Voice(13).FileType), std::make_tuple(30, int32_t(KPcmFiles::kWav)));
}

TEST_F(Rules, SaveFileNameReplacesOnlyTheLastExtension) {
  for (auto [name, extension, proposed] : {std::tuple{"/v/a.mxv", ".WAV", "/v/a.WAV"}, {"/v/a.mxv", "", "/v/a.mxv"},
                                           {"/v.d/a", ".PCM", "/v.d/a.PCM"}, {"/v/a.b.voc", ".MXV", "/v/a.b.MXV"}}) {
    Voice(1).FileName = name;
    EXPECT_EQ(Voice(1).MakeSaveFileName(extension), proposed);
  }
}

// A save that fails part-way (at the file-size limit, as on a full disk) or
// cannot start keeps the old file and the voice, undo included, and leaves
// no temporary file behind.
TEST_F(Rules, FailedSaveKeepsTheOldFileAndTheVoice) {
  const std::string path = PathOf("old.wav");
  const std::vector<uint8_t> old = Pattern(300, 7);
  KPcmFiles& v = Voice(1);
  GiveVoice(v, 2, 16, 5000);
  ASSERT_TRUE(v.SaveUndo("Undo : Echo"));
  WriteBytes(path, old);
  auto before = StateOf(v);
  auto refused = [&](bool saved, const std::string& target, const std::string& text) {
    EXPECT_FALSE(saved);
    EXPECT_EQ(LastMessage(), Text(text, {target}));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2);  // old.wav and the swap
    EXPECT_EQ(StateOf(v), before);
  };
  for (Kind kind : kKinds) {
    FileSizeLimit limit(8192);
    refused(SaveAs(v, kind, path), path, kCannotCreate);
  }
  refused(v.SaveWavFile(PathOf("missing/a.wav")), PathOf("missing/a.wav"), kCannotCreate);
  EXPECT_EQ(v.UndoDepth(), 1);
  // The shortest mono 8-bit voice too long for one VOC block: L + 12 passes 0xFFFFFF.
  Fill(v, 1, 8, {});
  ASSERT_TRUE(v.Storage->Resize(0xFFFFFF - 11));
  v.END = 0xFFFFFF - 11;
  before = StateOf(v);
  refused(v.SaveVocFile(path), path, KLoadMessageText(msg::kVocTooLong));
}

TEST_F(Rules, ReplacedFileKeepsItsPermissionsAndLinks) {
  const std::string path = PathOf("perm.wav"), link = PathOf("link.wav");
  WriteBytes(path, {1});
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  std::filesystem::create_symlink(path, link);
  GiveVoice(Voice(1), 1, 8, 8);
  ASSERT_TRUE(Voice(1).SaveWavFile(link));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(path).size(), 44u + 8);
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
}

// A progress window that is always visible and logs what it is told.
struct LoggingUi : KUiHooks {
  bool ProgressVisible() const override { return true; }
  void ProgressTitle(const std::string& title) override { log += title + ", "; }
  void ProgressBar(int percent) override { log += std::to_string(percent) + ", "; }
  void PushCursor(KCursorRole role) override { log += role == KCursorRole::Save ? "Save cursor, " : "Load cursor, "; }
  void PopCursor() override { log += "cursor back; "; }
  std::string log;
};

TEST_F(Rules, ProgressPerBlockUnderTheLoadAndSaveCursors) {
  LoggingUi ui;
  KBankSet set(swap_, KHeadlessVoice::Factory(nullptr), &ui);
  GiveVoice(set.Bank(1), 1, 8, 10000);  // blocks end at 4096, 8192 and 10000 bytes
  ASSERT_TRUE(set.Bank(1).SaveWavFile(PathOf("p.wav")) && set.Bank(1).LoadWavFile(PathOf("p.wav")));
  EXPECT_EQ(ui.log, "Save cursor, Save WAV file, 40, 81, 100, cursor back; "
                    "Load cursor, Load WAV file, 40, 81, 100, cursor back; ");
}

}  // namespace
