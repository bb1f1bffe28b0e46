// The pixel layout of the two waveform boxes, in each box's own coordinates.
// Both boxes share the left edge 63 and a right edge R derived from the box
// width; the interior between them holds at most 544 columns. The layout is
// recomputed from the box size (and, for the overview, the channel count)
// before every full redraw.
#pragma once

#include <algorithm>
#include <cstdint>

constexpr int kZoColumns = 544;  // envelope columns of the overview
constexpr int kZiCells = 272;    // samples held by the zoom-in window
constexpr int kBoxLeftEdge = 63;
constexpr int kMarkerIconRow = 3;  // top of the marker icons: box top edge 16 - 13
constexpr int kIconApex = 12;      // icons are placed with column 12 on their pixel column

// R = W - (W mod 32) - 32, kept so that the interior spans 1..544 columns.
inline int BoxRightEdge(int width) {
  const int r = width - width % 32 - 32;
  return std::clamp(r, kBoxLeftEdge + 2, kBoxLeftEdge + 1 + kZoColumns);
}

// Interior columns Left()..Right(), shared by both boxes.
struct KBoxSpan {
  int R = BoxRightEdge(641);
  int Left() const { return kBoxLeftEdge + 1; }
  int Right() const { return R - 1; }
  // "width" and "columns" of the overview arithmetic: 543 and 544 in the window layout.
  int Width() const { return Right() - Left(); }
  int Columns() const { return Right() - Left() + 1; }
};

struct KOverviewGeometry : KBoxSpan {
  int BoxWidth = 641, BoxHeight = 180;
  int Channels = 1;
  int Top[2] = {16, 96};       // channel box top edges
  int Bottom[2] = {145, 161};  // channel box bottom edges

  int InteriorTop(int ch) const { return Top[ch] + 1; }
  int InteriorBottom(int ch) const { return Bottom[ch] - 1; }
  // The zero level of a channel box: its mute line and the envelope's centre.
  int MuteRow(int ch) const { return (InteriorBottom(ch) - InteriorTop(ch) + 1) / 2 + InteriorTop(ch) - 1; }
  int PointerRow(int ch) const { return Bottom[ch] + 1; }
};

inline KOverviewGeometry MakeOverviewGeometry(int boxWidth, int boxHeight, int channels) {
  KOverviewGeometry g;
  g.R = BoxRightEdge(boxWidth);
  g.BoxWidth = boxWidth;
  g.BoxHeight = boxHeight;
  g.Channels = channels == 2 ? 2 : 1;
  g.Top[0] = 16;
  g.Bottom[0] = g.Channels == 2 ? 81 : 145;
  g.Top[1] = 96;
  g.Bottom[1] = 161;
  return g;
}

struct KZoomGeometry : KBoxSpan {
  static constexpr int kTop = 16, kBottom = 273;
  static constexpr int kInteriorTop = kTop + 1, kInteriorBottom = kBottom - 1;
  static constexpr int kMuteRow = (kInteriorBottom - kInteriorTop + 1) / 2 + kInteriorTop - 1;  // 144
  int BoxWidth = 641, BoxHeight = 292;
};

inline KZoomGeometry MakeZoomGeometry(int boxWidth, int boxHeight) {
  KZoomGeometry g;
  g.R = BoxRightEdge(boxWidth);
  g.BoxWidth = boxWidth;
  g.BoxHeight = boxHeight;
  return g;
}
