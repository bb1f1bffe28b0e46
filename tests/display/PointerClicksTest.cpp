#include <gtest/gtest.h>

#include <utility>

#include "display/PointerClicks.h"

namespace {

using B = KPointerButton;
constexpr int kRight = 608;  // the zoom-in box's right edge in the window layout

TEST(ZoomInPosition, PixelToFrameShiftedByOne) {
  EXPECT_EQ(ZoomInPosition(64, 100, kRight, 2, 100), 100);
  EXPECT_EQ(ZoomInPosition(65, 100, kRight, 2, 100), 101);
  EXPECT_EQ(ZoomInPosition(66, 100, kRight, 2, 100), 101);
  EXPECT_EQ(ZoomInPosition(67, 100, kRight, 2, 100), 102);
  // At 8 pixels a frame the first frame takes columns 64..70.
  EXPECT_EQ(ZoomInPosition(70, 100, kRight, 8, 100), 100);
  EXPECT_EQ(ZoomInPosition(71, 100, kRight, 8, 100), 101);
  EXPECT_EQ(ZoomInPosition(607, 272, kRight, 2, 100), 100 + 544 / 2);
}

TEST(ZoomInPosition, OnlyTheInteriorCounts) {
  for (auto [x, y] : {std::pair{63, 100}, {100, 16}, {100, 273}, {kRight, 100}})
    EXPECT_EQ(ZoomInPosition(x, y, kRight, 2, 1), std::nullopt) << x << "," << y;
  EXPECT_NE(ZoomInPosition(kRight - 1, 17, kRight, 2, 1), std::nullopt);
  // A narrower box ends sooner.
  EXPECT_EQ(ZoomInPosition(500, 100, 500, 2, 1), std::nullopt);
}

TEST(OverviewStart, StartsOnMultiplesOfEndDiv543) {
  EXPECT_EQ(OverviewStart(B::Left, 607, 100, false, 10000), 18 * 543);
  EXPECT_EQ(OverviewStart(B::Left, 65, 100, false, 10000), 18);
  EXPECT_EQ(OverviewStart(B::Left, 64, 100, false, 10000), 1);
  EXPECT_EQ(OverviewStart(B::Left, 100, 100, false, 10000), 18 * 36);
  // A voice shorter than 543 frames always starts at 1.
  EXPECT_EQ(OverviewStart(B::Left, 607, 100, false, 542), 1);
  // A length that is a multiple of 543 reaches its last frame.
  EXPECT_EQ(OverviewStart(B::Left, 607, 100, false, 1086), 1086);
}

TEST(OverviewStart, InteriorLeftButtonAndVoiceRequired) {
  EXPECT_EQ(OverviewStart(B::Right, 100, 100, false, 10000), std::nullopt);
  EXPECT_EQ(OverviewStart(B::Middle, 100, 100, false, 10000), std::nullopt);
  EXPECT_EQ(OverviewStart(B::Left, 100, 100, false, 0), std::nullopt);  // an empty voice stays as it is
  EXPECT_EQ(OverviewStart(B::Left, 100, 150, false, 10000), std::nullopt);
  EXPECT_EQ(OverviewStart(B::Left, 100, 150, true, 10000), 18 * 36);
  EXPECT_EQ(OverviewStart(B::Left, 608, 100, false, 10000), std::nullopt);
}

TEST(AliasPanel, OnlyBetweenTheFirstTwoPanelEdges) {
  EXPECT_FALSE(InAliasPanel(10));
  EXPECT_FALSE(InAliasPanel(370));
  EXPECT_TRUE(InAliasPanel(371));
  EXPECT_TRUE(InAliasPanel(629));
  EXPECT_FALSE(InAliasPanel(630));
}


}  // namespace
