#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "display/paint/ImageCanvas.h"

namespace {

using Points = std::set<std::pair<int, int>>;

constexpr KColour kBack = 0x000000, kPen = 0xFFFFFF;

// The textbook incremental Bresenham: a decision value decides at each step of
// the longer axis whether the shorter one moves; it moves only when the line
// passes strictly beyond the halfway point. The end point is not plotted.
Points ReferenceLine(int x0, int y0, int x1, int y1) {
  const long long dx = std::llabs(1LL * x1 - x0), dy = std::llabs(1LL * y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  const bool steep = dy > dx;
  const long long major = steep ? dy : dx, minor = steep ? dx : dy;
  long long d = 2 * minor - major;
  long long x = x0, y = y0;
  Points points;
  for (long long i = 0; i < major; ++i) {
    points.insert({int(x), int(y)});
    if (d > 0) {
      if (steep)
        x += sx;
      else
        y += sy;
      d -= 2 * major;
    }
    d += 2 * minor;
    if (steep)
      y += sy;
    else
      x += sx;
  }
  return points;
}

Points Inked(const KImageCanvas& canvas) {
  Points points;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
      if (canvas.PixelAt(x, y) == kPen) points.insert({x, y});
  return points;
}

Points Visible(const Points& points, int w, int h) {
  Points visible;
  for (const auto& p : points)
    if (p.first >= 0 && p.second >= 0 && p.first < w && p.second < h) visible.insert(p);
  return visible;
}

Points Drawn(int x0, int y0, int x1, int y1, int w = 40, int h = 30) {
  KImageCanvas canvas(w, h, kBack);
  canvas.Line(x0, y0, x1, y1, kPen);
  return Inked(canvas);
}

TEST(LineTest, HorizontalAndVerticalLeaveOutTheEndPixel) {
  Points row, column, back;
  for (int x = 3; x < 12; ++x) row.insert({x, 5});
  for (int y = 2; y < 20; ++y) column.insert({7, y});
  for (int x = 12; x > 3; --x) back.insert({x, 8});
  EXPECT_EQ(Drawn(3, 5, 12, 5), row);
  EXPECT_EQ(Drawn(7, 2, 7, 20), column);
  EXPECT_EQ(Drawn(12, 8, 3, 8), back);  // drawn right to left: (3, 8) is the end
}

TEST(LineTest, ShallowAndSteepSlopesByHand) {
  // Offsets 0, 0.5, 1, 1.5 round to 0, 0, 1, 1: halfway stays on the start's side.
  EXPECT_EQ(Drawn(0, 0, 4, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Drawn(4, 2, 0, 0), (Points{{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
  EXPECT_EQ(Drawn(10, 10, 11, 14), (Points{{10, 10}, {10, 11}, {10, 12}, {11, 13}}));
  EXPECT_EQ(Drawn(5, 5, 8, 8), (Points{{5, 5}, {6, 6}, {7, 7}}));
}

TEST(LineTest, AllOctantsMatchTheReference) {
  const int cx = 20, cy = 15;
  for (int dx = -12; dx <= 12; ++dx)
    for (int dy = -12; dy <= 12; ++dy) {
      SCOPED_TRACE(testing::Message() << "to " << dx << "," << dy);
      EXPECT_EQ(Drawn(cx, cy, cx + dx, cy + dy), ReferenceLine(cx, cy, cx + dx, cy + dy));
    }
}

TEST(LineTest, ZeroLengthDrawsNothing) { EXPECT_TRUE(Drawn(5, 5, 5, 5).empty()); }

TEST(LineTest, LinesCrossingTheBordersAreClippedExactly) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-60, 100);
  for (int n = 0; n < 400; ++n) {
    const int x0 = coordinate(random), y0 = coordinate(random), x1 = coordinate(random), y1 = coordinate(random);
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    EXPECT_EQ(Drawn(x0, y0, x1, y1), Visible(ReferenceLine(x0, y0, x1, y1), 40, 30));
  }
}

TEST(LineTest, FarAwayEndsStillPlaceTheRightPixels) {
  const int x0 = -200000, y0 = -70001, x1 = 200013, y1 = 70003;
  EXPECT_EQ(Drawn(x0, y0, x1, y1), Visible(ReferenceLine(x0, y0, x1, y1), 40, 30));
  EXPECT_EQ(Drawn(35, -300000, 2, 250000), Visible(ReferenceLine(35, -300000, 2, 250000), 40, 30));

  Points row, diagonal;
  for (int x = 0; x < 40; ++x) row.insert({x, 4});
  for (int k = 0; k < 30; ++k) diagonal.insert({k, k});
  EXPECT_EQ(Drawn(INT_MIN, 4, INT_MAX, 4), row);
  EXPECT_EQ(Drawn(INT_MAX, 4, INT_MIN, 4), row);
  EXPECT_EQ(Drawn(-1000000000, -1000000000, 1000000000, 1000000000), diagonal);
  EXPECT_TRUE(Drawn(INT_MIN, INT_MIN, INT_MAX, INT_MIN).empty());
  EXPECT_TRUE(Drawn(0, 31, 39, 31).empty());
}

}  // namespace
