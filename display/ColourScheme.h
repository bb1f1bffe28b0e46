// KColourScheme: the twenty colour slots of the two waveform boxes, one set
// for the whole program. Grid slots are held as two 8 x 8 tiles and cursor
// slots as one, built on the box's background when the slot is set; a tiled
// slot reads back as its tile's pixel at (7, 7).
#pragma once

#include <array>
#include <cstddef>

#include "display/Canvas.h"

enum class KColourSlot {
  ZI_BackGnd,
  ZI_Border,
  ZI_ScaleGrid,
  ZI_ScaleText,
  ZI_LMarked,
  ZI_RMarked,
  ZI_LUnmark,
  ZI_RUnmark,
  ZI_MuteLine,
  ZI_RCursor,
  ZO_BackGnd,
  ZO_Border,
  ZO_ScaleGrid,
  ZO_ScaleText,
  ZO_LMarked,
  ZO_RMarked,
  ZO_LUnmark,
  ZO_RUnmark,
  ZO_MuteLine,
  ZO_RCursor,
};

struct KColourSlotInfo {
  KColourSlot Slot;
  const char* Key;  // the settings key in section "Color"
};

// The default box background for the system's button face: the face itself,
// unless the white unmarked or the black marked waveform would have a
// contrast under 3 : 1 on it (a light modern palette); then the classic
// mid-grey button face 0xC0C0C0.
KColour DefaultBackground(KColour buttonFace);

class KColourScheme {
 public:
  static constexpr size_t kSlots = 20;
  // The slots in the order of the settings table (also the order of loading).
  static const std::array<KColourSlotInfo, kSlots>& Slots();

  // `buttonFace` is the system's button-face colour, the default background
  // where both default waveforms stand out on it (DefaultBackground).
  explicit KColourScheme(KColour buttonFace);

  // Stores the colour: a grid or cursor slot rebuilds its tiles on the box's
  // current background, a background rebuilds its box's tiles on itself.
  // Nothing is redrawn.
  void Set(KColourSlot slot, KColour colour);
  KColour Get(KColourSlot slot) const;
  // The defaults, each background before its box's grid and cursor.
  void ResetAll();

  // Tiles of the zoom-in (zoomIn) or overview box: the vertical grid tile
  // (rows 3 and 7), the horizontal one (columns 3 and 7), the dashed cursor
  // tile (rows 2, 3, 6 and 7).
  const KTile& VerticalGrid(bool zoomIn) const { return box(zoomIn).VerticalGrid; }
  const KTile& HorizontalGrid(bool zoomIn) const { return box(zoomIn).HorizontalGrid; }
  const KTile& Cursor(bool zoomIn) const { return box(zoomIn).Cursor; }

 private:
  struct BoxTiles {
    KTile VerticalGrid{}, HorizontalGrid{}, Cursor{};
  };
  const BoxTiles& box(bool zoomIn) const { return tiles_[zoomIn ? 0 : 1]; }

  KColour buttonFace_;
  std::array<KColour, kSlots> plain_{};
  std::array<BoxTiles, 2> tiles_{};
};
