// The rules every format shares: the duplicate-file refusal, "Save" by file
// type, the reload of copies, and saves that fail.
#include <filesystem>

#include "VoiceTests.h"
#include "support/FileSizeLimit.h"

namespace {

using Rules = VoiceTests;

// The first bank holding the file is named, before the file is opened; a bank
// may reload its own file; names compare exactly. Voices 13 and 14 check only
// against each other, and reload a file saved from banks 1..12 under its exact
// name, each in its own file type.
TEST_F(Rules, DuplicateFilesAndTheReloadOfCopies) {
  const std::string wav = PathOf("shared.wav"), pcm = PathOf("shared.pcm");
  Voice(7).FileName = Voice(5).FileName = wav;
  GiveVoice(Voice(3), 1, 8, 20);
  ASSERT_TRUE(Voice(3).SaveUndo("Undo : Echo"));
  const auto before = StateOf(Voice(3));
  EXPECT_FALSE(Voice(3).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "5"}));
  EXPECT_EQ(StateOf(Voice(3)), before);  // undo snapshots included
  Voice(7).FileName = Voice(5).FileName = PathOf("SHARED.wav");
  GiveVoice(Voice(0), 1, 8, 40);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav) && Voice(0).SaveRawPcmFile(pcm));
  ASSERT_TRUE(Voice(3).LoadWavFile(wav) && Voice(3).LoadWavFile(wav));
  EXPECT_FALSE(Voice(5).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "3"}));
  ASSERT_TRUE(Voice(13).LoadWavFile(wav) && Voice(14).LoadRawPcmFile(pcm, 1, 16));
  EXPECT_FALSE(Voice(14).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "13"}));
  GiveVoice(Voice(3), 2, 16, 30);
  ASSERT_TRUE(Voice(3).SaveWavFile(wav) && Voice(3).SaveRawPcmFile(pcm));
  EXPECT_EQ(std::make_tuple(Voice(13).Channels, Voice(14).Channels, Voice(14).BitsPerSample, Bytes(Voice(13))),
            std::make_tuple(2, 1, 16, Bytes(Voice(3))));
  EXPECT_EQ(Bytes(Voice(14)), Bytes(Voice(3)));
  GiveVoice(Voice(0), 1, 8, 12);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav) && Voice(5).SaveWavFile(PathOf("SHARED.wav")));
  EXPECT_FALSE(Voice(5).ReloadCopiesOfFile());
  EXPECT_EQ(Voice(13).END, 30);
}

// "Save" writes the format of the file type to the own file name and drops
// the undo snapshots; a replaced file keeps its permissions and its link. A raw
// file type keeps the sample format, while the rate lives only in memory.
TEST_F(Rules, SaveByFileType) {
  KPcmFiles& v = Voice(1);
  const std::string voc = PathOf("own.voc"), pcm = PathOf("own.pcm"), target = PathOf("target");
  WriteBytes(target, {1});
  std::filesystem::permissions(target, std::filesystem::perms(0640));
  std::filesystem::create_symlink(target, voc);
  GiveVoice(v, 1, 8, 100);
  ASSERT_TRUE(v.SaveVocFile(voc) && v.SaveUndo("Undo : Echo"));
  GiveVoice(v, 2, 16, 50);
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(target).size(), 42u + 200);
  EXPECT_EQ(std::make_tuple(std::filesystem::is_symlink(voc), std::filesystem::status(target).permissions()),
            std::make_tuple(true, std::filesystem::perms(0640)));
  EXPECT_EQ(std::make_pair(v.UndoDepth(), v.OverviewStale), std::make_pair(0, false));
  GiveVoice(v, 2, 8, 1001, 22050);
  ASSERT_TRUE(v.SaveRawPcmFile(pcm));
  GiveVoice(v, 2, 8, 7);
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(pcm), Pattern(12, 7));  // the voice's first 12 bytes
  EXPECT_EQ(v.SampleRate, 22050);
  ASSERT_TRUE(v.ReloadFromOwnFile());
  EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate, v.END), std::make_tuple(2, 8, 8000, 6));
  v.ClearBank();  // a cleared voice saves as MXV
  v.FileName = PathOf("cleared.mxv");
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(v.FileName).size(), 128u);
  for (auto [name, extension, proposed] : {std::tuple{"/v/a.mxv", ".WAV", "/v/a.WAV"},
                                           {"/v/a.mxv", "", "/v/a.mxv"},
                                           {"/v.d/a", ".PCM", "/v.d/a.PCM"},
                                           {"/v/a.b.voc", ".MXV", "/v/a.b.MXV"}}) {
    v.FileName = name;  // "Save as" proposes the own name with the format's extension
    EXPECT_EQ(v.MakeSaveFileName(extension), proposed);
  }
}

// A save that fails part-way (at the file-size limit, as on a full disk) or cannot start
// keeps the old file and the voice, undo included, and leaves no temporary file behind.
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
  Fill(v, 1, 8, {});  // the shortest mono 8-bit voice too long for one VOC block: L + 12 passes 0xFFFFFF
  ASSERT_TRUE(v.Storage->Resize(0xFFFFFF - 11));
  v.END = 0xFFFFFF - 11;
  before = StateOf(v);
  refused(v.SaveVocFile(path), path, KLoadMessageText(msg::kVocTooLong));
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
  EXPECT_EQ(ui.log,
            "Save cursor, Save WAV file, 40, 81, 100, cursor back; "
            "Load cursor, Load WAV file, 40, 81, 100, cursor back; ");
}

}  // namespace
