#include <gtest/gtest.h>

#include "display/paint/Artwork.h"

namespace {

bool Drawn(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) return true;
  return false;
}

// Every glyph draws something at its size, and twice as many device pixels at
// a device pixel ratio of 2 (drawn afresh, not enlarged); no two glyphs look
// alike. The bank images differ by look (image 0 or 1, hover or not) and by
// whether the bank holds a voice.
TEST(ArtworkTest, GlyphsAndBankImagesAreDrawnAndDiffer) {
  for (int k = 0; k < kGlyphCount; ++k) {
    const QSize size = GlyphSize(KGlyph(k));
    ASSERT_FALSE(size.isEmpty()) << k;
    EXPECT_TRUE(Drawn(GlyphImage(KGlyph(k), size))) << k;
    const QPixmap dense = GlyphIcon(KGlyph(k)).pixmap(size, 2.0);
    EXPECT_TRUE(dense.size() == size * 2 && dense.deviceIndependentSize().toSize() == size) << k;
    for (int other = 0; other < k; ++other)
      EXPECT_NE(GlyphImage(KGlyph(other), size), GlyphImage(KGlyph(k), size)) << k << " " << other;
  }
  std::vector<QImage> seen;
  for (bool holdsVoice : {false, true})
    for (auto mode : {QIcon::Normal, QIcon::Active})
      for (auto state : {QIcon::Off, QIcon::On}) {
        const QImage image = BankIcon(holdsVoice).pixmap(kBankImageSize, 1.0, mode, state).toImage();
        EXPECT_TRUE(image.size() == kBankImageSize && Drawn(image));
        for (const QImage& other : seen) EXPECT_NE(image, other) << holdsVoice << mode << state;
        seen.push_back(image);
      }
}

}  // namespace
