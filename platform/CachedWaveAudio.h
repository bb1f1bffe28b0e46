// KCachedWaveAudio: what every wave back end shares. One device per
// direction is kept open with its format and reused for the same format; the
// buffer rules (prepare, the queue of two, release) live here, the moving of
// frames and the device calls in the back end.
#pragma once

#include <array>
#include <string>

#include "platform/WaveAudio.h"
#include "platform/WaveQueue.h"

struct KWaveFormat {
  int Channels = 0;  // 0: no usable format
  int Bits = 0;
  int Rate = 0;

  int FrameBytes() const { return Channels * (Bits / 8); }
  bool operator==(const KWaveFormat&) const = default;
};

class KCachedWaveAudio : public KWaveAudio {
 public:
  // Channels 1 or 2, 8 or 16 bits, 3999..44100 Hz.
  static bool Accepts(const KWaveFormat& format);

  bool Open(KWaveDirection direction, int channels, int bits, int rate) override;
  bool CloseAll() override;
  bool Reset(KWaveDirection direction) override;
  bool Prepare(KWaveDirection direction, KWaveBuffer& buffer) override;
  bool Queue(KWaveDirection direction, KWaveBuffer& buffer) override;
  bool Start(KWaveDirection direction) override;
  int64_t Position(KWaveDirection direction) override;
  KWaveRelease Unprepare(KWaveDirection direction, KWaveBuffer& buffer) override;
  void Wait(KWaveDirection direction, int ms) override;
  const KStatus& Status() const override { return status_; }

 protected:
  struct Device {
    bool IsOpen = false;
    bool Started = false;
    KWaveFormat Format;
    KWaveQueue Buffers;
  };

  Device& At(KWaveDirection direction) { return devices_[size_t(direction)]; }
  // Records why a call failed; returns false.
  bool Fail(std::string message);

  // The back end's device calls. Failures set the message with Fail().
  virtual bool OpenDevice(KWaveDirection direction, const KWaveFormat& format) = 0;
  virtual void CloseDevice(KWaveDirection direction) = 0;
  // Stops the device and forgets what it was given; the queue is cleared after.
  virtual bool ResetDevice(KWaveDirection direction) = 0;
  virtual bool StartDevice(KWaveDirection direction) = 0;
  // Moves what it can between the queued buffers and the device, without blocking.
  virtual void Service(KWaveDirection direction) = 0;
  // Frames the device is through with since the reset: heard for output,
  // captured into the buffers for input.
  virtual int64_t Finished(KWaveDirection direction) = 0;
  // Blocks for at most `ms` milliseconds.
  virtual void Block(KWaveDirection direction, int ms) = 0;

 private:
  bool OpenFresh(KWaveDirection direction, const KWaveFormat& format);
  void Close(KWaveDirection direction);

  std::array<Device, 2> devices_;
  KStatus status_;
};
