#include "display/ColourScheme.h"

#include <algorithm>
#include <cmath>

namespace {

using S = KColourSlot;

constexpr int kPerBox = 10;

bool IsZoomIn(S slot) { return int(slot) < kPerBox; }
// The slot of the same role in the zoom-in box's half.
S Role(S slot) { return S(int(slot) % kPerBox); }
S BackgroundOf(S slot) { return IsZoomIn(slot) ? S::ZI_BackGnd : S::ZO_BackGnd; }

// A tile of `back` with the rows (or columns) whose index is in `mask` in `fore`.
KTile MakeTile(KColour back, KColour fore, unsigned mask, bool rows) {
  KTile tile{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.Pixels[y][x] = (mask >> (rows ? y : x)) & 1 ? fore : back;
  return tile;
}

constexpr unsigned kGridLines = (1u << 3) | (1u << 7);
constexpr unsigned kCursorLines = (1u << 2) | (1u << 3) | (1u << 6) | (1u << 7);

}  // namespace

const std::array<KColourSlotInfo, KColourScheme::kSlots>& KColourScheme::Slots() {
  static const std::array<KColourSlotInfo, kSlots> slots = {{
      {S::ZI_BackGnd, "ZI_BackGnd"},     {S::ZI_Border, "ZI_Border"},       {S::ZI_ScaleGrid, "ZI_ScaleGrid"},
      {S::ZI_ScaleText, "ZI_ScaleText"}, {S::ZI_LMarked, "ZI_LMarked"},     {S::ZI_RMarked, "ZI_RMarked"},
      {S::ZI_LUnmark, "ZI_LUnmark"},     {S::ZI_RUnmark, "ZI_RUnmark"},     {S::ZI_MuteLine, "ZI_MuteLine"},
      {S::ZI_RCursor, "ZI_RCursor"},     {S::ZO_BackGnd, "ZO_BackGnd"},     {S::ZO_Border, "ZO_Border"},
      {S::ZO_ScaleGrid, "ZO_ScaleGrid"}, {S::ZO_ScaleText, "ZO_ScaleText"}, {S::ZO_LMarked, "ZO_LMarked"},
      {S::ZO_RMarked, "ZO_RMarked"},     {S::ZO_LUnmark, "ZO_LUnmark"},     {S::ZO_RUnmark, "ZO_RUnmark"},
      {S::ZO_MuteLine, "ZO_MuteLine"},   {S::ZO_RCursor, "ZO_RCursor"},
  }};
  return slots;
}

namespace {

// The relative luminance of an sRGB colour (0x00BBGGRR), 0 for black to 1 for white.
double Luminance(KColour colour) {
  double sum = 0;
  const double weights[] = {0.2126, 0.7152, 0.0722};  // red, green, blue
  for (int channel = 0; channel < 3; ++channel) {
    const double value = double((colour >> (8 * channel)) & 0xFF) / 255;
    sum += weights[channel] * (value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4));
  }
  return sum;
}

double Contrast(KColour a, KColour b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

KColour DefaultBackground(KColour buttonFace) {
  constexpr KColour kClassicFace = 0xC0C0C0;
  const bool clear = Contrast(buttonFace, 0xFFFFFF) >= 3 && Contrast(buttonFace, 0x000000) >= 3;
  return clear ? buttonFace : kClassicFace;
}

KColourScheme::KColourScheme(KColour buttonFace) : buttonFace_(DefaultBackground(buttonFace)) { ResetAll(); }

void KColourScheme::Set(KColourSlot slot, KColour colour) {
  colour &= 0x00FFFFFF;
  BoxTiles& tiles = tiles_[IsZoomIn(slot) ? 0 : 1];
  const KColour back = plain_[size_t(BackgroundOf(slot))];
  switch (Role(slot)) {
    case S::ZI_ScaleGrid:
      tiles.VerticalGrid = MakeTile(back, colour, kGridLines, true);
      tiles.HorizontalGrid = MakeTile(back, colour, kGridLines, false);
      break;
    case S::ZI_RCursor:
      tiles.Cursor = MakeTile(back, colour, kCursorLines, true);
      break;
    case S::ZI_BackGnd: {
      // The box's grid and cursor tiles follow a new background at once.
      const KColour grid = tiles.VerticalGrid.At(7, 7), cursor = tiles.Cursor.At(7, 7);
      plain_[size_t(slot)] = colour;
      tiles.VerticalGrid = MakeTile(colour, grid, kGridLines, true);
      tiles.HorizontalGrid = MakeTile(colour, grid, kGridLines, false);
      tiles.Cursor = MakeTile(colour, cursor, kCursorLines, true);
      break;
    }
    default:
      plain_[size_t(slot)] = colour;
      break;
  }
}

KColour KColourScheme::Get(KColourSlot slot) const {
  switch (Role(slot)) {
    case S::ZI_ScaleGrid:
      return box(IsZoomIn(slot)).VerticalGrid.At(7, 7);
    case S::ZI_RCursor:
      return box(IsZoomIn(slot)).Cursor.At(7, 7);
    default:
      return plain_[size_t(slot)];
  }
}

void KColourScheme::ResetAll() {
  // Reset order of one box, as offsets from its background slot.
  constexpr S kOrder[] = {S::ZI_BackGnd, S::ZI_Border,  S::ZI_ScaleGrid, S::ZI_ScaleText, S::ZI_LMarked,
                          S::ZI_LUnmark, S::ZI_RMarked, S::ZI_RUnmark,   S::ZI_MuteLine,  S::ZI_RCursor};
  for (int half = 0; half < 2; ++half) {
    for (S role : kOrder) {
      KColour colour = 0x000000;
      if (role == S::ZI_BackGnd) colour = buttonFace_;
      if (role == S::ZI_ScaleGrid) colour = 0x008080;
      if (role == S::ZI_LUnmark || role == S::ZI_RUnmark) colour = 0xFFFFFF;
      if (role == S::ZI_RCursor) colour = 0xFF0000;
      Set(S(int(role) + half * kPerBox), colour);
    }
  }
}
