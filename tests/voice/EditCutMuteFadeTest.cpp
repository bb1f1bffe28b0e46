#include <gtest/gtest.h>

#include <climits>

#include "EditFixture.h"
#include "resources/StringTable.h"

namespace {

class EditCut : public EditFixture {
 protected:
  static std::vector<int16_t> FadeFromShortest(KPcmFiles& v, bool (KPcmFiles::*fade)(), int32_t mkl, int32_t last,
                                               const char* label);
};

std::vector<uint8_t> Frames(const std::vector<uint8_t>& all, int from, int to) {
  return std::vector<uint8_t>(all.begin() + from - 1, all.begin() + to);
}

TEST_F(EditCut, CutMarkedAndUnmarkKeepTheRightFrames) {
  const std::vector<uint8_t> raw = Ramp(100, 1);
  FillMono8(Current(), raw);
  Mark(Current(), 11, 20, 50);
  State before = Capture(Current());
  ASSERT_TRUE(Current().CutMarked());
  std::vector<uint8_t> kept = Frames(raw, 1, 10);
  std::vector<uint8_t> tail = Frames(raw, 21, 100);
  kept.insert(kept.end(), tail.begin(), tail.end());
  EXPECT_EQ(Bytes(Current()), kept);
  ExpectMarkers(Current(), 90, 1, 90, 1, 1);
  ExpectUndoTo(Current(), before, "Undo : Cut marked area");

  ASSERT_TRUE(Current().CutUnmark());
  EXPECT_EQ(Bytes(Current()), Frames(raw, 11, 20));
  ExpectMarkers(Current(), 10, 1, 10, 1, 1);
  ExpectUndoTo(Current(), before, "Undo : Cut unmark area");
}

TEST_F(EditCut, CuttingTheWholeVoiceEmptiesIt) {
  Fill16(Current(), 2, {1, 2, 3, 4});
  ASSERT_TRUE(Current().CutMarked());
  ExpectMarkers(Current(), 0, 0, 0, 0, 0);
  EXPECT_EQ(Current().Storage->Size(), 16);
  EXPECT_EQ(Current().UndoDepth(), 1);
}

TEST_F(EditCut, EmptyVoiceRefusesCutMuteAndFadeSilently) {
  KPcmFiles& v = Current();
  for (auto op : {&KPcmFiles::CutMarked, &KPcmFiles::CutUnmark, &KPcmFiles::MuteMarked, &KPcmFiles::MuteUnmark,
                  &KPcmFiles::FadeIn, &KPcmFiles::FadeOut})
    EXPECT_FALSE((v.*op)());
  EXPECT_TRUE(messages_.empty());
  ExpectMarkers(v, 0, 0, 0, 0, 0);
}

TEST_F(EditCut, MuteWritesSilenceInsideOrOutsideTheMarks) {
  FillMono8(Current(), Ramp(6));
  Mark(Current(), 2, 4, 5);
  State before = Capture(Current());
  ASSERT_TRUE(Current().MuteMarked());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{10, 128, 128, 128, 50, 60}));
  ExpectMarkers(Current(), 6, 2, 4, 5, 1);
  ExpectUndoTo(Current(), before, "Undo : Fill mute marked area");

  Fill16(Current(), 2, {1, 2, 3, 4, 5, 6, 7, 8});
  Mark(Current(), 2, 3, 1);
  before = Capture(Current());
  ASSERT_TRUE(Current().MuteUnmark());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{0, 0, 3, 4, 5, 6, 0, 0}));
  ExpectUndoTo(Current(), before, "Undo : Fill mute unmark area");
}

// `fade` refuses the marked area mkl..last and changes nothing; with MKR one
// frame further it runs and can be undone under `label`. Gives the result.
std::vector<int16_t> EditCut::FadeFromShortest(KPcmFiles& v, bool (KPcmFiles::*fade)(), int32_t mkl,
                                               int32_t last, const char* label) {
  Mark(v, mkl, last, 1);
  EXPECT_FALSE((v.*fade)());
  EXPECT_EQ(v.UndoDepth(), 0);
  v.MKR = last + 1;
  const State before = Capture(v);
  EXPECT_TRUE((v.*fade)());
  std::vector<int16_t> result = Samples16(v);
  ExpectUndoTo(v, before, label);
  return result;
}

