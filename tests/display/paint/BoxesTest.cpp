// Both waveform boxes of a voice drawn through the display layer into real
// images: borders, mute lines, a waveform column, the pointer icon under each
// channel box. With MELOTRIX_BOX_PNG set to a folder, the images of a stereo
// voice are also written there as PNG files to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "display/BoxGeometry.h"
#include "display/MxVoc.h"
#include "display/paint/ImageSurface.h"
#include "support/VoiceFixture.h"

namespace {

constexpr KColour kPanel = 0xC8D0D4;

class Boxes : public VoiceFixture {
 protected:
  Boxes() {
    display_.ZoomIn = &zoomIn_;
    display_.Overview = &overview_;
  }
  KPcmGui& Bank(int n) { return static_cast<KPcmGui&>(gui_.Bank(n)); }
  KColour Colour(KColourSlot slot) const { return display_.Colours.Get(slot); }
  // A stereo 16-bit sine voice of `frames` frames, the channels in opposite phase.
  void Sine(KPcmGui& v, int32_t frames) {
    std::vector<int16_t> samples;
    for (int32_t k = 0; k < frames; ++k) {
      const auto s = int16_t(std::lround(20000 * std::sin(k * 0.05)));
      samples.push_back(s);
      samples.push_back(int16_t(-s));
    }
    Fill16(v, 2, samples);
  }

  KDisplay display_{kPanel};
  KImageSurface zoomIn_{KDisplay::kBoxWidth, KDisplay::kZoomInHeight, kPanel};
  KImageSurface overview_{KDisplay::kBoxWidth, KDisplay::kOverviewHeight, kPanel};
  KBankSet gui_{swap_, KMxVoc::Factory(display_)};
};

TEST_F(Boxes, AStereoVoiceDrawsBothChannelBoxes) {
  Sine(Bank(1), 20000);
  Bank(1).OverviewStale = true;
  gui_.SelectBank(1);
  const KImageCanvas& zi = zoomIn_.Image();
  const KImageCanvas& zo = overview_.Image();
  // The zoom-in box: its border at the left edge, the mute line at row 144.
  EXPECT_EQ(zi.PixelAt(kBoxLeftEdge, 100), Colour(KColourSlot::ZI_Border));
  EXPECT_EQ(zi.PixelAt(kBoxLeftEdge, KZoomGeometry::kMuteRow), Colour(KColourSlot::ZI_Border));
  const KOverviewGeometry geometry = MakeOverviewGeometry(KDisplay::kBoxWidth, KDisplay::kOverviewHeight, 2);
  ASSERT_EQ(geometry.Channels, 2);
  for (int ch = 0; ch < 2; ++ch) {
    SCOPED_TRACE(ch);
    EXPECT_EQ(zo.PixelAt(kBoxLeftEdge, geometry.MuteRow(ch)), Colour(KColourSlot::ZO_Border));
    // The envelope of a loud sine reaches above and below each mute line, in
    // the marked colour of its channel.
    const KColour marked = Colour(ch == 0 ? KColourSlot::ZO_LMarked : KColourSlot::ZO_RMarked);
    bool above = false, below = false;
    for (int x = geometry.Left() + 200; x < geometry.Left() + 204; ++x) {
      above |= zo.PixelAt(x, geometry.MuteRow(ch) - 10) == marked;
      below |= zo.PixelAt(x, geometry.MuteRow(ch) + 10) == marked;
    }
    EXPECT_TRUE(above && below);
    // The pointer icon under the channel box, around the pointer's column.
    const int px = Bank(1).Overview.PointerX;
    bool drawn = false;
    for (int dy = 0; dy < kIconHeight; ++dy)
      for (int dx = 0; dx < kIconWidth; ++dx)
        drawn |= zo.PixelAt(px - kIconApex + dx, geometry.PointerRow(ch) + dy) != kPanel;
    EXPECT_TRUE(drawn);
  }
  if (const char* folder = std::getenv("MELOTRIX_BOX_PNG")) {
    EXPECT_TRUE(zi.SavePng(std::string(folder) + "/zoom-in.png").Ok);
    EXPECT_TRUE(zo.SavePng(std::string(folder) + "/overview.png").Ok);
  }
}

// A repaint draws from the stored state: the same pixels again, even after
// the samples changed behind the display's back.
TEST_F(Boxes, ARepaintDrawsTheStoredStateNotTheSamples) {
  Sine(Bank(1), 3000);
  Bank(1).OverviewStale = true;
  gui_.SelectBank(1);
  const QImage zi = zoomIn_.Image().Image().copy(), zo = overview_.Image().Image().copy();
  uint8_t* view = Bank(1).Storage->MapView(0, 3000 * 4);
  ASSERT_NE(view, nullptr);
  std::fill(view, view + 3000 * 4, 0);
  Bank(1).Storage->UnmapView(view);
  Bank(1).PaintZoomIn();
  Bank(1).PaintOverview();
  EXPECT_TRUE(zoomIn_.Image().Image() == zi);
  EXPECT_TRUE(overview_.Image().Image() == zo);
}

}  // namespace
