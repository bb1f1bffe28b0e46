// The image canvas: colours, fills, tiles, lines, text and PNG files.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <climits>
#include <random>
#include <set>

#include "display/paint/ImageCanvas.h"
#include "support/TempDir.h"

namespace {

using Points = std::set<std::pair<int, int>>;
constexpr KColour kBack = 0x102030, kInk = 0x0000FF;

// The pixels of `canvas` that `expected(x, y)` gets wrong, the first one described.
template <typename F>
::testing::AssertionResult Pixels(const KImageCanvas& canvas, F expected) {
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
      if (canvas.PixelAt(x, y) != KColour(expected(x, y)))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << canvas.PixelAt(x, y)
                                             << ", not " << KColour(expected(x, y));
  return ::testing::AssertionSuccess();
}
// Columns l..r-1 of rows t..b-1 in `inside`, the rest in `outside`.
auto Rect(int l, int t, int r, int b, KColour inside, KColour outside) {
  return [=](int x, int y) { return x >= l && x < r && y >= t && y < b ? inside : outside; };
}

// The textbook incremental Bresenham: the shorter axis moves only when the
// line passes strictly beyond the halfway point; the end point is not plotted.
Points ReferenceLine(int x0, int y0, int x1, int y1, int w = 40, int h = 30) {
  const long long dx = std::llabs(1LL * x1 - x0), dy = std::llabs(1LL * y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  const bool steep = dy > dx;
  const long long major = steep ? dy : dx, minor = steep ? dx : dy;
  long long d = 2 * minor - major, x = x0, y = y0;
  Points points;
  for (long long i = 0; i < major; ++i) {
    if (x >= 0 && y >= 0 && x < w && y < h) points.insert({int(x), int(y)});
    if (d > 0) (steep ? x : y) += steep ? sx : sy, d -= 2 * major;
    d += 2 * minor;
    (steep ? y : x) += steep ? sy : sx;
  }
  return points;
}
Points Drawn(int x0, int y0, int x1, int y1) {
  KImageCanvas canvas(40, 30, kBack);
  canvas.Line(x0, y0, x1, y1, kInk);
  Points points;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      if (canvas.PixelAt(x, y) == kInk) points.insert({x, y});
  return points;
}

TEST(ImageCanvas, RedIsTheLowByteAndGivenImagesBecomeRgb32) {
  EXPECT_EQ(std::vector({ToQRgb(0x0000FF), ToQRgb(0x563412)}), std::vector({qRgb(255, 0, 0), qRgb(0x12, 0x34, 0x56)}));
  EXPECT_EQ(FromQRgb(qRgba(1, 2, 3, 0)), 0x030201u);  // alpha is not a colour
  for (KColour c : {0x000000u, 0xFFFFFFu, 0x123456u, 0x00FF00u}) EXPECT_EQ(FromQRgb(ToQRgb(c)), c);
  QImage image(10, 10, QImage::Format_ARGB32);
  image.fill(qRgb(0, 0, 0));
  KImageCanvas canvas(image);
  canvas.FillRect(2, 2, 4, 4, 0x0080FF);
  EXPECT_EQ(std::tuple(image.format(), image.pixel(3, 3), image.pixel(4, 4), canvas.PixelAt(3, 3)),
            std::tuple(QImage::Format_RGB32, qRgb(255, 128, 0), qRgb(0, 0, 0), 0x0080FFu));
  EXPECT_TRUE(canvas.PixelAt(10, 0) == KImageCanvas::kNoPixel && canvas.PixelAt(0, -1) == KImageCanvas::kNoPixel);
}

TEST(ImageCanvas, FillsExcludeTheRightAndBottomEdgesAndClip) {
  KImageCanvas canvas(30, 20, kBack), empty(-3, 5, kBack);
  EXPECT_EQ(std::tuple(canvas.Width(), canvas.Height(), empty.Width()), std::tuple(30, 20, 0));
  EXPECT_TRUE(Pixels(canvas, Rect(0, 0, 0, 0, kInk, kBack)));
  for (const auto& [l, t, r, b] :
       {std::array{5, 5, 5, 10}, {5, 5, 10, 5}, {10, 10, 5, 15}, {5, 15, 10, 10}, {-100, 50, 100, 60}, {30, 0, 40, 20}})
    canvas.FillRect(l, t, r, b, kInk);  // empty, reversed or outside
  canvas.FillRect(3, 4, 10, 12, kInk);
  EXPECT_TRUE(Pixels(canvas, Rect(3, 4, 10, 12, kInk, kBack)));
  canvas.FillRect(-5, -7, 3, 2, kInk ^ 1);
  EXPECT_TRUE(
      Pixels(canvas, [](int x, int y) { return x < 3 && y < 2 ? kInk ^ 1 : Rect(3, 4, 10, 12, kInk, kBack)(x, y); }));
  canvas.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);
  EXPECT_TRUE(Pixels(canvas, Rect(0, 0, 30, 20, kInk, kBack)));
  empty.FillRect(0, 0, 10, 10, kInk);
  empty.Line(0, 0, 5, 5, kInk);
  empty.DrawIcon(KIcon::FLG, 0, 0);
  empty.Text(0, 0, "12", kInk, kBack);
  EXPECT_EQ(empty.PixelAt(0, 0), KImageCanvas::kNoPixel);
}

TEST(ImageCanvas, TilesAlignToTheImageOriginAndClip) {
  KTile tile{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.Pixels[y][x] = KColour(y * 8 + x + 1);
  KImageCanvas canvas(40, 30, kBack);
  canvas.FillTiled(5, 3, 27, 21, tile);
  canvas.FillTiled(-13, -4, 4, 2, tile);
  canvas.FillTiled(INT_MIN, 28, INT_MAX, INT_MAX, tile);
  canvas.FillTiled(40, 0, 50, 10, tile);
  EXPECT_TRUE(Pixels(canvas, [](int x, int y) {
    const bool filled = (x >= 5 && x < 27 && y >= 3 && y < 21) || (x < 4 && y < 2) || y >= 28;
    return filled ? KColour((y % 8) * 8 + x % 8 + 1) : kBack;
  }));
}

TEST(ImageCanvas, LinesMatchBresenhamInEveryOctantAndClipExactly) {
  // By hand: offsets 0, 0.5, 1, 1.5 round to 0, 0, 1, 1; halfway stays on the start's side.
  EXPECT_EQ(Drawn(0, 0, 4, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Drawn(4, 2, 0, 0), (Points{{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
  EXPECT_EQ(Drawn(10, 10, 11, 14), (Points{{10, 10}, {10, 11}, {10, 12}, {11, 13}}));
  for (int dx = -12; dx <= 12; ++dx)  // zero length draws nothing
    for (int dy = -12; dy <= 12; ++dy)
      ASSERT_EQ(Drawn(20, 15, 20 + dx, 15 + dy), ReferenceLine(20, 15, 20 + dx, 15 + dy));
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-60, 100);
  for (int n = 0; n < 400; ++n) {
    const int x0 = coordinate(random), y0 = coordinate(random), x1 = coordinate(random), y1 = coordinate(random);
    ASSERT_EQ(Drawn(x0, y0, x1, y1), ReferenceLine(x0, y0, x1, y1)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
  // Far-away ends still place the right pixels.
  EXPECT_EQ(Drawn(-200000, -70001, 200013, 70003), ReferenceLine(-200000, -70001, 200013, 70003));
  EXPECT_EQ(Drawn(35, -300000, 2, 250000), ReferenceLine(35, -300000, 2, 250000));
  Points row, diagonal;
  for (int x = 0; x < 40; ++x) row.insert({x, 4});
  for (int k = 0; k < 30; ++k) diagonal.insert({k, k});
  EXPECT_EQ(Drawn(INT_MIN, 4, INT_MAX, 4), row);
  EXPECT_EQ(Drawn(INT_MAX, 4, INT_MIN, 4), row);
  EXPECT_EQ(Drawn(-1000000000, -1000000000, 1000000000, 1000000000), diagonal);
  EXPECT_TRUE(Drawn(INT_MIN, INT_MIN, INT_MAX, INT_MIN).empty() && Drawn(0, 31, 39, 31).empty());
}

// Unsmoothed glyphs on an opaque box from the top-left point, cut at the canvas edges.
TEST(ImageCanvas, TextIsElevenPixelGlyphsOnAnOpaqueBox) {
  EXPECT_EQ(QFontInfo(KImageCanvas::BoxFont()).pixelSize(), 11);
  EXPECT_FALSE(QFontInfo(KImageCanvas::BoxFont()).fixedPitch());
  const QSize extent = KImageCanvas::TextExtent("8000");
  EXPECT_TRUE(extent.height() >= 11 && extent.height() < 20 && KImageCanvas::TextExtent("").isEmpty());
  EXPECT_GT(KImageCanvas::TextExtent("80000").width(), extent.width());
  KImageCanvas canvas(120, 40, kBack);
  for (const auto& [x, y, text] :
       {std::tuple{10, 12, "8000"}, {-6, -4, "8000"}, {115, 35, "8000"}, {INT_MAX, INT_MAX, "8000"}, {50, 5, ""}})
    canvas.Text(x, y, text, 0x000000, 0x00FF00);
  int ink = 0, top = 40, bottom = -1;
  EXPECT_TRUE(Pixels(canvas, [&](int x, int y) {
    const KColour pixel = canvas.PixelAt(x, y);
    const bool box = x >= 10 && y >= 12 && x < 10 + extent.width() && y < 12 + extent.height();
    if (box && pixel == 0) ++ink, top = std::min(top, y), bottom = std::max(bottom, y);
    if ((x < extent.width() - 6 && y < extent.height() - 4) || (x >= 115 && y >= 35)) return pixel;  // cut boxes
    return box && (pixel == 0 || pixel == 0x00FF00) ? pixel : kBack;
  }));
  EXPECT_TRUE(canvas.PixelAt(0, 0) != kBack && canvas.PixelAt(119, 39) != kBack);
  EXPECT_TRUE(ink > 20 && ink < extent.width() * extent.height() / 2) << ink;
  EXPECT_TRUE(bottom - top + 1 >= 6 && bottom - top + 1 <= 11) << top << " " << bottom;  // within the 11 pixels
}

TEST(ImageCanvas, SavePngWritesTheImageAndReportsFailure) {
  TempDir dir;
  KImageCanvas canvas(17, 9, 0x0000FF);
  canvas.FillRect(3, 2, 8, 6, 0xFF0000);
  EXPECT_TRUE(canvas.SavePng(dir / "box.png").Ok);
  const QImage loaded(QString::fromStdString(dir / "box.png"));
  ASSERT_EQ(loaded.size(), QSize(17, 9));
  EXPECT_EQ(std::tuple(loaded.pixel(0, 0), loaded.pixel(3, 2), loaded.pixel(8, 6)),
            std::tuple(qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 0, 0)));
  const KStatus failed = canvas.SavePng(dir / "missing/box.png");
  EXPECT_FALSE(failed.Ok);
  EXPECT_NE(failed.Message.find("missing/box.png"), std::string::npos) << failed.Message;
}

}  // namespace
