#include <gtest/gtest.h>

#include <climits>

#include "display/paint/Icons.h"
#include "display/paint/ImageCanvas.h"

namespace {

bool Opaque(const QImage& image, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qAlpha(image.pixel(int(x), int(y))) == 255;
}
// The opaque columns of row y.
std::vector<int> Row(const QImage& image, int y) {
  std::vector<int> columns;
  for (int x = 0; x < kIconWidth; ++x)
    if (Opaque(image, x, y)) columns.push_back(x);
  return columns;
}

// All are 25 x 12 of clear or solid pixels, a third at least clear. Markers are dark red lettering over a
// triangle tipped at column 12; the pointer an outlined house, its roof at column 12, with a red letter inside.
TEST(Icons, ShapesAndColours) {
  for (KIcon icon : {KIcon::MKL, KIcon::MKR, KIcon::FLG, KIcon::Pointer}) {
    const QImage& image = IconImage(icon);
    ASSERT_EQ(image.size(), QSize(kIconWidth, kIconHeight));
    int clear = 0, red = 0, white = 0;
    for (int y = 0; y < kIconHeight; ++y)
      for (int x = 0; x < kIconWidth; ++x) {
        const QRgb pixel = image.pixel(x, y);
        clear += qAlpha(pixel) == 0;
        EXPECT_TRUE(qAlpha(pixel) == 0 || qAlpha(pixel) == 255) << x << "," << y;
        if (!Opaque(image, x, y)) continue;
        const bool edge = !Opaque(image, x - 1, y) || !Opaque(image, x + 1, y) || !Opaque(image, x, y - 1) ||
                          !Opaque(image, x, y + 1);
        red += pixel == qRgb(255, 0, 0);
        white += pixel == qRgb(255, 255, 255);
        const bool pointerPixel =
            edge ? pixel == qRgb(0, 0, 0) : pixel == qRgb(255, 255, 255) || pixel == qRgb(255, 0, 0);
        EXPECT_TRUE(icon == KIcon::Pointer ? pointerPixel : pixel == qRgb(128, 0, 0)) << x << "," << y;
      }
    EXPECT_GT(clear, kIconWidth * kIconHeight / 3);
    EXPECT_FALSE(Opaque(image, 0, 0) || Opaque(image, kIconWidth - 1, 0));
    if (icon == KIcon::Pointer) {
      EXPECT_EQ(Row(image, 0), std::vector<int>{12});
      EXPECT_TRUE(red > 8 && white > 8) << red << " " << white;
      continue;
    }
    // The triangle's tip at column 12 in the bottom row, widening evenly upwards; lettering at the top.
    const std::vector<int> above = Row(image, kIconHeight - 2);
    EXPECT_EQ(Row(image, kIconHeight - 1), std::vector<int>{12});
    EXPECT_TRUE(above.size() > 1 && above.front() + above.back() == 24);
    EXPECT_GT(Row(image, 0).size(), 3u);
  }
  EXPECT_TRUE(IconImage(KIcon::MKL) != IconImage(KIcon::MKR) && IconImage(KIcon::MKR) != IconImage(KIcon::FLG));
}

TEST(Icons, DrawingPaintsOnlyTheOpaquePixelsAndClips) {
  const std::pair<KIcon, QPoint> draws[] = {{KIcon::MKL, {30, 10}},          {KIcon::Pointer, {30, 10}},
                                            {KIcon::MKR, {-12, -5}},         {KIcon::MKR, {95, 35}},
                                            {KIcon::MKR, {-100, 0}},         {KIcon::MKR, {INT_MAX, INT_MAX}},
                                            {KIcon::MKR, {INT_MIN, INT_MIN}}};
  for (const auto& [icon, at] : draws) {
    KImageCanvas canvas(100, 40, 0x00FF00);
    canvas.DrawIcon(icon, at.x(), at.y());
    const QImage& image = IconImage(icon);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 100; ++x) {
        const int64_t ix = int64_t(x) - at.x(), iy = int64_t(y) - at.y();
        const KColour want = Opaque(image, ix, iy) ? FromQRgb(image.pixel(int(ix), int(iy))) : 0x00FF00;
        ASSERT_EQ(canvas.PixelAt(x, y), want) << at.x() << "," << at.y() << ": " << x << "," << y;
      }
  }
}

}  // namespace