TEST_F(EditCut, FadeInNeedsMoreThanSixteenFramesAndStartsAtSilence) {
  Fill16(Current(), 1, std::vector<int16_t>(20, 1700));
  std::vector<int16_t> s = FadeFromShortest(Current(), &KPcmFiles::FadeIn, 1, 16, "Undo : Linear Fade-in");
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[8], 800);    // 8/17
  EXPECT_EQ(s[16], 1600);  // 16/17
  EXPECT_EQ(s[17], 1700);  // past MKR
}

TEST_F(EditCut, FadeOutReachesSilenceAtMkr) {
  Fill16(Current(), 2, std::vector<int16_t>(16, -900));
  std::vector<int16_t> s = FadeFromShortest(Current(), &KPcmFiles::FadeOut, 5, 5, "Undo : Linear Fade-out");
  EXPECT_EQ(s[8], -900);  // frame 5, both channels
  EXPECT_EQ(s[9], -900);
  EXPECT_EQ(s[10], 0);  // frame 6
  EXPECT_EQ(s[11], 0);

  // Eight bits: frame p of MKL 1, MKR 5 keeps 1 - (p - 1)/4, truncated.
  FillMono8(Current(), {228, 228, 28, 28, 228});
  ASSERT_TRUE(Current().FadeOut());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{228, 203, 78, 103, 128}));
}

TEST_F(EditCut, ShortVoicesAreNotFaded) {
  FillMono8(Current(), {1, 2});
  EXPECT_FALSE(Current().FadeOut());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{1, 2}));
}

TEST_F(EditCut, SetEndAtFlgCutsOnlyWithRoomBehindTheFlag) {
  FillMono8(Current(), Ramp(100, 1));
  Mark(Current(), 3, 50, 98);
  EXPECT_TRUE(Current().SetEndAtFlg());
  EXPECT_EQ(Current().END, 100);
  EXPECT_EQ(Current().UndoDepth(), 0);

  Current().FLG = 97;
  State before = Capture(Current());
  ASSERT_TRUE(Current().SetEndAtFlg());
  EXPECT_EQ(Bytes(Current()), Ramp(97, 1));
  ExpectMarkers(Current(), 97, 1, 97, 1, 1);
  ExpectUndoTo(Current(), before, "Undo : Set voice END at FLG position");

  Current().ClearBank();
  EXPECT_TRUE(Current().SetEndAtFlg());
  EXPECT_EQ(Current().END, 0);
}

TEST_F(EditCut, InsertMuteGoesAfterTheFlag) {
  FillMono8(Current(), {1, 2, 3, 4});
  Mark(Current(), 1, 4, 2);
  State before = Capture(Current());
  ASSERT_TRUE(Current().InsertMute(3));
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{1, 2, 128, 128, 128, 3, 4}));
  ExpectMarkers(Current(), 7, 2, 4, 1, 1);
  ExpectUndoTo(Current(), before, "Undo : Insert mute");
}

TEST_F(EditCut, InsertMuteIntoAnEmptyVoiceKeepsItsFormat) {
  Current().Channels = 2;
  Current().BitsPerSample = 16;
  ASSERT_TRUE(Current().InsertMute(5));
  EXPECT_EQ(Samples16(Current()), std::vector<int16_t>(10, 0));
  ExpectMarkers(Current(), 5, 1, 5, 1, 1);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

TEST_F(EditCut, InsertMuteRefusesNegativeAndOversizedCounts) {
  FillMono8(Current(), Ramp(10));
  State before = Capture(Current());
  EXPECT_TRUE(Current().InsertMute(0));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(Current().InsertMute(-3));
  EXPECT_FALSE(Current().InsertMute(INT32_MAX));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kNegativeInsert));
  EXPECT_EQ(messages_[1], KFormatMessage(msg::kTooLong, "the insert"));
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

}  // namespace
