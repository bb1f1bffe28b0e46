// The scales of the two waveform boxes: the value labels on their left and
// the dotted grid lines inside them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/BoxGeometry.h"
#include "display/Canvas.h"

struct KScaleLabel {
  int X = 0, Y = 0;  // top-left corner of the text
  std::string Text;
};

// The text of a scale value: 8-bit "FFH" or "%3d"; 16-bit " 7FFFH" (the low
// 16 bits, after a blank) or "%6d" of the signed value.
std::string ScaleText(int32_t value, int32_t bitsPerSample, bool hex);

// Nine labels from row 12, 32 rows apart: 255, 224 .. 0 or 32767, 24576 .. -32768.
std::vector<KScaleLabel> ZoomScaleLabels(int32_t bitsPerSample, bool hex);
// Per channel box, from 4 rows above its interior: five labels for a mono
// voice (255, 192 .. 0), three for each box of a stereo one (255, 128, 0).
std::vector<KScaleLabel> OverviewScaleLabels(const KOverviewGeometry& geometry, int32_t bitsPerSample, bool hex);

void DrawScaleLabels(KCanvas& canvas, const std::vector<KScaleLabel>& labels, KColour text, KColour back);

// The dotted grid of one interior (columns left..right, rows top..bottom):
// one-pixel rows at top, top + 31 and every 32 rows on, across left..right-1;
// then one-pixel columns at left, left + 31 and every 32 on, over top..bottom-1.
void DrawGrid(KCanvas& canvas, int left, int right, int top, int bottom, const KTile& horizontal,
              const KTile& vertical);
