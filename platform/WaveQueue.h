// KWaveQueue: the two buffers a wave device holds, in stream order, and how
// many of their frames the device has moved (written to the sound system for
// output, filled from it for input) since the last Clear.
#pragma once

#include <array>
#include <cstdint>

#include "platform/WaveAudio.h"

class KWaveQueue {
 public:
  static constexpr int kDepth = 2;

  // The unmoved part of the oldest buffer that still has frames to move.
  struct Span {
    uint8_t* Data = nullptr;
    int64_t Frames = 0;
  };

  // Returns every buffer (InQueue false) and restarts the count at 0.
  void Clear(int frameBytes);
  // Appends a buffer of whole frames; false when the queue is full.
  bool Add(KWaveBuffer& buffer);
  Span Next() const;
  // The device moved `frames` of Next() (never more than it offered).
  void Moved(int64_t frames);
  // Removes `buffer` when the device is through with its frames, that is
  // when `finished` has reached its end; false while it is still held.
  bool Release(KWaveBuffer& buffer, int64_t finished);

  int64_t MovedFrames() const { return moved_; }
  // The end of the oldest buffer held, or 0 when none is.
  int64_t OldestEnd() const;
  int Count() const { return count_; }

 private:
  std::array<KWaveBuffer*, kDepth> held_{};
  int count_ = 0;
  int frameBytes_ = 1;
  int64_t moved_ = 0;
  int64_t end_ = 0;
};

// Frames heard by an output device: those written less those still waiting
// in its delay, never fewer than heard before nor more than written.
int64_t HeardFrames(int64_t written, int64_t delay, int64_t before);
