// The fifteen voices and the rules every format shares: the default state, clears, the alias, the duplicate-file
// refusal, "Save" by file type, the reload of copies, and saves that fail.
#include "VoiceTests.h"
#include "platform/SystemDir.h"

namespace {

using Rules = VoiceTests;

// The default state: an empty mono 8-bit voice at 16000 Hz of the smallest store, bound to its bank's default MXV
// file. A clear restores it; clearing all banks leaves the copy buffer and the working voices; bank 13 is not one
// the window can select.
TEST_F(Rules, VoicesStartAndClearToTheDefaultState) {
  auto state = [](KPcmFiles& v) { return std::make_tuple(StateOf(v), v.BankNumber, v.Storage->Size()); };
  auto initial = [](int bank) {
    return std::make_tuple(
        std::make_tuple(Whole(1, 8, 16000, {}), platform::DefaultVoiceFileName(bank), "Alias Name"s, KFileType::Mxv, 0),
        bank, 16);
  };
  for (int i = 0; i < KBankSet::kVoices; ++i) EXPECT_EQ(state(Voice(i)), initial(i));
  EXPECT_NE(Voice(12).FileName.find("/Bank012.MXV"), std::string::npos);
  for (int i : {0, 1, 3, 12, 13, 14}) FillMono8(Voice(i), {9, 9});
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  std::tie(Voice(1).FileName, Voice(1).FileType, Voice(1).SampleRate) =
      std::make_tuple("/x/y.wav"s, KFileType::Wav, 8000);
  EXPECT_TRUE(banks_.ClearCurrentBank());
  EXPECT_EQ(state(Voice(1)), initial(1));
  banks_.ClearAllBanks();
  for (int i : {0, 3, 12, 13, 14}) EXPECT_EQ(Voice(i).END, i == 3 || i == 12 ? 0 : 2) << i;
  banks_.SelectBank(3);
  banks_.SelectBank(13);
  EXPECT_EQ(std::make_pair(banks_.CurrentBankNumber, banks_.CurrentVoice), std::make_pair(3, &Voice(3)));
  // The alias keeps the 19 bytes the MXV header holds, never half a character ("ü" is two bytes).
  for (auto [alias, kept] : {std::pair{"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrs"},
                             {"abcdefghijklmnopqr\xC3\xBCz", "abcdefghijklmnopqr"},
                             {"abcdefghijklmnopq\xC3\xBCz", "abcdefghijklmnopq\xC3\xBC"}}) {
    Voice(1).SetAlias(alias);
    EXPECT_EQ(Voice(1).AliasName, kept);
  }
}

// The first bank holding the file is named, before the file is opened; a bank may reload its own file; names compare
// exactly. Voices 13 and 14 check only against each other, and reload a file saved from banks 1..12 under its exact
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

// "Save" writes the format of the file type to the own file name and drops the undo snapshots; a replaced file keeps
// its permissions and its link. A raw file type keeps the sample format, while the rate lives only in memory.
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
  ASSERT_TRUE(v.ReloadFromOwnFile());
  EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate, v.END), std::make_tuple(2, 8, 8000, 6));
  v.ClearBank();  // a cleared voice saves as MXV
  v.FileName = PathOf("cleared.mxv");
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(v.FileName).size(), 128u);
}

// A save that fails part-way (at the file-size limit, as on a full disk) or cannot start keeps the old file and the
// voice, undo included, and leaves no temporary file behind; so does a voice too long for one VOC block.
TEST_F(Rules, FailedSaveKeepsTheOldFileAndTheVoice) {
  const std::string path = PathOf("old.wav"), missing = PathOf("missing/a.wav");
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
    EXPECT_EQ(FilesIn(dir_.Path()), 2u);  // old.wav and the swap folder
    EXPECT_EQ(StateOf(v), before);
  };
  for (Kind kind : kKinds) {
    FileSizeLimit limit(8192);
    refused(SaveAs(v, kind, path), path, kCannotCreate);
  }
  refused(v.SaveWavFile(missing), missing, kCannotCreate);
  Fill(v, 1, 8, {});  // the shortest mono 8-bit voice too long for one VOC block: L + 12 passes 0xFFFFFF
  ASSERT_TRUE(v.Storage->Resize(0xFFFFFF - 11));
  v.END = 0xFFFFFF - 11;
  before = StateOf(v);
  refused(v.SaveVocFile(path), path, KLoadMessageText(msg::kVocTooLong));
}

}  // namespace
