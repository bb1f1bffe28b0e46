#include "display/BoxScales.h"

#include <charconv>

namespace {

// `value` in `base` (upper case), padded on the left with `fill` to `width`.
std::string Padded(int32_t value, int base, int width, char fill) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value, base);
  std::string text(digits, result.ptr);
  for (char& c : text)
    if (c >= 'a' && c <= 'f') c = char(c - 'a' + 'A');
  if (int(text.size()) < width) text.insert(0, size_t(width) - text.size(), fill);
  return text;
}

int LabelColumn(int32_t bitsPerSample) { return bitsPerSample == 16 ? 11 : 29; }

// `count` labels from `firstRow`, 32 rows apart, running from full scale
// down to the lowest value in equal steps; the first reads as the highest
// value a sample can take.
void AddLabels(std::vector<KScaleLabel>& labels, int firstRow, int count, int32_t bitsPerSample, bool hex) {
  const bool wide = bitsPerSample == 16;
  const int32_t top = wide ? 32768 : 256, range = wide ? 65536 : 256;
  for (int m = 0; m < count; ++m) {
    const int32_t value = m == 0 ? top - 1 : top - m * (range / (count - 1));
    labels.push_back({LabelColumn(bitsPerSample), firstRow + 32 * m, ScaleText(value, bitsPerSample, hex)});
  }
}

}  // namespace

std::string ScaleText(int32_t value, int32_t bitsPerSample, bool hex) {
  if (bitsPerSample == 16) return hex ? " " + Padded(value & 0xFFFF, 16, 4, '0') + "H" : Padded(value, 10, 6, ' ');
  return hex ? Padded(value, 16, 2, '0') + "H" : Padded(value, 10, 3, ' ');
}

std::vector<KScaleLabel> ZoomScaleLabels(int32_t bitsPerSample, bool hex) {
  std::vector<KScaleLabel> labels;
  const int rows = KZoomGeometry::kInteriorBottom - KZoomGeometry::kInteriorTop + 1;
  AddLabels(labels, KZoomGeometry::kTop - 4, rows / 32 + 1, bitsPerSample, hex);
  return labels;
}

std::vector<KScaleLabel> OverviewScaleLabels(const KOverviewGeometry& geometry, int32_t bitsPerSample, bool hex) {
  std::vector<KScaleLabel> labels;
  for (int ch = 0; ch < geometry.Channels; ++ch) {
    const int rows = geometry.InteriorBottom(ch) - geometry.InteriorTop(ch) + 1;
    AddLabels(labels, geometry.InteriorTop(ch) - 4, rows / 32 + 1, bitsPerSample, hex);
  }
  return labels;
}

void DrawScaleLabels(KCanvas& canvas, const std::vector<KScaleLabel>& labels, KColour text, KColour back) {
  for (const KScaleLabel& label : labels) canvas.Text(label.X, label.Y, label.Text, text, back);
}

void DrawGrid(KCanvas& canvas, int left, int right, int top, int bottom, const KTile& horizontal,
              const KTile& vertical) {
  for (int y = top; y <= bottom; y = y == top ? top + 31 : y + 32) canvas.FillTiled(left, y, right, y + 1, horizontal);
  for (int x = left; x <= right; x = x == left ? left + 31 : x + 32) canvas.FillTiled(x, top, x + 1, bottom, vertical);
}
