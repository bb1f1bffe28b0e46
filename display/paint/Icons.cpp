#include "display/paint/Icons.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace {

constexpr QRgb kDarkRed = 0xFF800000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr int kApex = 12;

// A 5 x 7 pixel font for the letters the icons need; '#' is ink.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

std::array<std::string_view, kGlyphHeight> Glyph(char letter) {
  switch (letter) {
    case 'M':
      return {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"};
    case 'K':
      return {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"};
    case 'L':
      return {"#....", "#....", "#....", "#....", "#....", "#....", "#####"};
    case 'R':
      return {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"};
    case 'F':
      return {"#####", "#....", "#....", "####.", "#....", "#....", "#...."};
    case 'G':
      return {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."};
    default:
      return {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."};  // 'P'
  }
}

// Paints `text` with its top-left corner at (x, y), one blank column between letters.
void Letter(QImage& image, std::string_view text, int x, int y, QRgb ink) {
  for (char letter : text) {
    const auto rows = Glyph(letter);
    for (int r = 0; r < kGlyphHeight; ++r)
      for (int c = 0; c < kGlyphWidth; ++c)
        if (rows[r][c] == '#') image.setPixel(x + c, y + r, ink);
    x += kGlyphWidth + 1;
  }
}

QImage Blank() {
  QImage image(kIconWidth, kIconHeight, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

// Three letters centred on the apex column over rows 0..6; below them a
// filled triangle over rows 8..11 narrowing to the apex in the bottom row.
QImage Marker(std::string_view text) {
  QImage image = Blank();
  const int textWidth = int(text.size()) * (kGlyphWidth + 1) - 1;
  Letter(image, text, kApex - textWidth / 2, 0, kDarkRed);
  for (int y = 8; y < kIconHeight; ++y) {
    const int half = kIconHeight - 1 - y;
    for (int x = kApex - half; x <= kApex + half; ++x) image.setPixel(x, y, kDarkRed);
  }
  return image;
}

// The pointer's house: a roof rising two columns per row to the apex in row 0,
// walls eight columns either side of it down to the bottom row.
bool InHouse(int x, int y) {
  return x >= 0 && y >= 0 && x < kIconWidth && y < kIconHeight && std::abs(x - kApex) <= std::min(2 * y, 8);
}

QImage Pointer() {
  QImage image = Blank();
  for (int y = 0; y < kIconHeight; ++y) {
    for (int x = 0; x < kIconWidth; ++x) {
      if (!InHouse(x, y)) continue;
      const bool edge =
          y == kIconHeight - 1 || !InHouse(x - 1, y) || !InHouse(x + 1, y) || !InHouse(x, y - 1) || !InHouse(x, y + 1);
      image.setPixel(x, y, edge ? kBlack : kWhite);
    }
  }
  Letter(image, "P", kApex - kGlyphWidth / 2, 4, kRed);
  return image;
}

}  // namespace

const QImage& IconImage(KIcon icon) {
  static const std::array<QImage, 4> images = {Marker("MKL"), Marker("MKR"), Marker("FLG"), Pointer()};
  return images[size_t(icon)];
}
