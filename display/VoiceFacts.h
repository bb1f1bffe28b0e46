// KVoiceFacts: the plain values of a voice that the two waveform boxes are
// computed and drawn from. The voice's display layer copies them out of its
// record; the boxes never see the voice object itself.
#pragma once

#include <cstdint>

struct KVoiceFacts {
  int32_t Channels = 1;       // 1 or 2
  int32_t BitsPerSample = 8;  // 8 or 16
  int32_t END = 0;            // length in frames
  int32_t MKL = 0;
  int32_t MKR = 0;
  int32_t FLG = 0;
  int32_t ZiStart = 0;  // first frame of the zoom-in window, 1-based

  int32_t BytesPerSample() const { return BitsPerSample / 8; }
  int32_t FrameBytes() const { return Channels * BytesPerSample(); }
  bool ValidFormat() const { return (Channels == 1 || Channels == 2) && (BitsPerSample == 8 || BitsPerSample == 16); }
};
