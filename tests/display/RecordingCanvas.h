// A canvas for tests: it keeps every call in order and also paints lines and
// fills into a pixel grid with the canvas's semantics, so that tests can ask
// both what was drawn and which pixel ended up where. Icons and texts are
// only recorded.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "display/Canvas.h"

class RecordingCanvas : public KCanvas {
 public:
  static constexpr KColour kUnpainted = 0xFF000000;
  enum class Kind { Line, Fill, Tiled, Icon, Text };
  struct Call {
    Kind What;
    int A, B, C, D;  // line: x0 y0 x1 y1; fills: l t r b; icon and text: x y
    KColour Colour = 0;
    KIcon Icon = KIcon::MKL;
    std::string Text{};
  };

  explicit RecordingCanvas(int width = 641, int height = 292)
      : width_(width), height_(height), pixels_(size_t(width) * size_t(height), kUnpainted) {}

  void Line(int x0, int y0, int x1, int y1, KColour colour) override {
    Calls.push_back({Kind::Line, x0, y0, x1, y1, colour});
    // Bresenham from (x0, y0), stopping before (x1, y1).
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy, x = x0, y = y0; x != x1 || y != y1;) {
      Put(x, y, colour);
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x += sx;
      if (e2 <= dx) err += dx, y += sy;
    }
  }
  void FillRect(int l, int t, int r, int b, KColour colour) override {
    Calls.push_back({Kind::Fill, l, t, r, b, colour});
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Put(x, y, colour);
  }
  void FillTiled(int l, int t, int r, int b, const KTile& tile) override {
    Calls.push_back({Kind::Tiled, l, t, r, b});
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Put(x, y, tile.At(x, y));
  }
  void DrawIcon(KIcon icon, int x, int y) override { Calls.push_back({Kind::Icon, x, y, 0, 0, 0, icon}); }
  void Text(int x, int y, std::string_view text, KColour colour, KColour /*back*/) override {
    Calls.push_back({Kind::Text, x, y, 0, 0, colour, KIcon::MKL, std::string(text)});
  }

  KColour At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ ? pixels_[size_t(y) * size_t(width_) + size_t(x)] : kUnpainted;
  }
  std::vector<Call> Of(Kind kind) const {
    std::vector<Call> out;
    for (const Call& c : Calls)
      if (c.What == kind) out.push_back(c);
    return out;
  }
  // Lines drawn in `colour`.
  std::vector<Call> LinesIn(KColour colour) const {
    std::vector<Call> out;
    for (const Call& c : Of(Kind::Line))
      if (c.Colour == colour) out.push_back(c);
    return out;
  }
  // The first pixel row of column x, from the top, holding `colour`; -1 for none.
  int FirstRowIn(int x, KColour colour) const {
    for (int y = 0; y < height_; ++y)
      if (At(x, y) == colour) return y;
    return -1;
  }

  std::vector<Call> Calls;

 private:
  void Put(int x, int y, KColour colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[size_t(y) * size_t(width_) + size_t(x)] = colour;
  }

  int width_, height_;
  std::vector<KColour> pixels_;
};
