// The display options that window commands switch and the display layer
// reads. They last for one run only; a fresh object holds the start values.
#pragma once

#include <cstdint>

struct KDisplayOptions {
  // Scale texts of the zoom-in and overview boxes: hexadecimal (1) or decimal (0).
  int32_t ZiScaleHex = 1;
  int32_t ZoScaleHex = 1;
  // Location readouts and length prompts: hexadecimal counts (1) or seconds (0).
  int32_t LocationHex = 0;
  // Zoom-in waveform: curve (0) or rectangles (1).
  int32_t WaveformMode = 0;
  // Zoom-in pixels per sample frame: 2, 4, 6 or 8.
  int32_t ZiResolution = 2;
};
