#include <gtest/gtest.h>

#include <string>

#include "display/ColourScheme.h"

namespace {

using S = KColourSlot;
constexpr KColour kFace = 0xC0C0C0;                                                           // a button-face colour
constexpr KColour kOlive = 0x008080, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0x000000;  // 0x00BBGGRR

// One box's tiles: dotted grid rows and columns 3 and 7, dashed cursor rows 2, 3, 6 and 7, all on `back`.
void ExpectTiles(const KColourScheme& scheme, bool zoomIn, KColour grid, KColour cursor, KColour back) {
  SCOPED_TRACE(zoomIn ? "zoom-in" : "overview");
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      ASSERT_EQ(scheme.VerticalGrid(zoomIn).Pixels[y][x], y % 4 == 3 ? grid : back) << x << "," << y;
      ASSERT_EQ(scheme.HorizontalGrid(zoomIn).Pixels[y][x], x % 4 == 3 ? grid : back) << x << "," << y;
      ASSERT_EQ(scheme.Cursor(zoomIn).Pixels[y][x], y % 4 >= 2 ? cursor : back) << x << "," << y;
    }
}
void ExpectDefaults(const KColourScheme& scheme) {
  const KColour box[10] = {kFace, kBlack, kOlive, kBlack, kBlack, kBlack, kWhite, kWhite, kBlack, kBlue};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), box[i % 10]) << "slot " << i;
  ExpectTiles(scheme, true, kOlive, kBlue, kFace);
  ExpectTiles(scheme, false, kOlive, kBlue, kFace);
}

TEST(ColourScheme, DefaultsAndSettingsKeys) {
  ExpectDefaults(KColourScheme(kFace));
  const char* roles[] = {"BackGnd", "Border",  "ScaleGrid", "ScaleText", "LMarked",
                         "RMarked", "LUnmark", "RUnmark",   "MuteLine",  "RCursor"};
  ASSERT_EQ(KColourScheme::Slots().size(), 20u);
  for (size_t i = 0; i < 20; ++i)
    EXPECT_EQ(std::to_string(int(KColourScheme::Slots()[i].Slot)) + KColourScheme::Slots()[i].Key,
              std::to_string(i) + (i < 10 ? "ZI_" : "ZO_") + roles[i % 10]);
}

TEST(ColourScheme, EverySlotKeepsItsOwn24BitColour) {
  KColourScheme scheme(kFace);
  for (int i = 0; i < 20; ++i) scheme.Set(S(i), 0xFF010203u * KColour(i + 1));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), (0x010203u * KColour(i + 1)) & 0xFFFFFF) << "slot " << i;
}

TEST(ColourScheme, GridAndCursorTilesFollowTheirBoxsBackground) {
  KColourScheme scheme(kFace);
  scheme.Set(S::ZI_ScaleGrid, 0x00FF00);
  scheme.Set(S::ZI_RCursor, 0x0000FF);
  ExpectTiles(scheme, true, 0x00FF00, 0x0000FF, kFace);
  ExpectTiles(scheme, false, kOlive, kBlue, kFace);  // the other box is untouched
  scheme.Set(S::ZO_ScaleGrid, 0x00FF00);             // a new background rebuilds that box's tiles at once
  scheme.Set(S::ZO_BackGnd, 0x202020);
  ExpectTiles(scheme, false, 0x00FF00, kBlue, 0x202020);
  EXPECT_EQ(std::tuple(scheme.Get(S::ZO_BackGnd), scheme.Get(S::ZO_ScaleGrid), scheme.Get(S::ZO_RCursor)),
            std::tuple(0x202020u, 0x00FF00u, kBlue));
  ExpectTiles(scheme, true, 0x00FF00, 0x0000FF, kFace);
  // A load in table order sets each background before its grid and cursor: the tiles end up on the loaded background.
  for (const auto& info : KColourScheme::Slots())
    scheme.Set(info.Slot, info.Slot == S::ZI_BackGnd     ? 0x112233
                          : info.Slot == S::ZI_ScaleGrid ? 0x445566
                          : info.Slot == S::ZI_RCursor   ? 0x778899
                                                         : kBlack);
  ExpectTiles(scheme, true, 0x445566, 0x778899, 0x112233);
  ExpectTiles(scheme, false, kBlack, kBlack, kBlack);
  scheme.ResetAll();
  ExpectDefaults(scheme);
}

}  // namespace
