#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>

#include "display/paint/ImageCanvas.h"
#include "support/TempDir.h"

namespace {

constexpr KColour kPage = 0xFFFFFF, kInk = 0x000000, kBack = 0x00FF00;

TEST(TextTest, BoxFontIsAnElevenPixelSansSerif) {
  const QFont font = KImageCanvas::BoxFont();
  EXPECT_EQ(font.pixelSize(), 11);
  EXPECT_EQ(QFontInfo(font).pixelSize(), 11);
  EXPECT_FALSE(QFontInfo(font).fixedPitch());
  const QSize extent = KImageCanvas::TextExtent("0x1F40");
  EXPECT_GE(extent.height(), 11);
  EXPECT_LT(extent.height(), 20);
  EXPECT_GT(extent.width(), KImageCanvas::TextExtent("0x1F").width());
  EXPECT_TRUE(KImageCanvas::TextExtent("").isEmpty());
}

TEST(TextTest, GlyphsOnAnOpaqueBoxAtTheTopLeftPoint) {
  KImageCanvas canvas(120, 40, kPage);
  canvas.Text(10, 12, "8000", kInk, kBack);
  const QSize extent = KImageCanvas::TextExtent("8000");
  int ink = 0, inkTop = 40, inkBottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const KColour pixel = canvas.PixelAt(x, y);
      const bool inBox = x >= 10 && y >= 12 && x < 10 + extent.width() && y < 12 + extent.height();
      if (!inBox) {
        ASSERT_EQ(pixel, kPage) << x << "," << y;
        continue;
      }
      // Unsmoothed glyphs: every pixel of the box is text or background, none the page.
      ASSERT_TRUE(pixel == kInk || pixel == kBack) << x << "," << y << " " << std::hex << pixel;
      if (pixel == kInk) {
        ++ink;
        inkTop = std::min(inkTop, y);
        inkBottom = std::max(inkBottom, y);
      }
    }
  EXPECT_GT(ink, 20);
  EXPECT_LT(ink, extent.width() * extent.height() / 2);
  EXPECT_LE(inkBottom - inkTop + 1, 11);  // digits stand within the font's 11 pixels
  EXPECT_GE(inkBottom - inkTop + 1, 6);
}

TEST(TextTest, ClippedAtTheBordersAndEmptyTextDrawsNothing) {
  KImageCanvas canvas(30, 20, kPage);
  canvas.Text(-6, -4, "1234", kInk, kBack);
  canvas.Text(25, 15, "1234", kInk, kBack);
  canvas.Text(INT_MAX, INT_MAX, "1234", kInk, kBack);
  canvas.Text(5, 5, "", kInk, kBack);
  const QSize extent = KImageCanvas::TextExtent("1234");
  EXPECT_NE(canvas.PixelAt(0, 0), kPage);
  EXPECT_EQ(canvas.PixelAt(extent.width() - 6, 0), kPage);
  EXPECT_EQ(canvas.PixelAt(0, extent.height() - 4), kPage);
  EXPECT_NE(canvas.PixelAt(29, 19), kPage);
  EXPECT_EQ(canvas.PixelAt(24, 19), kPage);
  EXPECT_EQ(canvas.PixelAt(5, 5 + extent.height()), kPage);
}

TEST(SavePngTest, WritesTheImageAndReportsFailure) {
  TempDir dir;
  KImageCanvas canvas(17, 9, 0x0000FF);
  canvas.FillRect(3, 2, 8, 6, 0xFF0000);
  const std::string path = dir / "box.png";
  EXPECT_TRUE(canvas.SavePng(path).Ok);
  const QImage loaded(QString::fromStdString(path));
  ASSERT_EQ(loaded.size(), QSize(17, 9));
  EXPECT_EQ(loaded.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(loaded.pixel(3, 2), qRgb(0, 0, 255));
  EXPECT_EQ(loaded.pixel(8, 6), qRgb(255, 0, 0));

  const KStatus failed = canvas.SavePng(dir / "missing/box.png");
  EXPECT_FALSE(failed.Ok);
  EXPECT_NE(failed.Message.find("missing/box.png"), std::string::npos) << failed.Message;
}

}  // namespace
