#include <gtest/gtest.h>

#include <utility>

#include "display/PointerClicks.h"

namespace {

using B = KPointerButton;
constexpr int kRight = 608;  // the zoom-in box's right edge in the window layout

KClickPositions Voice(int32_t end, int32_t mkl, int32_t mkr, int32_t flg, int32_t ziStart) {
  KClickPositions v;
  v.END = end;
  v.MKL = mkl;
  v.MKR = mkr;
  v.FLG = flg;
  v.ZiStart = ziStart;
  return v;
}

// The first column of frame p >= 2 at 2 pixels a frame and ZiStart 1.
int X(int32_t p) { return 63 + 2 * (p - 1); }

bool Same(const KClickPositions& a, const KClickPositions& b) {
  return a.END == b.END && a.MKL == b.MKL && a.MKR == b.MKR && a.FLG == b.FLG && a.ZiStart == b.ZiStart;
}

TEST(ZoomInClick, PixelToFrameShiftedByOne) {
  const KClickPositions v = Voice(10000, 1, 10000, 1, 100);
  EXPECT_EQ(ZoomInClick(B::Left, 64, 100, kRight, 2, v).Positions.MKL, 100);
  EXPECT_EQ(ZoomInClick(B::Left, 65, 100, kRight, 2, v).Positions.MKL, 101);
  EXPECT_EQ(ZoomInClick(B::Left, 66, 100, kRight, 2, v).Positions.MKL, 101);
  EXPECT_EQ(ZoomInClick(B::Left, 67, 100, kRight, 2, v).Positions.MKL, 102);
  // At 8 pixels a frame the first frame takes columns 64..70.
  EXPECT_EQ(ZoomInClick(B::Left, 70, 100, kRight, 8, v).Positions.MKL, 100);
  EXPECT_EQ(ZoomInClick(B::Left, 71, 100, kRight, 8, v).Positions.MKL, 101);
  EXPECT_EQ(ZoomInClick(B::Left, 607, 272, kRight, 2, v).Positions.MKL, 100 + 544 / 2);
}

TEST(ZoomInClick, OnlyTheInteriorCounts) {
  const KClickPositions v = Voice(1000, 1, 1000, 1, 1);
  for (auto [x, y] : {std::pair{63, 100}, {100, 16}, {100, 273}, {kRight, 100}}) {
    const KClickResult r = ZoomInClick(B::Left, x, y, kRight, 2, v);
    EXPECT_FALSE(r.Acted) << x << "," << y;
    EXPECT_TRUE(Same(r.Positions, v));
    EXPECT_FALSE(r.Redraw.ZoomInBox);
  }
  EXPECT_TRUE(ZoomInClick(B::Left, kRight - 1, 17, kRight, 2, v).Acted);
  // A narrower box ends sooner.
  EXPECT_FALSE(ZoomInClick(B::Left, 500, 100, 500, 2, v).Acted);
}

TEST(ZoomInClick, HeldWithinTheVoice) {
  const KClickPositions shortVoice = Voice(20, 1, 20, 1, 1);
  EXPECT_EQ(ZoomInClick(B::Middle, 600, 100, kRight, 2, shortVoice).Positions.FLG, 20);
  const KClickPositions before = Voice(1000, 5, 6, 1, -50);  // a start before the voice
  EXPECT_EQ(ZoomInClick(B::Middle, 64, 100, kRight, 2, before).Positions.FLG, 1);
}

TEST(ZoomInClick, MarkersExchangeWhenTheyCross) {
  const KClickPositions v = Voice(1000, 100, 200, 1, 1);
  // Left click to the right of MKR: the old MKR becomes MKL.
  KClickResult r = ZoomInClick(B::Left, X(250), 100, kRight, 2, v);
  EXPECT_EQ(r.Positions.MKL, 200);
  EXPECT_EQ(r.Positions.MKR, 250);
  // Right click to the left of MKL: the old MKL becomes MKR.
  r = ZoomInClick(B::Right, X(50), 100, kRight, 2, v);
  EXPECT_EQ(r.Positions.MKL, 50);
  EXPECT_EQ(r.Positions.MKR, 100);
  // Without crossing only the clicked marker moves.
  r = ZoomInClick(B::Right, X(150), 100, kRight, 2, v);
  EXPECT_EQ(r.Positions.MKL, 100);
  EXPECT_EQ(r.Positions.MKR, 150);
  EXPECT_EQ(r.Positions.FLG, 1);
}

TEST(ZoomInClick, UnmarkedVoiceNeverGetsMarkerZero) {
  const KClickPositions v = Voice(1000, 0, 0, 1, 1);
  KClickResult r = ZoomInClick(B::Left, X(10), 100, kRight, 2, v);
  EXPECT_EQ(r.Positions.MKL, 1);
  EXPECT_EQ(r.Positions.MKR, 10);
  r = ZoomInClick(B::Right, X(10), 100, kRight, 2, v);
  EXPECT_EQ(r.Positions.MKL, 1);
  EXPECT_EQ(r.Positions.MKR, 10);
}

TEST(ZoomInClick, WhatEachButtonRedraws) {
  const KClickPositions v = Voice(1000, 1, 1000, 1, 1);
  for (B button : {B::Left, B::Right}) {
    const KClickRedraw d = ZoomInClick(button, 100, 100, kRight, 2, v).Redraw;
    EXPECT_TRUE(d.FillZoomIn && d.ZoomInBox && d.OverviewMarks && d.MarkReadouts && d.OverviewBox);
    EXPECT_FALSE(d.OverviewFlag || d.FlagReadout || d.OverviewPointer);
  }
  const KClickResult flag = ZoomInClick(B::Middle, 100, 100, kRight, 2, v);
  EXPECT_EQ(flag.Positions.FLG, 19);
  EXPECT_EQ(flag.Positions.MKL, 1);
  EXPECT_EQ(flag.Positions.MKR, 1000);
  const KClickRedraw d = flag.Redraw;
  EXPECT_TRUE(d.FillZoomIn && d.ZoomInBox && d.OverviewFlag && d.FlagReadout && d.OverviewBox);
  EXPECT_FALSE(d.OverviewMarks || d.MarkReadouts || d.OverviewPointer);
}

TEST(ZoomInClick, EmptyVoiceIsLeftAlone) {
  const KClickPositions empty;
  for (B button : {B::Left, B::Right, B::Middle}) {
    const KClickResult r = ZoomInClick(button, 100, 100, kRight, 2, empty);
    EXPECT_FALSE(r.Acted);
    EXPECT_TRUE(Same(r.Positions, empty));
  }
}

TEST(OverviewClick, StartsOnMultiplesOfEndDiv543) {
  const KClickPositions v = Voice(10000, 1, 10000, 1, 500);
  EXPECT_EQ(OverviewClick(B::Left, 607, 100, false, v).Positions.ZiStart, 18 * 543);
  EXPECT_EQ(OverviewClick(B::Left, 65, 100, false, v).Positions.ZiStart, 18);
  EXPECT_EQ(OverviewClick(B::Left, 64, 100, false, v).Positions.ZiStart, 1);
  // A voice shorter than 543 frames always starts at 1.
  EXPECT_EQ(OverviewClick(B::Left, 607, 100, false, Voice(542, 1, 542, 1, 300)).Positions.ZiStart, 1);
  // A length that is a multiple of 543 reaches its last frame.
  EXPECT_EQ(OverviewClick(B::Left, 607, 100, false, Voice(1086, 1, 1, 1, 1)).Positions.ZiStart, 1086);
}

TEST(OverviewClick, MovesOnlyTheStartAndRedrawsTheView) {
  const KClickPositions v = Voice(10000, 5, 50, 7, 500);
  const KClickResult r = OverviewClick(B::Left, 100, 100, false, v);
  ASSERT_TRUE(r.Acted);
  EXPECT_EQ(r.Positions.ZiStart, 18 * 36);
  EXPECT_EQ(r.Positions.MKL, 5);
  EXPECT_EQ(r.Positions.MKR, 50);
  EXPECT_EQ(r.Positions.FLG, 7);
  const KClickRedraw d = r.Redraw;
  EXPECT_TRUE(d.FillZoomIn && d.ZoomInBox && d.OverviewPointer && d.OverviewBox);
  EXPECT_FALSE(d.OverviewMarks || d.MarkReadouts || d.OverviewFlag || d.FlagReadout);
}

TEST(OverviewClick, InteriorLeftButtonAndVoiceRequired) {
  const KClickPositions v = Voice(10000, 1, 10000, 1, 500);
  EXPECT_FALSE(OverviewClick(B::Right, 100, 100, false, v).Acted);
  EXPECT_FALSE(OverviewClick(B::Middle, 100, 100, false, v).Acted);
  EXPECT_FALSE(OverviewClick(B::Left, 63, 100, false, v).Acted);
  EXPECT_FALSE(OverviewClick(B::Left, 608, 100, false, v).Acted);
  EXPECT_FALSE(OverviewClick(B::Left, 100, 16, false, v).Acted);
  // Rows 145..160 belong to the second channel only in stereo.
  EXPECT_FALSE(OverviewClick(B::Left, 100, 145, false, v).Acted);
  EXPECT_TRUE(OverviewClick(B::Left, 100, 144, false, v).Acted);
  EXPECT_TRUE(OverviewClick(B::Left, 100, 160, true, v).Acted);
  EXPECT_FALSE(OverviewClick(B::Left, 100, 161, true, v).Acted);
  // An empty voice keeps ZiStart at 0.
  const KClickResult empty = OverviewClick(B::Left, 100, 100, false, KClickPositions{});
  EXPECT_FALSE(empty.Acted);
  EXPECT_EQ(empty.Positions.ZiStart, 0);
}

TEST(AliasPanel, OnlyBetweenTheFirstTwoPanelEdges) {
  EXPECT_FALSE(InAliasPanel(10));
  EXPECT_FALSE(InAliasPanel(370));
  EXPECT_TRUE(InAliasPanel(371));
  EXPECT_TRUE(InAliasPanel(629));
  EXPECT_FALSE(InAliasPanel(630));
}

TEST(AliasPanel, AcceptedTextCutTo19Bytes) {
  EXPECT_EQ(AcceptedAlias(""), "");
  EXPECT_EQ(AcceptedAlias("abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrs");
  // "ü" is two bytes: one at bytes 18 and 19 would be cut in two, so it goes whole.
  EXPECT_EQ(AcceptedAlias("abcdefghijklmnopqr\xC3\xBCz"), "abcdefghijklmnopqr");
  EXPECT_EQ(AcceptedAlias("abcdefghijklmnopq\xC3\xBCz"), "abcdefghijklmnopq\xC3\xBC");
  EXPECT_EQ(kAliasLimit, 19u);
}

TEST(RateScrollBar, RoundsDownAndHoldsTheRange) {
  EXPECT_EQ(RateFromScrollBar(22222, true, 100).Rate, 22200);
  EXPECT_EQ(RateFromScrollBar(2100, true, 100).Rate, 2100);
  EXPECT_EQ(RateFromScrollBar(2000, true, 100).Rate, 2100);
  EXPECT_EQ(RateFromScrollBar(44100, true, 100).Rate, 44100);
  EXPECT_EQ(RateFromScrollBar(50000, true, 100).Rate, 44100);
  EXPECT_TRUE(RateFromScrollBar(16000, true, 1).Acted);
}

TEST(RateScrollBar, NothingBeforeTheVoicesOrOnAnEmptyVoice) {
  EXPECT_FALSE(RateFromScrollBar(16000, false, 100).Acted);
  EXPECT_FALSE(RateFromScrollBar(16000, true, 0).Acted);
}

}  // namespace
