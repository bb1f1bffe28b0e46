// The overview's envelope: a voice reduced to one column per pixel of the
// overview, each holding per channel the mean of the positive samples and
// the mean magnitude of the negative ones. The reduction reads every sample
// once and is run only when the voice's samples changed.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "display/BoxGeometry.h"
#include "store/PcmMMap.h"

struct KZoEnvelope {
  using Column = std::array<int32_t, kZoColumns>;
  // [channel]: raw sample units, negatives as magnitudes; channel 2 stays 0 for mono.
  std::array<Column, 2> Positive{};
  std::array<Column, 2> Negative{};
};

// The progress window's side of a reduction; passed only while it is visible.
class KEnvelopeProgress {
 public:
  virtual ~KEnvelopeProgress() = default;
  // Once before the first column: the title, the bar at 0, repainted at once.
  virtual void Title(std::string_view title) = 0;
  // After every column.
  virtual void Bar(int percent) = 0;
};

inline constexpr std::string_view kEnvelopeTitle = "Caculate ZO waveform";

// Reduces the first `end` frames of `store` (laid out as `channels` x
// `bitsPerSample`) into `columns` columns (1..544) of `envelope`.
// Column c starts at frame trunc(c * step), step = end / columns, and
// reaches to frame trunc(c * step + n - 1), n being the count of whole
// numbers below step; a frame shared with the previous column counts there
// only. Columns are filled while c * step < end - step - 1, the rest are 0
// (for end = 544 k: columns 0..542 when k >= 2, 0..541 when k = 1). Frames
// the store does not hold read as silence, which counts nowhere. A voice of
// 0 or 1 frames, or a format other than 1 or 2 channels of 8 or 16 bits,
// gives an all-zero envelope (false for the bad format).
bool ReduceEnvelope(KPcmMMap& store, int32_t channels, int32_t bitsPerSample, int32_t end, KZoEnvelope& envelope,
                    KEnvelopeProgress* progress = nullptr, int columns = kZoColumns);
