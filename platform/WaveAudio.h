// The wave-audio devices as the voice object sees them: opened per PCM
// format, one cached device per direction, polled without callbacks. Buffers
// point into the caller's memory (mapped views of the voice's store); the
// device reads or fills them in place, two at most in its queue.
// KNoWaveAudio is a machine without a sound card where every open fails;
// KAlsaWaveAudio plays through ALSA and KSimulatedWaveAudio serves tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Status.h"

enum class KWaveDirection { Input = 0, Output = 1 };

// One buffer as handed to a device. The caller sets Data and Bytes and keeps
// the memory and this record alive until Unprepare answers Done; the device
// keeps the other fields.
struct KWaveBuffer {
  uint8_t* Data = nullptr;
  int32_t Bytes = 0;
  bool Prepared = false;
  bool InQueue = false;
  // Stream position in frames (since the last reset) just past this buffer.
  int64_t End = 0;
};

enum class KWaveRelease { Done, StillPlaying };

class KWaveAudio {
 public:
  virtual ~KWaveAudio() = default;
  // True when a device of that direction accepts the format. The same format
  // as the cached device resets and reuses it; another closes and reopens.
  virtual bool Open(KWaveDirection direction, int channels, int bits, int rate) = 0;
  // Closes both cached devices; true when one was open.
  virtual bool CloseAll() = 0;

  // Stops the device and returns every queued buffer; the position restarts at 0.
  virtual bool Reset(KWaveDirection direction) = 0;
  // Checks a buffer for the open format; false keeps it unprepared.
  virtual bool Prepare(KWaveDirection direction, KWaveBuffer& buffer) = 0;
  // Writes (output) or adds (input) a prepared buffer; false when the queue
  // of two is full or the buffer is not prepared.
  virtual bool Queue(KWaveDirection direction, KWaveBuffer& buffer) = 0;
  // Starts capture; output plays as soon as buffers are queued.
  virtual bool Start(KWaveDirection direction) = 0;
  // Frames heard (output) or captured (input) since the last reset.
  virtual int64_t Position(KWaveDirection direction) = 0;
  // Unprepares a buffer the device is through with; StillPlaying while it
  // holds it (for output, until its last frame has been heard).
  virtual KWaveRelease Unprepare(KWaveDirection direction, KWaveBuffer& buffer) = 0;
  // Blocks for at most `ms` milliseconds, less when the device wants feeding
  // or a buffer comes due, so that polling loops do not spin.
  virtual void Wait(KWaveDirection direction, int ms) = 0;
  // Why the last failing call failed (Ok while none has).
  virtual const KStatus& Status() const = 0;
};

// Closes both devices: on application deactivation and at shutdown.
inline bool MxCloseAllWaveDeviceHandle(KWaveAudio& audio) { return audio.CloseAll(); }

class KNoWaveAudio final : public KWaveAudio {
 public:
  bool Open(KWaveDirection, int, int, int) override { return false; }
  bool CloseAll() override { return false; }
  bool Reset(KWaveDirection) override { return false; }
  bool Prepare(KWaveDirection, KWaveBuffer&) override { return false; }
  bool Queue(KWaveDirection, KWaveBuffer&) override { return false; }
  bool Start(KWaveDirection) override { return false; }
  int64_t Position(KWaveDirection) override { return 0; }
  KWaveRelease Unprepare(KWaveDirection, KWaveBuffer& buffer) override {
    buffer.Prepared = false;
    return KWaveRelease::Done;
  }
  void Wait(KWaveDirection, int) override {}
  const KStatus& Status() const override { return status_; }

 private:
  KStatus status_ = KStatus::Failure("no sound device in this build");
};
