// The mixer, split and merge: edits that read or write other banks.
#include "EditFixture.h"

using EditBanks = EditFixture;

// The longest length and the highest rate of the sources that have frames,
// without resampling; shorter sources end in silence. Snapshots stay as they were.
TEST_F(EditBanks, MixLengthRateAndPadding) {
  FillMono8(Voice(2), {130, 140, 150});
  Voice(2).SampleRate = 11025;
  FillMono8(Voice(3), {129, 127});
  Voice(3).SampleRate = 8000;
  Voice(4).Channels = 2;  // empty, at 16000 Hz
  Voice(4).BitsPerSample = 16;
  FillMono8(Current(), {1, 2});
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MixBanks({2, 4, 3, 0}));
  EXPECT_EQ(Capture(Current()), Whole(1, 8, 11025, {131, 139, 150}));
  EXPECT_EQ(Current().UndoDepth(), 1);
  // Sources of another format are converted first; each is read on its own,
  // so a bank may be chosen twice and the current voice may be one.
  FillMono8(Voice(2), {129, 127});  // 1 and -1, scaled, in both channels
  Fill16(Voice(3), 2, {100, -100, 5, 7});
  ASSERT_TRUE(Current().MixBanks({3, 2, 0, 0}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{356, 156, -251, -249}));
  Fill16(Current(), 1, {10, 20, 30});
  Fill16(Voice(2), 1, {1, 2, 3, 4});
  ASSERT_TRUE(Current().MixBanks({2, 1, 2, 0}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{12, 24, 36, 8}));
  Fill16(Voice(2), 1, {30000, -30000});
  ASSERT_TRUE(Current().MixBanks({2, 2, 2, 2}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{32767, -32768}));
}

// Split gives each channel to a mono bank in the voice's width and rate; merge
// makes two mono banks of one width the voice's channels, the shorter ending
// in silence, at the first one's rate. Both drop the snapshots they replace.
TEST_F(EditBanks, SplitAndMergeChannels) {
  Fill(Current(), 2, 8, {1, 2, 3, 4, 5, 6});
  Current().SampleRate = 11025;
  FillMono8(Voice(6), {9});
  ASSERT_TRUE(Voice(6).SnapshotForEdit("Undo : Echo"));
  const State before = Capture(Current());
  ASSERT_TRUE(Current().SplitChannels(5, 6));
  EXPECT_EQ(Capture(Current()), before);
  EXPECT_EQ(Capture(Voice(5)), Whole(1, 8, 11025, {1, 3, 5}));
  EXPECT_EQ(Capture(Voice(6)), Whole(1, 8, 11025, {2, 4, 6}));
  EXPECT_EQ(Voice(6).UndoDepth(), 0);
  FillMono8(Voice(6), {2, 4, 6, 8});
  Voice(6).SampleRate = 8000;
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MergeChannels(5, 6));
  EXPECT_EQ(Capture(Current()), Whole(2, 8, 11025, {1, 2, 3, 4, 5, 6, 128, 8}));
  EXPECT_EQ(Current().UndoDepth(), 0);
  // The current bank may be a destination, or a source.
  Fill16(Current(), 2, {1, -1, 2, -2});
  ASSERT_TRUE(Current().SplitChannels(1, 2));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(Samples16(Voice(2)), (std::vector<int16_t>{-1, -2}));
  ASSERT_TRUE(Current().MergeChannels(2, 1));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{-1, 1, -2, 2}));
}
