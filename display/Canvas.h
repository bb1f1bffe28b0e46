// KCanvas: the drawing primitives the two waveform boxes are drawn with, in
// the window system's semantics, so that the box code reads as the layout it
// describes and every pixel it places can be checked. The painting library
// draws them into an off-screen image; tests may record them.
#pragma once

#include <cstdint>
#include <string_view>

// 0x00BBGGRR, red in the low byte, as the settings file stores colours.
using KColour = uint32_t;

// An 8 x 8 pattern, Pixels[row][column]. A tiled fill is aligned to the box
// origin: pixel (x, y) takes Pixels[y % 8][x % 8].
struct KTile {
  KColour Pixels[8][8];
  KColour At(int x, int y) const { return Pixels[y & 7][x & 7]; }
};

// The four 25 x 12 images of the boxes.
enum class KIcon { MKL, MKR, FLG, Pointer };
constexpr int kIconWidth = 25;
constexpr int kIconHeight = 12;

class KCanvas {
 public:
  virtual ~KCanvas() = default;
  // A Bresenham line from (x0, y0) towards (x1, y1); the end pixel is not drawn.
  virtual void Line(int x0, int y0, int x1, int y1, KColour colour) = 0;
  // Columns l..r-1 of rows t..b-1: the right and bottom edges are excluded.
  virtual void FillRect(int l, int t, int r, int b, KColour colour) = 0;
  // The same area filled from `tile`, aligned to the box origin.
  virtual void FillTiled(int l, int t, int r, int b, const KTile& tile) = 0;
  // The icon with its top-left corner at (x, y); its background stays unpainted.
  virtual void DrawIcon(KIcon icon, int x, int y) = 0;
  // Text with its top-left corner at (x, y) in the box font, on an opaque
  // background of `back`.
  virtual void Text(int x, int y, std::string_view text, KColour colour, KColour back) = 0;
};
