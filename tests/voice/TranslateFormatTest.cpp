#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"
#include "support/VoiceFixture.h"

namespace {

using Translate = VoiceFixture;

TEST_F(Translate, MonoEightToSixteenKeepsRateLengthAndMarkers) {
  KPcmFiles& v = Current();
  FillMono8(v, {0, 128, 255});
  v.SampleRate = 11025;
  v.MKL = 2;
  v.FLG = 3;
  v.ZiStart = 2;
  ASSERT_TRUE(v.TranslateFormat(1, 16));
  EXPECT_EQ(Samples16(v), (std::vector<int16_t>{-32768, 0, 32512}));
  EXPECT_EQ(v.END, 3);
  EXPECT_EQ(v.MKL, 2);
  EXPECT_EQ(v.MKR, 3);
  EXPECT_EQ(v.FLG, 3);
  EXPECT_EQ(v.ZiStart, 2);
  EXPECT_EQ(v.SampleRate, 11025);
  EXPECT_EQ(v.UndoDepth(), 0);
}

TEST_F(Translate, StereoSixteenToMonoEightAcrossWindows) {
  KPcmFiles& v = Current();
  std::vector<int16_t> samples;
  for (int i = 0; i < 40000; ++i) {
    samples.push_back(int16_t(i - 20000));
    samples.push_back(int16_t(20000 - i));
  }
  Fill16(v, 2, samples);
  ASSERT_TRUE(v.TranslateFormat(1, 8));
  std::vector<uint8_t> bytes = Bytes(v);
  ASSERT_EQ(bytes.size(), 40000u);
  for (uint8_t b : bytes) ASSERT_EQ(b, 128);  // the channels cancel out
}

TEST_F(Translate, SameFormatReportsFalseAndEmptyVoiceTakesTheFormat) {
  KPcmFiles& v = Current();
  EXPECT_FALSE(v.TranslateFormat(1, 8));
  EXPECT_FALSE(v.TranslateFormat(2, 16));
  EXPECT_EQ(v.Channels, 2);
  EXPECT_EQ(v.BitsPerSample, 16);
  EXPECT_EQ(v.END, 0);
}

TEST_F(Translate, AFullSwapFolderLeavesTheVoiceAsItWas) {
  KPcmFiles& v = Current();
  FillMono8(v, std::vector<uint8_t>(60000, 200));
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(v.TranslateFormat(2, 16));
  }
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find(swap_), std::string::npos);
  EXPECT_EQ(v.Channels, 1);
  EXPECT_EQ(v.BitsPerSample, 8);
  EXPECT_EQ(Bytes(v), std::vector<uint8_t>(60000, 200));
}

TEST_F(Translate, MissingSwapFolderIsReportedNotTurnedIntoSilence) {
  KPcmFiles& v = Current();
  FillMono8(v, {10, 20, 30});
  std::filesystem::path moved = swap_ + ".away";
  // The voice's own file stays open; only new stores fail.
  std::filesystem::rename(swap_, moved);
  EXPECT_FALSE(v.TranslateFormat(1, 16));
  EXPECT_FALSE(v.SnapshotForEdit("Undo : Echo"));
  std::filesystem::rename(moved, swap_);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_NE(messages_[0].find(swap_), std::string::npos);
  EXPECT_EQ(Bytes(v), (std::vector<uint8_t>{10, 20, 30}));
  EXPECT_EQ(v.BitsPerSample, 8);
}

}  // namespace
