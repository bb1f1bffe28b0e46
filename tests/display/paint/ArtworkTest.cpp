#include <gtest/gtest.h>

#include <vector>

#include "display/paint/Artwork.h"

namespace {

bool Drawn(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) return true;
  return false;
}

// Every glyph draws something at its size, and twice as many device pixels
// at a device pixel ratio of 2 (drawn afresh, not enlarged).
TEST(ArtworkTest, EveryGlyphIsDrawnAtItsSizeAndAtDoubleDensity) {
  for (int k = 0; k < kGlyphCount; ++k) {
    const auto glyph = KGlyph(k);
    const QSize size = GlyphSize(glyph);
    ASSERT_FALSE(size.isEmpty()) << k;
    EXPECT_TRUE(Drawn(GlyphImage(glyph, size))) << k;
    const QPixmap dense = GlyphIcon(glyph).pixmap(size, 2.0);
    EXPECT_EQ(dense.size(), size * 2) << k;
    EXPECT_EQ(dense.deviceIndependentSize().toSize(), size) << k;
  }
}

// The buttons of one caption, and the four readouts, each look different.
TEST(ArtworkTest, TheMembersOfEachGroupDiffer) {
  const std::vector<std::vector<KGlyph>> groups = {
      {KGlyph::PasteByInsert, KGlyph::PasteByMix},
      {KGlyph::CutMarked, KGlyph::CutUnmarked},
      {KGlyph::PlayAll, KGlyph::PlayFlg, KGlyph::PlayMarked},
      {KGlyph::End, KGlyph::Mkl, KGlyph::Mkr, KGlyph::Flg},
  };
  for (const auto& group : groups)
    for (size_t a = 0; a < group.size(); ++a)
      for (size_t b = a + 1; b < group.size(); ++b) {
        const QSize size = GlyphSize(group[a]);
        EXPECT_NE(GlyphImage(group[a], size), GlyphImage(group[b], size)) << int(group[a]) << " " << int(group[b]);
      }
}

// Image 0, image 1 and the hover look over each are drawn and differ, and a
// bank holding a voice differs from an empty one in every look.
TEST(ArtworkTest, BankImagesDifferByLookAndByContent) {
  const std::pair<QIcon::Mode, QIcon::State> looks[] = {
      {QIcon::Normal, QIcon::Off}, {QIcon::Normal, QIcon::On}, {QIcon::Active, QIcon::Off}, {QIcon::Active, QIcon::On}};
  std::vector<QImage> seen;
  for (bool holdsVoice : {false, true})
    for (auto [mode, state] : looks) {
      const QImage image = BankIcon(holdsVoice).pixmap(kBankImageSize, 1.0, mode, state).toImage();
      EXPECT_EQ(image.size(), kBankImageSize);
      EXPECT_TRUE(Drawn(image));
      for (const QImage& other : seen) EXPECT_NE(image, other) << holdsVoice << mode << state;
      seen.push_back(image);
    }
}

}  // namespace
