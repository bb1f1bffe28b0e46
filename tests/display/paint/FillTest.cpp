#include <gtest/gtest.h>

#include <climits>

#include "display/paint/ImageCanvas.h"

namespace {

constexpr KColour kBack = 0x102030, kInk = 0x0000FF;

// True when exactly columns l..r-1 of rows t..b-1 (cut to the canvas) hold `inside` and the rest `outside`.
::testing::AssertionResult Exactly(const KImageCanvas& canvas, int l, int t, int r, int b, KColour inside,
                                   KColour outside) {
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const KColour want = x >= l && x < r && y >= t && y < b ? inside : outside;
      if (canvas.PixelAt(x, y) != want)
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is " << std::hex << canvas.PixelAt(x, y) << ", not " << want;
    }
  return ::testing::AssertionSuccess();
}

// A tile of `back` whose rows (or columns) with an index in `mask` are `fore`.
KTile Striped(KColour back, KColour fore, unsigned mask, bool rows) {
  KTile tile{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.Pixels[y][x] = (mask >> (rows ? y : x)) & 1 ? fore : back;
  return tile;
}

TEST(ColourTest, RedIsTheLowByte) {
  EXPECT_EQ(ToQRgb(0x0000FF), qRgb(255, 0, 0));
  EXPECT_EQ(ToQRgb(0x00FF00), qRgb(0, 255, 0));
  EXPECT_EQ(ToQRgb(0xFF0000), qRgb(0, 0, 255));
  EXPECT_EQ(ToQRgb(0x563412), qRgb(0x12, 0x34, 0x56));
  EXPECT_EQ(FromQRgb(qRgb(0x12, 0x34, 0x56)), 0x563412u);
  EXPECT_EQ(FromQRgb(qRgba(1, 2, 3, 0)), 0x030201u);  // alpha is not a colour
  for (KColour c : {0x000000u, 0xFFFFFFu, 0x808000u, 0x123456u, 0xC0C0C0u}) EXPECT_EQ(FromQRgb(ToQRgb(c)), c);
}

TEST(ColourTest, ImagePixelsCarryTheConvertedColour) {
  KImageCanvas canvas(4, 3, 0xFF0000);
  EXPECT_EQ(canvas.Image().format(), QImage::Format_RGB32);
  EXPECT_EQ(canvas.Image().pixel(2, 1), qRgb(0, 0, 255));
  canvas.FillRect(0, 0, 1, 1, 0x0080FF);
  EXPECT_EQ(canvas.Image().pixel(0, 0), qRgb(255, 128, 0));
  EXPECT_EQ(canvas.PixelAt(0, 0), 0x0080FFu);
  EXPECT_EQ(canvas.PixelAt(3, 2), 0xFF0000u);
  EXPECT_EQ(canvas.PixelAt(4, 0), KImageCanvas::kNoPixel);
  EXPECT_EQ(canvas.PixelAt(0, -1), KImageCanvas::kNoPixel);
}

TEST(CanvasTest, FreshCanvasIsFilledOnceAndNegativeSizesAreEmpty) {
  KImageCanvas canvas(30, 20, kBack);
  EXPECT_EQ(canvas.Width(), 30);
  EXPECT_EQ(canvas.Height(), 20);
  EXPECT_TRUE(Exactly(canvas, 0, 0, 0, 0, kInk, kBack));
  KImageCanvas empty(-3, 5, kBack);
  EXPECT_EQ(empty.Width(), 0);
  empty.FillRect(0, 0, 10, 10, kInk);
  empty.Line(0, 0, 5, 5, kInk);
  empty.DrawIcon(KIcon::FLG, 0, 0);
  empty.Text(0, 0, "12", kInk, kBack);
  EXPECT_EQ(empty.PixelAt(0, 0), KImageCanvas::kNoPixel);
}

TEST(CanvasTest, DrawsIntoAGivenImage) {
  QImage image(10, 10, QImage::Format_ARGB32);
  image.fill(qRgb(0, 0, 0));
  KImageCanvas canvas(image);
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  canvas.FillRect(2, 2, 4, 4, 0x0000FF);
  EXPECT_EQ(image.pixel(3, 3), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(4, 4), qRgb(0, 0, 0));
}

TEST(FillRectTest, RightAndBottomEdgesAreExcluded) {
  KImageCanvas canvas(30, 20, kBack);
  canvas.FillRect(3, 4, 10, 12, kInk);
  EXPECT_TRUE(Exactly(canvas, 3, 4, 10, 12, kInk, kBack));
  canvas.FillRect(20, 5, 21, 6, kInk);
  EXPECT_EQ(canvas.PixelAt(20, 5), kInk);
  EXPECT_EQ(canvas.PixelAt(21, 5), kBack);
  EXPECT_EQ(canvas.PixelAt(20, 6), kBack);
}

TEST(FillRectTest, EmptyAndReversedRectanglesDrawNothing) {
  KImageCanvas canvas(30, 20, kBack);
  canvas.FillRect(5, 5, 5, 10, kInk);
  canvas.FillRect(5, 5, 10, 5, kInk);
  canvas.FillRect(10, 10, 5, 15, kInk);
  canvas.FillRect(5, 15, 10, 10, kInk);
  EXPECT_TRUE(Exactly(canvas, 0, 0, 0, 0, kInk, kBack));
}

TEST(FillRectTest, ClippedAtTheBorders) {
  KImageCanvas canvas(30, 20, kBack);
  canvas.FillRect(-5, -7, 3, 2, kInk);
  EXPECT_TRUE(Exactly(canvas, 0, 0, 3, 2, kInk, kBack));
  canvas.FillRect(-100, 50, 100, 60, kBack ^ 1);
  canvas.FillRect(30, 0, 40, 20, kBack ^ 1);
  EXPECT_TRUE(Exactly(canvas, 0, 0, 3, 2, kInk, kBack));
  canvas.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);
  EXPECT_TRUE(Exactly(canvas, 0, 0, 30, 20, kInk, kBack));
}

