#include <gtest/gtest.h>

#include "EditFixture.h"
#include "resources/StringTable.h"

namespace {

using EditMix = EditFixture;
using EditSplit = EditFixture;
using EditMerge = EditFixture;

std::vector<int16_t> Series(int n, int start, int step) {
  std::vector<int16_t> s;
  for (int i = 0; i < n; ++i) s.push_back(int16_t(start + i * step));
  return s;
}

TEST_F(EditMix, LongestLengthAndHighestRateWithoutResampling) {
  Fill16(Voice(2), 1, Series(100, 1, 1));
  Voice(2).SampleRate = 8000;
  Fill16(Voice(3), 1, Series(50, 1000, 10));
  Voice(3).SampleRate = 22050;
  FillMono8(Current(), {1, 2, 3});
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MixBanks({2, 0, 3, 0}));
  std::vector<int16_t> expected = Series(100, 1, 1);
  for (int i = 0; i < 50; ++i) expected[size_t(i)] = int16_t(expected[size_t(i)] + 1000 + 10 * i);
  EXPECT_EQ(Samples16(Current()), expected);
  EXPECT_EQ(Current().Channels, 1);
  EXPECT_EQ(Current().BitsPerSample, 16);
  EXPECT_EQ(Current().SampleRate, 22050);
  ExpectMarkers(Current(), 100, 1, 100, 1, 1);
  // The mixer takes no snapshot and keeps the ones there were.
  std::string label;
  EXPECT_TRUE(Current().UndoLabel(label));
  EXPECT_EQ(label, "Undo : Echo");
  EXPECT_EQ(Current().UndoDepth(), 1);
}

TEST_F(EditMix, NoSourceOrOnlyEmptyOnesChangeNothing) {
  FillMono8(Current(), {1, 2, 3});
  State before = Capture(Current());
  EXPECT_TRUE(Current().MixBanks({0, 0, 0, 0}));
  EXPECT_TRUE(Current().MixBanks({4, 5, 15, -1}));
  EXPECT_TRUE(Capture(Current()) == before);
}

TEST_F(EditMix, AnEmptySourceLendsNeitherRateNorFormat) {
  FillMono8(Voice(2), {130, 140});
  Voice(2).SampleRate = 8000;
  Voice(3).Channels = 2;
  Voice(3).BitsPerSample = 16;  // an empty bank of another format
  ASSERT_TRUE(Current().MixBanks({2, 3, 0, 0}));
  EXPECT_EQ(Current().SampleRate, 8000);
  EXPECT_EQ(Current().Channels, 1);
  EXPECT_EQ(Current().BitsPerSample, 8);
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{130, 140}));
}

TEST_F(EditMix, SourcesAreConvertedToTheResultFormat) {
  FillMono8(Voice(2), {129, 127});        // values 1 and -1
  Fill16(Voice(3), 2, {100, -100, 5, 7});  // stereo 16-bit
  ASSERT_TRUE(Current().MixBanks({2, 3, 0, 0}));
  EXPECT_EQ(Current().Channels, 2);
  EXPECT_EQ(Current().BitsPerSample, 16);
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{356, 156, -251, -249}));
}

TEST_F(EditMix, ABankChosenTwiceAndTheCurrentVoiceAreReadIndependently) {
  Fill16(Current(), 1, {10, 20, 30});
  Fill16(Voice(2), 1, {1, 2, 3, 4});
  ASSERT_TRUE(Current().MixBanks({2, 1, 2, 0}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{12, 24, 36, 8}));

  Fill16(Voice(2), 1, {30000, -30000});
  ASSERT_TRUE(Current().MixBanks({2, 2, 2, 2}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{32767, -32768}));
}

TEST_F(EditMix, ATooLongResultIsRefused) {
  FillMono8(Voice(2), {1, 2});
  Voice(2).END = 600'000'000;
  Fill16(Voice(3), 2, {1, 2});
  FillMono8(Current(), {5});
  State before = Capture(Current());
  EXPECT_FALSE(Current().MixBanks({2, 3, 0, 0}));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KFormatMessage(msg::kTooLong, "the mix"));
  EXPECT_TRUE(Capture(Current()) == before);
}

