#include <gtest/gtest.h>

#include "display/ColourScheme.h"

namespace {

using S = KColourSlot;
constexpr KColour kFace = 0xC0C0C0, kOlive = 0x008080, kBlue = 0xFF0000;  // 0x00BBGGRR

// One box's tiles: the grid on rows (or columns) 3 and 7, the cursor on rows 2, 3, 6 and 7, the rest `back`.
void ExpectTiles(const KColourScheme& scheme, bool zoomIn, KColour grid, KColour cursor, KColour back) {
  const KTile &rows = scheme.VerticalGrid(zoomIn), &columns = scheme.HorizontalGrid(zoomIn);
  const KTile& dashes = scheme.Cursor(zoomIn);
  EXPECT_EQ(
      std::vector({rows.At(0, 3), rows.At(3, 2), columns.At(7, 0), columns.At(2, 3), dashes.At(0, 2), dashes.At(5, 1)}),
      std::vector({grid, back, grid, back, cursor, back}))
      << (zoomIn ? "zoom-in" : "overview");
}

// The defaults of both boxes (the background is the button face), again
// after a reset; every slot keeps its own 24-bit colour; a box's grid and
// cursor tiles follow its colours and its background at once.
TEST(ColourScheme, DefaultsSlotsAndTiles) {
  const KColour defaults[] = {kFace, 0, kOlive, 0, 0, 0, 0xFFFFFF, 0xFFFFFF, 0, kBlue};
  KColourScheme scheme(kFace);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), defaults[i % 10]) << i;
    for (int i = 0; i < 20; ++i) scheme.Set(S(i), 0xFF010203u * KColour(i + 1));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), (0x010203u * KColour(i + 1)) & 0xFFFFFF) << i;
    scheme.ResetAll();
  }
  scheme.Set(S::ZI_ScaleGrid, 0x00FF00);
  scheme.Set(S::ZI_RCursor, 0x0000FF);
  ExpectTiles(scheme, true, 0x00FF00, 0x0000FF, kFace);
  scheme.Set(S::ZI_BackGnd, 0x202020);
  ExpectTiles(scheme, true, 0x00FF00, 0x0000FF, 0x202020);
  ExpectTiles(scheme, false, kOlive, kBlue, kFace);  // the other box is untouched
  EXPECT_EQ(std::tuple(scheme.Get(S::ZI_ScaleGrid), scheme.Get(S::ZI_RCursor)), std::tuple(0x00FF00u, 0x0000FFu));
}

}  // namespace