TEST(FillTiledTest, PixelTakesTheTileAtItsImagePosition) {
  KTile tile{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.Pixels[y][x] = KColour(y * 8 + x + 1);
  KImageCanvas canvas(40, 30, kBack);
  canvas.FillTiled(5, 3, 27, 21, tile);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 5 && x < 27 && y >= 3 && y < 21;
      ASSERT_EQ(canvas.PixelAt(x, y), inside ? KColour((y % 8) * 8 + x % 8 + 1) : kBack) << x << "," << y;
    }
}

TEST(FillTiledTest, DottedGridLines) {
  constexpr KColour kGrid = 0x008080;
  KImageCanvas canvas(641, 290, kBack);
  // A vertical grid line takes the row tile, a horizontal one the column tile.
  canvas.FillTiled(95, 17, 96, 272, Striped(kBack, kGrid, 0x88, true));
  canvas.FillTiled(64, 48, 607, 49, Striped(kBack, kGrid, 0x88, false));
  for (int y = 17; y < 272; ++y)
    if (y != 48) {
      ASSERT_EQ(canvas.PixelAt(95, y), y % 4 == 3 ? kGrid : kBack) << y;
    }
  for (int x = 64; x < 607; ++x) ASSERT_EQ(canvas.PixelAt(x, 48), x % 4 == 3 ? kGrid : kBack) << x;
  EXPECT_EQ(canvas.PixelAt(95, 272), kBack);
  EXPECT_EQ(canvas.PixelAt(607, 48), kBack);
}

TEST(FillTiledTest, DashedCursorLine) {
  constexpr KColour kCursor = 0xFF0000;
  KImageCanvas canvas(641, 290, kBack);
  canvas.FillTiled(333, 17, 334, 272, Striped(kBack, kCursor, 0xCC, true));
  for (int y = 0; y < 290; ++y) {
    const bool dash = y >= 17 && y < 272 && (y % 4 == 2 || y % 4 == 3);
    ASSERT_EQ(canvas.PixelAt(333, y), dash ? kCursor : kBack) << y;
  }
  EXPECT_EQ(canvas.PixelAt(332, 18), kBack);
  EXPECT_EQ(canvas.PixelAt(334, 18), kBack);
}

TEST(FillTiledTest, ClippedAtTheBordersAndStillAligned) {
  const KTile tile = Striped(kBack, kInk, 0x01, false);  // column 0 of every 8
  KImageCanvas canvas(20, 10, kBack ^ 1);
  canvas.FillTiled(-13, -4, 4, 3, tile);
  canvas.FillTiled(INT_MIN, 8, INT_MAX, INT_MAX, tile);
  canvas.FillTiled(20, 0, 30, 10, tile);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool filled = (x < 4 && y < 3) || y >= 8;
      ASSERT_EQ(canvas.PixelAt(x, y), filled ? (x % 8 == 0 ? kInk : kBack) : (kBack ^ 1)) << x << "," << y;
    }
}

}  // namespace
