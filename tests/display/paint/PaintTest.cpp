// The image canvas (colours, fills, tiles, icons, lines, text), the icons it draws, and the artwork of the window's
// buttons.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <climits>
#include <map>
#include <random>
#include <set>

#include "display/paint/Artwork.h"
#include "display/paint/Icons.h"
#include "display/paint/ImageCanvas.h"

namespace {

using Points = std::set<std::pair<int, int>>;
constexpr KColour kBack = 0x102030, kInk = 0x0000FF;

// The first pixel of `canvas` that `expected(x, y)` gets wrong.
template <typename F>
::testing::AssertionResult Pixels(const KImageCanvas& canvas, F expected) {
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
      if (canvas.PixelAt(x, y) != expected(x, y))
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is " << std::hex << canvas.PixelAt(x, y) << ", not " << expected(x, y);
  return ::testing::AssertionSuccess();
}
bool In(int x, int y, int l, int t, int r, int b) { return x >= l && x < r && y >= t && y < b; }
bool Opaque(const QImage& image, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qAlpha(image.pixel(int(x), int(y))) == 255;
}

// A KColour's low byte is red; an image given in another format is drawn on as RGB32.
TEST(ImageCanvas, RedIsTheLowByteAndGivenImagesBecomeRgb32) {
  EXPECT_EQ(std::tuple(ToQRgb(0x563412), FromQRgb(qRgba(1, 2, 3, 0))), std::tuple(qRgb(0x12, 0x34, 0x56), 0x030201u));
  QImage image(10, 10, QImage::Format_ARGB32);
  image.fill(qRgb(0, 0, 0));
  KImageCanvas canvas(image);
  canvas.FillRect(2, 2, 4, 4, 0x0080FF);
  EXPECT_EQ(
      std::tuple(image.format(), image.pixel(3, 3), image.pixel(4, 4), canvas.PixelAt(3, 3), canvas.PixelAt(10, 0)),
      std::tuple(QImage::Format_RGB32, qRgb(255, 128, 0), qRgb(0, 0, 0), 0x0080FFu, KImageCanvas::kNoPixel));
}

// Fills leave out the right and bottom edges, tiles align to the image origin, icons paint only their opaque pixels;
// all clip to the image.
TEST(ImageCanvas, FillsTilesAndIconsPaintExactlyTheirPixels) {
  KTile tile{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.Pixels[y][x] = KColour(y * 8 + x + 1);
  KImageCanvas fills(40, 30, kBack), tiles(40, 30, kBack);
  const int rects[][4] = {
      {5, 5, 5, 10},   {5, 5, 10, 5},  {10, 10, 5, 15}, {-100, 50, 100, 60},  // empty, reversed, outside
      {40, 0, 50, 20}, {3, 4, 10, 12}, {-5, -7, 3, 2},  {37, 28, INT_MAX, INT_MAX}};
  for (auto [l, t, r, b] : rects) {
    fills.FillRect(l, t, r, b, kInk);
    tiles.FillTiled(l, t, r, b, tile);
  }
  const auto filled = [](int x, int y) {
    return In(x, y, 3, 4, 10, 12) || In(x, y, 0, 0, 3, 2) || (x >= 37 && y >= 28);
  };
  EXPECT_TRUE(Pixels(fills, [&](int x, int y) { return filled(x, y) ? kInk : kBack; }));
  EXPECT_TRUE(Pixels(tiles, [&](int x, int y) { return filled(x, y) ? KColour(y % 8 * 8 + x % 8 + 1) : kBack; }));
  fills.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBack);
  EXPECT_TRUE(Pixels(fills, [](int, int) { return kBack; }));
  const std::tuple<KIcon, int, int> icons[] = {
      {KIcon::MKL, 30, 10},  {KIcon::Pointer, 3, 2},         {KIcon::MKR, -12, -5},         {KIcon::FLG, 25, 25},
      {KIcon::MKR, -100, 0}, {KIcon::MKR, INT_MAX, INT_MAX}, {KIcon::MKR, INT_MIN, INT_MIN}};
  for (auto [icon, x0, y0] : icons) {
    KImageCanvas canvas(40, 30, kBack);
    canvas.DrawIcon(icon, x0, y0);
    const QImage& image = IconImage(icon);
    EXPECT_TRUE(Pixels(canvas,
                       [&](int x, int y) {
                         const int64_t ix = int64_t(x) - x0, iy = int64_t(y) - y0;
                         return Opaque(image, ix, iy) ? FromQRgb(image.pixel(int(ix), int(iy))) : kBack;
                       }))
        << x0 << "," << y0;
  }
  KImageCanvas empty(-3, 5, kBack);
  empty.FillRect(0, 0, 10, 10, kInk);
  empty.Line(0, 0, 5, 5, kInk);
  empty.DrawIcon(KIcon::FLG, 0, 0);
  empty.Text(0, 0, "12", kInk, kBack);
  EXPECT_EQ(std::pair(empty.Width(), empty.PixelAt(0, 0)), std::pair(0, KImageCanvas::kNoPixel));
}

// The textbook incremental Bresenham: the shorter axis moves only when the line passes strictly beyond the halfway
// point; the end point is not plotted.
Points ReferenceLine(int x0, int y0, int x1, int y1) {
  const long long dx = std::llabs(1LL * x1 - x0), dy = std::llabs(1LL * y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  const bool steep = dy > dx;
  const long long major = steep ? dy : dx, minor = steep ? dx : dy;
  long long d = 2 * minor - major, x = x0, y = y0;
  Points points;
  for (long long i = 0; i < major; ++i) {
    if (x >= 0 && y >= 0 && x < 40 && y < 30) points.insert({int(x), int(y)});
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

TEST(ImageCanvas, LinesMatchBresenhamInEveryOctantAndClipExactly) {
  // By hand: offsets 0, 0.5, 1, 1.5 round to 0, 0, 1, 1; halfway stays on the start's side.
  EXPECT_TRUE(Drawn(0, 0, 4, 2) == (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}) &&
              Drawn(4, 2, 0, 0) == (Points{{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
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
  EXPECT_TRUE(Drawn(INT_MIN, 4, INT_MAX, 4) == row && Drawn(INT_MAX, 4, INT_MIN, 4) == row);
  EXPECT_EQ(Drawn(-1000000000, -1000000000, 1000000000, 1000000000), diagonal);
  EXPECT_TRUE(Drawn(INT_MIN, INT_MIN, INT_MAX, INT_MIN).empty() && Drawn(0, 31, 39, 31).empty());
}

// Unsmoothed 11-pixel glyphs in the text colour on an opaque box of the back colour from the top-left point, cut at the
// canvas edges.
TEST(ImageCanvas, TextIsElevenPixelGlyphsOnAnOpaqueBox) {
  const QSize box = KImageCanvas::TextExtent("8000");
  EXPECT_TRUE(QFontInfo(KImageCanvas::BoxFont()).pixelSize() == 11 && box.height() >= 11 && box.height() < 20);
  EXPECT_TRUE(KImageCanvas::TextExtent("").isEmpty() && KImageCanvas::TextExtent("80000").width() > box.width());
  KImageCanvas canvas(120, 40, kBack);
  for (auto [x, y, text] : {std::tuple{10, 12, "8000"}, {115, 35, "8000"}, {INT_MAX, INT_MAX, "8000"}, {50, 5, ""}})
    canvas.Text(x, y, text, 0x000000, 0x00FF00);
  int ink = 0;
  EXPECT_TRUE(Pixels(canvas, [&](int x, int y) {
    const KColour pixel = canvas.PixelAt(x, y);
    ink += pixel == 0;
    const bool glyph = pixel == 0 && y < 12 + 11;                  // within the 11 pixels
    if (x >= 115 && y >= 35) return pixel == kBack ? ~0u : pixel;  // the box cut at the corner
    return In(x, y, 10, 12, 10 + box.width(), 12 + box.height()) && (glyph || pixel == 0x00FF00) ? pixel : kBack;
  }));
  EXPECT_TRUE(ink > 20 && ink < box.width() * box.height() / 2) << ink;
}

// 25 x 12 of clear or solid pixels, a third at least clear. Markers: dark red lettering over a triangle whose tip is
// column 12 of the bottom row; the pointer: a black outline, its roof's tip on column 12, filled white with a red
// letter.
TEST(Icons, ShapesAndColours) {
  for (KIcon icon : {KIcon::MKL, KIcon::MKR, KIcon::FLG, KIcon::Pointer}) {
    const QImage& image = IconImage(icon);
    ASSERT_EQ(image.size(), QSize(kIconWidth, kIconHeight));
    std::map<QRgb, int> pixels;  // of each colour, all clear ones as 0
    std::vector<std::vector<int>> rows(kIconHeight);
    for (int y = 0; y < kIconHeight; ++y)
      for (int x = 0; x < kIconWidth; ++x) {
        const bool solid = Opaque(image, x, y), edge = !Opaque(image, x - 1, y) || !Opaque(image, x + 1, y) ||
                                                       !Opaque(image, x, y - 1) || !Opaque(image, x, y + 1);
        ++pixels[solid || qAlpha(image.pixel(x, y)) != 0 ? image.pixel(x, y) : 0];
        if (solid) rows[size_t(y)].push_back(x);
        EXPECT_TRUE(!solid || icon != KIcon::Pointer || (image.pixel(x, y) == qRgb(0, 0, 0)) == edge) << x << "," << y;
      }
    const bool pointer = icon == KIcon::Pointer;
    EXPECT_EQ(pixels.size(), pointer ? 4u : 2u);
    EXPECT_TRUE(pixels[0] > kIconWidth * kIconHeight / 3 && pixels[pointer ? qRgb(255, 0, 0) : qRgb(128, 0, 0)] > 8);
    EXPECT_EQ(rows[pointer ? 0 : kIconHeight - 1], std::vector<int>{12});
    EXPECT_TRUE(pointer || (rows[kIconHeight - 2].front() + rows[kIconHeight - 2].back() == 24 && rows[0].size() > 3));
  }
  EXPECT_TRUE(IconImage(KIcon::MKL) != IconImage(KIcon::MKR) && IconImage(KIcon::MKR) != IconImage(KIcon::FLG));
}

// Every glyph draws something at its size, and twice as many device pixels at a device pixel ratio of 2 (drawn afresh,
// not enlarged); no two glyphs or bank pictures look alike.
TEST(ArtworkTest, EveryGlyphAndBankPictureIsDrawnAndDiffers) {
  for (int k = 0; k < kGlyphCount; ++k) {
    const QSize size = GlyphSize(KGlyph(k));
    QImage blank(size, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    EXPECT_TRUE(!size.isEmpty() && GlyphImage(KGlyph(k), size).convertToFormat(blank.format()) != blank) << k;
    const QPixmap dense = GlyphIcon(KGlyph(k)).pixmap(size, 2.0);
    EXPECT_TRUE(dense.size() == size * 2 && dense.deviceIndependentSize().toSize() == size) << k;
    for (int other = 0; other < k; ++other)
      EXPECT_NE(GlyphImage(KGlyph(other), size), GlyphImage(KGlyph(k), size)) << k << " " << other;
  }
  // The bank pictures: off and on, each with and without the hover look, empty or holding a voice.
  std::vector<QImage> seen;
  for (bool holdsVoice : {false, true})
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active})
      for (QIcon::State state : {QIcon::Off, QIcon::On}) {
        const QImage image = BankIcon(holdsVoice).pixmap(kBankImageSize, 1.0, mode, state).toImage();
        EXPECT_EQ(image.size(), kBankImageSize);
        for (const QImage& other : seen) EXPECT_NE(image, other) << holdsVoice << mode << state;
        seen.push_back(image);
      }
}

}  // namespace
