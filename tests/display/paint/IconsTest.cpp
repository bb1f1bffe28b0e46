#include <gtest/gtest.h>

#include "display/paint/Icons.h"
#include "display/paint/ImageCanvas.h"

namespace {

const QRgb kDarkRed = qRgb(128, 0, 0);
constexpr KIcon kMarkers[] = {KIcon::MKL, KIcon::MKR, KIcon::FLG};

bool Opaque(const QImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qAlpha(image.pixel(x, y)) == 255;
}

std::vector<int> OpaqueColumns(const QImage& image, int y) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x)
    if (Opaque(image, x, y)) columns.push_back(x);
  return columns;
}

TEST(IconsTest, AllAre25By12WithOnlyClearOrSolidPixels) {
  for (KIcon icon : {KIcon::MKL, KIcon::MKR, KIcon::FLG, KIcon::Pointer}) {
    const QImage& image = IconImage(icon);
    EXPECT_EQ(image.size(), QSize(kIconWidth, kIconHeight));
    EXPECT_TRUE(image.hasAlphaChannel());
    int clear = 0;
    for (int y = 0; y < kIconHeight; ++y)
      for (int x = 0; x < kIconWidth; ++x) {
        const int alpha = qAlpha(image.pixel(x, y));
        EXPECT_TRUE(alpha == 0 || alpha == 255) << x << "," << y;
        clear += alpha == 0;
      }
    EXPECT_GT(clear, kIconWidth * kIconHeight / 3);
    EXPECT_FALSE(Opaque(image, 0, 0));
    EXPECT_FALSE(Opaque(image, kIconWidth - 1, 0));
  }
}

TEST(IconsTest, MarkersAreDarkRedWithTheTriangleTipAtColumn12) {
  for (KIcon icon : kMarkers) {
    const QImage& image = IconImage(icon);
    EXPECT_EQ(OpaqueColumns(image, kIconHeight - 1), std::vector<int>{12});
    // The triangle widens upwards, evenly about its tip.
    const std::vector<int> above = OpaqueColumns(image, kIconHeight - 2);
    ASSERT_FALSE(above.empty());
    EXPECT_EQ(above.front() + above.back(), 24);
    EXPECT_GT(above.size(), 1u);
    for (int y = 0; y < kIconHeight; ++y)
      for (int x = 0; x < kIconWidth; ++x)
        if (Opaque(image, x, y)) {
          EXPECT_EQ(image.pixel(x, y), kDarkRed) << x << "," << y;
        }
    EXPECT_GT(OpaqueColumns(image, 0).size(), 3u);  // lettering at the top
  }
  EXPECT_NE(IconImage(KIcon::MKL), IconImage(KIcon::MKR));
  EXPECT_NE(IconImage(KIcon::MKR), IconImage(KIcon::FLG));
}

TEST(IconsTest, PointerIsAnOutlinedHouseWithARedLetterInside) {
  const QImage& image = IconImage(KIcon::Pointer);
  EXPECT_EQ(OpaqueColumns(image, 0), std::vector<int>{12});
  int red = 0, white = 0;
  for (int y = 0; y < kIconHeight; ++y)
    for (int x = 0; x < kIconWidth; ++x) {
      if (!Opaque(image, x, y)) continue;
      const bool edge =
          !Opaque(image, x - 1, y) || !Opaque(image, x + 1, y) || !Opaque(image, x, y - 1) || !Opaque(image, x, y + 1);
      const QRgb pixel = image.pixel(x, y);
      if (edge) {
        EXPECT_EQ(pixel, qRgb(0, 0, 0)) << x << "," << y;
      } else {
        EXPECT_TRUE(pixel == qRgb(255, 255, 255) || pixel == qRgb(255, 0, 0)) << x << "," << y;
      }
      red += pixel == qRgb(255, 0, 0);
      white += pixel == qRgb(255, 255, 255);
    }
  EXPECT_GT(red, 8);
  EXPECT_GT(white, 8);
}

TEST(DrawIconTest, OnlyTheDrawingIsPainted) {
  constexpr KColour kBack = 0x00FF00;
  for (KIcon icon : {KIcon::MKL, KIcon::Pointer}) {
    KImageCanvas canvas(100, 40, kBack);
    canvas.DrawIcon(icon, 30, 10);
    const QImage& image = IconImage(icon);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool inIcon = Opaque(image, x - 30, y - 10);
        ASSERT_EQ(canvas.PixelAt(x, y), inIcon ? FromQRgb(image.pixel(x - 30, y - 10)) : kBack) << x << "," << y;
      }
  }
  KImageCanvas canvas(100, 40, kBack);
  canvas.DrawIcon(KIcon::FLG, 64 - 12, 3);
  EXPECT_EQ(canvas.PixelAt(64, 3 + 11), 0x000080u);  // the tip marks column 64
  EXPECT_EQ(canvas.PixelAt(63, 3 + 11), kBack);
  EXPECT_EQ(canvas.PixelAt(65, 3 + 11), kBack);
}

TEST(DrawIconTest, ClippedAtTheBorders) {
  constexpr KColour kBack = 0xFFFFFF;
  const QImage& image = IconImage(KIcon::MKR);
  for (QPoint at :
       {QPoint(-12, -5), QPoint(15, 8), QPoint(-100, 0), QPoint(INT_MAX, INT_MAX), QPoint(INT_MIN, INT_MIN)}) {
    KImageCanvas canvas(20, 10, kBack);
    canvas.DrawIcon(KIcon::MKR, at.x(), at.y());
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) {
        const int ix = int(int64_t(x) - at.x()), iy = int(int64_t(y) - at.y());
        const bool inIcon =
            int64_t(x) - at.x() < kIconWidth && int64_t(y) - at.y() < kIconHeight && Opaque(image, ix, iy);
        ASSERT_EQ(canvas.PixelAt(x, y), inIcon ? 0x000080u : kBack) << at.x() << " " << x << "," << y;
      }
  }
}

}  // namespace
