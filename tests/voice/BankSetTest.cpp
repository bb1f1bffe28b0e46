#include <gtest/gtest.h>

#include "platform/SystemDir.h"
#include "support/VoiceFixture.h"

namespace {

using Banks = VoiceFixture;

void ExpectDefault(KPcmFiles& v, int bank) {
  EXPECT_EQ(v.Channels, 1);
  EXPECT_EQ(v.BitsPerSample, 8);
  EXPECT_EQ(v.SampleRate, 16000);
  EXPECT_EQ(v.END, 0);
  EXPECT_EQ(v.MKL, 0);
  EXPECT_EQ(v.MKR, 0);
  EXPECT_EQ(v.FLG, 0);
  EXPECT_EQ(v.ZiStart, 0);
  EXPECT_EQ(v.FileName, platform::DefaultVoiceFileName(bank));
  EXPECT_EQ(v.AliasName, "Alias Name");
  EXPECT_EQ(v.FileType, KFileType::Mxv);
  EXPECT_EQ(v.UndoDepth(), 0);
  EXPECT_EQ(v.Storage->Size(), 16);
}

TEST_F(Banks, FifteenVoicesStartInTheDefaultStateWithBankOneCurrent) {
  for (int i = 0; i < KBankSet::kVoices; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Voice(i).BankNumber, i);
    ExpectDefault(Voice(i), i);
  }
  EXPECT_EQ(banks_.CurrentBankNumber, 1);
  EXPECT_EQ(banks_.CurrentVoice, &Voice(1));
  EXPECT_NE(Voice(12).FileName.find("/Bank012.MXV"), std::string::npos);
}

TEST_F(Banks, ClearBankRestoresTheDefaultState) {
  FillMono8(Voice(1), {1, 2, 3, 4});
  Voice(1).SaveUndo("Undo : Echo");
  Voice(1).FileName = "/x/y.wav";
  Voice(1).FileType = KFileType::Wav;
  Voice(1).SampleRate = 8000;
  EXPECT_TRUE(banks_.ClearCurrentBank());
  ExpectDefault(Voice(1), 1);
}

TEST_F(Banks, ClearAllLeavesCopyBufferAndWorkingVoices) {
  for (int i : {0, 3, 12, 13, 14}) FillMono8(Voice(i), {9, 9});
  banks_.ClearAllBanks();
  EXPECT_EQ(Voice(3).END, 0);
  EXPECT_EQ(Voice(12).END, 0);
  EXPECT_EQ(Voice(0).END, 2);
  EXPECT_EQ(Voice(13).END, 2);
  EXPECT_EQ(Voice(14).END, 2);
}

TEST_F(Banks, SwitchingBanksKeepsEachBankAsItWas) {
  FillMono8(Voice(3), {1, 2, 3, 4, 5});
  Voice(3).MKL = 2;
  Voice(3).ZiStart = 4;
  Voice(3).SaveUndo("Undo : Cut marked area");
  banks_.SelectBank(3);
  EXPECT_EQ(banks_.CurrentVoice, &Voice(3));
  banks_.SelectBank(5);
  EXPECT_EQ(banks_.CurrentBankNumber, 5);
  banks_.SelectBank(3);
  EXPECT_EQ(Current().MKL, 2);
  EXPECT_EQ(Current().ZiStart, 4);
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Current().UndoDepth(), 1);
  EXPECT_EQ(Voice(5).UndoDepth(), 0);
  banks_.SelectBank(13);  // not a bank the window can select
  EXPECT_EQ(banks_.CurrentBankNumber, 3);
}

TEST_F(Banks, SwapFilesGoWithTheirVoices) {
  std::string path = Voice(2).Storage->GetFileName();
  EXPECT_EQ(path.rfind(swap_ + "/SY$", 0), 0u);
  {
    KBankSet other(swap_, KHeadlessVoice::Factory(nullptr));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(swap_), {}), 30);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(swap_), {}), 15);
}

TEST_F(Banks, PrepareLoadRefusesAFileAnotherBankHolds) {
  Voice(5).FileName = "/v/a.mxv";
  Voice(7).FileName = "/v/a.mxv";
  FillMono8(Voice(3), {1, 2});
  Voice(3).SaveUndo("Undo : Echo");
  EXPECT_FALSE(Voice(3).PrepareLoad("/v/a.mxv"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0],
            "Error 002 \n\nThe file : /v/a.mxv \nWas exist already on Melotrix BankID = 5\n"
            "System can not reload it !!!");
  EXPECT_EQ(Voice(3).UndoDepth(), 1);  // a refusal keeps the snapshots

  Voice(7).FileName = "/v/b.mxv";
  EXPECT_TRUE(Voice(5).PrepareLoad("/v/a.mxv"));  // a reload of its own file
  EXPECT_TRUE(Voice(3).PrepareLoad("/v/A.mxv"));  // names differ in case
  EXPECT_EQ(Voice(3).UndoDepth(), 0);

  // Working voices only look at each other.
  Voice(14).FileName = "/v/a.mxv";
  EXPECT_TRUE(Voice(13).PrepareLoad("/v/c.mxv"));
  EXPECT_FALSE(Voice(13).PrepareLoad("/v/a.mxv"));
  EXPECT_TRUE(Voice(0).PrepareLoad("/v/a.mxv"));
}

TEST_F(Banks, RecordVoiceWithoutADeviceLeavesTheVoiceAsItWas) {
  FillMono8(Current(), {1, 2, 3});
  Current().SaveUndo("Undo : Echo");
  EXPECT_FALSE(Current().RecordVoice(2, 16, 16000, 16000));
  EXPECT_EQ(Current().END, 3);
  EXPECT_EQ(Current().MKL, 1);
  EXPECT_EQ(Current().Channels, 1);
  EXPECT_EQ(Current().BitsPerSample, 8);
  EXPECT_EQ(Current().UndoDepth(), 1);
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{1, 2, 3}));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Error 009 \n\n", 0), 0u);
  EXPECT_FALSE(Current().RecordVoice(3, 16, 100, 16000));
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(Banks, PlayWithoutADeviceShowsErrorSix) {
  EXPECT_TRUE(Current().PlayRange(1, 1));  // empty voice: nothing to play
  FillMono8(Current(), {1, 2, 3, 4, 5});
  EXPECT_FALSE(Current().PlayRange(3, 2));
  EXPECT_TRUE(Current().PlayRange(2, 2));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(Current().PlayRange(1, 5));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Error 006 \n\nWin32 API : waveOutOpen( ) \n", 0), 0u);
}

}  // namespace

namespace {

// The alias keeps the 19 bytes the MXV header holds, never half a character.
TEST_F(Banks, TheAliasIsCutAtACharacterBoundary) {
  KPcmFiles& v = Voice(1);
  v.SetAlias("");
  EXPECT_EQ(v.AliasName, "");
  v.SetAlias("abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(v.AliasName, "abcdefghijklmnopqrs");
  // "ü" is two bytes: at bytes 19 and 20 it would be cut in two, so it goes whole.
  v.SetAlias("abcdefghijklmnopqr\xC3\xBCz");
  EXPECT_EQ(v.AliasName, "abcdefghijklmnopqr");
  v.SetAlias("abcdefghijklmnopq\xC3\xBCz");
  EXPECT_EQ(v.AliasName, "abcdefghijklmnopq\xC3\xBC");
}

}  // namespace