TEST_F(EditSplit, ChannelsGoToTwoMonoBanks) {
  std::vector<int16_t> stereo;
  for (int i = 0; i < 1000; ++i) {
    stereo.push_back(int16_t(i));
    stereo.push_back(int16_t(-i));
  }
  Fill16(Current(), 2, stereo);
  Current().SampleRate = 11025;
  Voice(5).SetAlias("five");
  FillMono8(Voice(6), {1, 2, 3});
  ASSERT_TRUE(Voice(6).SnapshotForEdit("Undo : Echo"));
  State before = Capture(Current());
  ASSERT_TRUE(Current().SplitChannels(5, 6));
  EXPECT_EQ(Samples16(Voice(5)), Series(1000, 0, 1));
  EXPECT_EQ(Samples16(Voice(6)), Series(1000, 0, -1));
  for (int bank : {5, 6}) {
    EXPECT_EQ(Voice(bank).Channels, 1);
    EXPECT_EQ(Voice(bank).BitsPerSample, 16);
    EXPECT_EQ(Voice(bank).SampleRate, 11025);
    ExpectMarkers(Voice(bank), 1000, 1, 1000, 1, 1);
    EXPECT_EQ(Voice(bank).UndoDepth(), 0);
    EXPECT_TRUE(Voice(bank).OverviewStale);
  }
  EXPECT_EQ(Voice(5).AliasName, "five");
  EXPECT_TRUE(Capture(Current()) == before);
}

TEST_F(EditSplit, RefusesMonoVoicesAndOneBankForBothChannels) {
  FillMono8(Current(), {1, 2});
  EXPECT_FALSE(Current().SplitChannels(2, 3));
  EXPECT_TRUE(messages_.empty());  // the window reports Error 016

  Fill(Current(), 2, 8, {1, 2, 3, 4});
  FillMono8(Voice(2), {9});
  EXPECT_FALSE(Current().SplitChannels(2, 2));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kSplitSameBank));
  EXPECT_EQ(Bytes(Voice(2)), (std::vector<uint8_t>{9}));
}

TEST_F(EditSplit, IntoTheCurrentBankItselfGivesItsFirstChannel) {
  Fill(Current(), 2, 8, {1, 2, 3, 4, 5, 6});
  ASSERT_TRUE(Current().SplitChannels(1, 2));
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{1, 3, 5}));
  EXPECT_EQ(Bytes(Voice(2)), (std::vector<uint8_t>{2, 4, 6}));
  EXPECT_EQ(Current().Channels, 1);
}

TEST_F(EditSplit, AnEmptyStereoVoiceGivesEmptyMonoBanks) {
  Current().Channels = 2;
  Current().BitsPerSample = 16;
  FillMono8(Voice(3), {1, 2, 3});
  ASSERT_TRUE(Current().SplitChannels(3, 4));
  for (int bank : {3, 4}) {
    ExpectMarkers(Voice(bank), 0, 0, 0, 0, 0);
    EXPECT_EQ(Voice(bank).Storage->Size(), 16);
    EXPECT_EQ(Voice(bank).Channels, 1);
    EXPECT_EQ(Voice(bank).BitsPerSample, 16);
  }
}

TEST_F(EditMerge, ShorterSourceIsPaddedWithSilence) {
  FillMono8(Voice(2), std::vector<uint8_t>(300, 10));
  Voice(2).SampleRate = 8000;
  FillMono8(Voice(3), std::vector<uint8_t>(500, 20));
  Voice(3).SampleRate = 44100;
  FillMono8(Current(), {1});
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MergeChannels(2, 3));
  std::vector<uint8_t> bytes = Bytes(Current());
  ASSERT_EQ(bytes.size(), 1000u);
  EXPECT_EQ(bytes[0], 10);
  EXPECT_EQ(bytes[1], 20);
  EXPECT_EQ(bytes[599], 20);
  EXPECT_EQ(bytes[600], 128);  // frame 301, channel 1
  EXPECT_EQ(bytes[999], 20);
  EXPECT_EQ(Current().Channels, 2);
  EXPECT_EQ(Current().SampleRate, 8000);
  ExpectMarkers(Current(), 500, 1, 500, 1, 1);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

TEST_F(EditMerge, RefusesStereoSourcesAndDifferentWidths) {
  FillMono8(Current(), {1, 2});
  State before = Capture(Current());
  Fill(Voice(2), 2, 8, {1, 2});
  FillMono8(Voice(3), {3});
  Fill16(Voice(4), 1, {4});
  EXPECT_FALSE(Current().MergeChannels(3, 2));
  EXPECT_FALSE(Current().MergeChannels(3, 4));
  EXPECT_FALSE(Current().MergeChannels(0, 0));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kMergeStereoSource));
  EXPECT_EQ(messages_[1], KLoadMessageText(msg::kMergeWidths));
  EXPECT_TRUE(Current().MergeChannels(5, 6));  // both empty: nothing to do
  EXPECT_TRUE(Capture(Current()) == before);
}

TEST_F(EditMerge, TheCurrentVoiceMayBeASource) {
  Fill16(Current(), 1, {1, 2, 3});
  Fill16(Voice(2), 1, {-1, -2});
  ASSERT_TRUE(Current().MergeChannels(2, 1));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{-1, 1, -2, 2, 0, 3}));
}

}  // namespace
