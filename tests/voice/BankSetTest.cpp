// The fifteen voices: their default state, clears, bank switches, swap
// files, the alias, and play and record without a device.
#include "VoiceTests.h"
#include "platform/SystemDir.h"

namespace {

class Banks : public VoiceTests {
 protected:
  // The default state: an empty mono 8-bit voice at 16000 Hz, bound to its bank's default MXV file.
  static auto DefaultOf(int bank) {
    return std::make_tuple(std::vector<uint8_t>{}, 1, 8, 16000, std::array<int32_t, 5>{},
                           platform::DefaultVoiceFileName(bank), "Alias Name"s, KFileType::Mxv, 0, 16);
  }
  static auto StateWithStore(KPcmFiles& v) {
    return std::tuple_cat(std::make_tuple(Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate),
                          std::make_tuple(std::array<int32_t, 5>{v.END, v.MKL, v.MKR, v.FLG, v.ZiStart}, v.FileName,
                                          v.AliasName, v.FileType, v.UndoDepth(), v.Storage->Size()));
  }
};

// A clear restores the default state; clearing all banks leaves the copy buffer and the working voices.
TEST_F(Banks, VoicesStartAndClearToTheDefaultState) {
  for (int i = 0; i < KBankSet::kVoices; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Voice(i).BankNumber, i);
    EXPECT_EQ(StateWithStore(Voice(i)), DefaultOf(i));
  }
  EXPECT_EQ(std::make_pair(banks_.CurrentBankNumber, banks_.CurrentVoice), std::make_pair(1, &Voice(1)));
  EXPECT_NE(Voice(12).FileName.find("/Bank012.MXV"), std::string::npos);
  for (int i : {0, 1, 3, 12, 13, 14}) FillMono8(Voice(i), {9, 9});
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo"));
  std::tie(Voice(1).FileName, Voice(1).FileType, Voice(1).SampleRate) =
      std::make_tuple("/x/y.wav"s, KFileType::Wav, 8000);
  EXPECT_TRUE(banks_.ClearCurrentBank());
  EXPECT_EQ(StateWithStore(Voice(1)), DefaultOf(1));
  banks_.ClearAllBanks();
  for (int i : {0, 3, 12, 13, 14}) EXPECT_EQ(Voice(i).END, i == 3 || i == 12 ? 0 : 2) << i;
}

TEST_F(Banks, SwitchingBanksKeepsEachBankAsItWas) {
  FillMono8(Voice(3), {1, 2, 3, 4, 5});
  Mark(Voice(3), 2, 5, 1);
  Voice(3).ZiStart = 4;
  Voice(3).SaveUndo("Undo : Cut marked area");
  const auto before = StateOf(Voice(3));
  banks_.SelectBank(3);
  banks_.SelectBank(5);
  EXPECT_EQ(std::make_pair(banks_.CurrentBankNumber, banks_.CurrentVoice), std::make_pair(5, &Voice(5)));
  banks_.SelectBank(3);
  banks_.SelectBank(13);  // not a bank the window can select
  EXPECT_EQ(std::make_pair(banks_.CurrentBankNumber, banks_.CurrentVoice), std::make_pair(3, &Voice(3)));
  EXPECT_EQ(StateOf(Current()), before);
  EXPECT_EQ(Voice(5).UndoDepth(), 0);
}

TEST_F(Banks, SwapFilesGoWithTheirVoices) {
  EXPECT_EQ(Voice(2).Storage->GetFileName().rfind(swap_ + "/SY$", 0), 0u);
  {
    KBankSet other(swap_, KHeadlessVoice::Factory(nullptr));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(swap_), {}), 30);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(swap_), {}), 15);
}

// The alias keeps the 19 bytes the MXV header holds, never half a character
// ("ü" is two bytes: at bytes 19 and 20 it would be cut in two, so it goes whole).
TEST_F(Banks, TheAliasIsCutAtACharacterBoundary) {
  for (auto [alias, kept] : {std::pair{"", ""},
                             {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrs"},
                             {"abcdefghijklmnopqr\xC3\xBCz", "abcdefghijklmnopqr"},
                             {"abcdefghijklmnopq\xC3\xBCz", "abcdefghijklmnopq\xC3\xBC"}}) {
    Voice(1).SetAlias(alias);
    EXPECT_EQ(Voice(1).AliasName, kept);
  }
}

// Without a device: a recording shows error 9 once (bad arguments none) and
// leaves the voice; a play of a valid range shows error 6.
TEST_F(Banks, PlayAndRecordWithoutADevice) {
  EXPECT_TRUE(Current().PlayRange(1, 1));  // empty voice: nothing to play
  FillMono8(Current(), {1, 2, 3, 4, 5});
  ASSERT_TRUE(Current().SaveUndo("Undo : Echo"));
  const auto before = StateOf(Current());
  EXPECT_FALSE(Current().RecordVoice(2, 16, 16000, 16000));
  EXPECT_FALSE(Current().RecordVoice(3, 16, 100, 16000));
  EXPECT_EQ(StateOf(Current()), before);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Error 009 \n\n", 0), 0u);
  EXPECT_FALSE(Current().PlayRange(3, 2));
  EXPECT_TRUE(Current().PlayRange(2, 2));
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(Current().PlayRange(1, 5));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].rfind("Error 006 \n\nWin32 API : waveOutOpen( ) \n", 0), 0u);
}

}  // namespace
