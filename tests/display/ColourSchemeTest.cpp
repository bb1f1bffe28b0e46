#include <gtest/gtest.h>

#include <string>

#include "display/ColourScheme.h"

namespace {

using S = KColourSlot;
constexpr KColour kFace = 0xC0C0C0;  // a button-face colour
constexpr KColour kOlive = 0x008080, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0x000000;

// Rows (or columns) of the tile in `fore`, the rest in `back`.
void ExpectLines(const KTile& tile, unsigned mask, bool rows, KColour fore, KColour back) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(tile.Pixels[y][x], (mask >> (rows ? y : x)) & 1 ? fore : back) << "at " << x << "," << y;
}
constexpr unsigned kGrid = 0x88;    // lines 3 and 7
constexpr unsigned kCursor = 0xCC;  // lines 2, 3, 6 and 7

void ExpectTiles(const KColourScheme& scheme, bool zoomIn, KColour grid, KColour cursor, KColour back) {
  ExpectLines(scheme.VerticalGrid(zoomIn), kGrid, true, grid, back);
  ExpectLines(scheme.HorizontalGrid(zoomIn), kGrid, false, grid, back);
  ExpectLines(scheme.Cursor(zoomIn), kCursor, true, cursor, back);
}

TEST(ColourScheme, DefaultsOfAllTwentySlots) {
  const KColourScheme scheme(kFace);
  const KColour box[10] = {kFace, kBlack, kOlive, kBlack, kBlack, kBlack, kWhite, kWhite, kBlack, kBlue};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), box[i % 10]) << "slot " << i;
  EXPECT_EQ(scheme.Get(S::ZI_RCursor), 0xFF0000u);    // blue in 0x00BBGGRR
  EXPECT_EQ(scheme.Get(S::ZO_ScaleGrid), 0x008080u);  // red 128, green 128
}

TEST(ColourScheme, DefaultTilesAreOliveDotsAndBlueDashesOnTheFace) {
  const KColourScheme scheme(kFace);
  ExpectTiles(scheme, true, kOlive, kBlue, kFace);
  ExpectTiles(scheme, false, kOlive, kBlue, kFace);
}

TEST(ColourScheme, SettingsKeysInTableOrder) {
  const auto& slots = KColourScheme::Slots();
  const char* roles[] = {"BackGnd", "Border",  "ScaleGrid", "ScaleText", "LMarked",
                         "RMarked", "LUnmark", "RUnmark",   "MuteLine",  "RCursor"};
  for (size_t i = 0; i < slots.size(); ++i) {
    EXPECT_EQ(int(slots[i].Slot), int(i));
    EXPECT_EQ(std::string(slots[i].Key), std::string(i < 10 ? "ZI_" : "ZO_") + roles[i % 10]);
  }
}

TEST(ColourScheme, PlainSlotsReadBackWhatWasSet) {
  KColourScheme scheme(kFace);
  KColour colour = 0x010203;
  for (S slot : {S::ZI_Border, S::ZI_ScaleText, S::ZI_LMarked, S::ZI_RMarked, S::ZI_LUnmark, S::ZI_RUnmark,
                 S::ZI_MuteLine, S::ZO_Border, S::ZO_ScaleText, S::ZO_MuteLine, S::ZO_RUnmark}) {
    scheme.Set(slot, colour);
    EXPECT_EQ(scheme.Get(slot), colour);
    colour += 0x010101;
  }
  // Each slot keeps its own value.
  EXPECT_EQ(scheme.Get(S::ZI_Border), 0x010203u);
  EXPECT_EQ(scheme.Get(S::ZO_Border), 0x08090Au);  // the eighth colour set
  EXPECT_EQ(scheme.Get(S::ZO_LMarked), kBlack);
  // Only the 24 colour bits are kept.
  scheme.Set(S::ZI_MuteLine, 0xFF123456);
  EXPECT_EQ(scheme.Get(S::ZI_MuteLine), 0x123456u);
}

TEST(ColourScheme, GridAndCursorAreTilesOnTheCurrentBackground) {
  KColourScheme scheme(kFace);
  scheme.Set(S::ZI_ScaleGrid, 0x00FF00);
  scheme.Set(S::ZI_RCursor, 0x0000FF);
  ExpectTiles(scheme, true, 0x00FF00, 0x0000FF, kFace);
  EXPECT_EQ(scheme.Get(S::ZI_ScaleGrid), 0x00FF00u);  // the tile's pixel at (7, 7)
  EXPECT_EQ(scheme.Get(S::ZI_RCursor), 0x0000FFu);
  // The other box is untouched.
  ExpectTiles(scheme, false, kOlive, kBlue, kFace);
  EXPECT_EQ(scheme.Get(S::ZO_ScaleGrid), kOlive);
}

TEST(ColourScheme, NewBackgroundRebuildsThatBoxsTilesAtOnce) {
  KColourScheme scheme(kFace);
  scheme.Set(S::ZO_ScaleGrid, 0x00FF00);
  scheme.Set(S::ZO_BackGnd, 0x202020);
  EXPECT_EQ(scheme.Get(S::ZO_BackGnd), 0x202020u);
  ExpectTiles(scheme, false, 0x00FF00, kBlue, 0x202020);
  EXPECT_EQ(scheme.Get(S::ZO_ScaleGrid), 0x00FF00u);
  EXPECT_EQ(scheme.Get(S::ZO_RCursor), kBlue);
  ExpectTiles(scheme, true, kOlive, kBlue, kFace);
  EXPECT_EQ(scheme.Get(S::ZI_BackGnd), kFace);
}

TEST(ColourScheme, ResetAllRestoresDefaultsOnTheFace) {
  KColourScheme scheme(kFace);
  for (int i = 0; i < 20; ++i) scheme.Set(S(i), 0x00000000);  // as a load of a store of zeros
  ExpectTiles(scheme, true, kBlack, kBlack, kBlack);
  scheme.ResetAll();
  const KColourScheme fresh(kFace);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), fresh.Get(S(i))) << "slot " << i;
  ExpectTiles(scheme, true, kOlive, kBlue, kFace);
  ExpectTiles(scheme, false, kOlive, kBlue, kFace);
}

TEST(ColourScheme, LoadInTableOrderKeepsGridOnTheLoadedBackground) {
  // Loading sets each background before its grid and cursor, so the tiles
  // end up on the loaded background whatever the grid was built on.
  KColourScheme scheme(kFace);
  for (const auto& info : KColourScheme::Slots()) {
    KColour colour = kBlack;
    if (info.Slot == S::ZI_BackGnd) colour = 0x112233;
    if (info.Slot == S::ZI_ScaleGrid) colour = 0x445566;
    if (info.Slot == S::ZI_RCursor) colour = 0x778899;
    scheme.Set(info.Slot, colour);
  }
  ExpectTiles(scheme, true, 0x445566, 0x778899, 0x112233);
  ExpectTiles(scheme, false, kBlack, kBlack, kBlack);
}

}  // namespace
