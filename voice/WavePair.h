// KWavePair: the two buffers, A and B, that a play or record loop keeps in a
// wave device's queue. Each is a mapped view of a sample store, so the device
// reads or fills the store in place; the device hands them back in the order
// they were queued. Input buffers are cleared to silence before they are
// queued, so that frames a device counts but never writes are silent.
#pragma once

#include <array>
#include <cstdint>

#include "formats/VoiceLayout.h"
#include "platform/WaveAudio.h"
#include "store/PcmMMap.h"

class KWavePair {
 public:
  static constexpr int32_t kBufferBytes = 65536;
  // The longest a loop waits between two looks at the device: short enough
  // for a smooth play pointer and a prompt stop.
  static constexpr int kPollMs = 10;

  enum class KFill { Queued, NoView, PrepareFailed, QueueFailed };

  KWavePair(KWaveAudio& audio, KWaveDirection direction, KPcmMMap& store, const KVoiceFormat& format);
  // Stops the device first when it still holds a buffer, so that no view is
  // released under it.
  ~KWavePair();
  KWavePair(const KWavePair&) = delete;
  KWavePair& operator=(const KWavePair&) = delete;

  // 65536 for mono 8-bit, 32768 for mono 16-bit and stereo 8-bit, 16384 for stereo 16-bit.
  int32_t FramesPerBuffer() const { return kBufferBytes / frameBytes_; }
  bool BothFree() const { return !slots_[kA].View && !slots_[kB].View; }

  // Queues the free buffers, A first, with the store's frames from `next`
  // (1-based, moved on past what was queued) while more than `tail` frames
  // remain before `end`; each takes FramesPerBuffer() frames or the rest up
  // to `end`. Queued, or the step that failed (that buffer is free again).
  KFill Refill(int64_t& next, int64_t end, int64_t tail);
  // Gives back the buffers the device is through with, oldest first: A and
  // then B in one call, B alone otherwise. False when none was given back,
  // that is when the device still holds the oldest.
  bool ReleaseDone();
  // Resets the device, then unprepares every buffer still held and releases its view.
  void Stop();

  // The message a failed Refill shows (0: none, for a view that could not be mapped).
  int FailureMessage(KFill fill) const;
  bool Start() { return audio_.Start(direction_); }
  // Frames heard or captured since the device was opened or reset.
  int64_t Position() { return audio_.Position(direction_); }
  // Lets the device work for a moment instead of polling it in a spin.
  void Wait() { audio_.Wait(direction_, kPollMs); }

 private:
  static constexpr int kA = 0;
  static constexpr int kB = 1;
  struct Slot {
    KWaveBuffer Header;
    uint8_t* View = nullptr;
  };
  void Free(Slot& slot);
  // Maps, prepares and queues `frames` frames from frame index `first` (0-based) in a free slot.
  KFill Fill(Slot& slot, int64_t first, int32_t frames);

  KWaveAudio& audio_;
  KWaveDirection direction_;
  KPcmMMap& store_;
  int32_t frameBytes_;
  uint8_t silence_;
  std::array<Slot, 2> slots_;
  int next_ = kA;
};
