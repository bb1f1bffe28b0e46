#include "platform/CachedWaveAudio.h"

#include <cstdio>
#include <utility>

namespace {

constexpr KWaveDirection kBoth[] = {KWaveDirection::Output, KWaveDirection::Input};

}  // namespace

bool KCachedWaveAudio::Accepts(const KWaveFormat& f) {
  return (f.Channels == 1 || f.Channels == 2) && (f.Bits == 8 || f.Bits == 16) && f.Rate >= 3999 && f.Rate <= 44100;
}

bool KCachedWaveAudio::Fail(std::string message) {
  status_ = KStatus::Failure(std::move(message));
  return false;
}

bool KCachedWaveAudio::Open(KWaveDirection direction, int channels, int bits, int rate) {
  KWaveFormat format{channels, bits, rate};
  if (!Accepts(format)) {
    return Fail("format not accepted: " + std::to_string(channels) + " channels, " + std::to_string(bits) + " bits, " +
                std::to_string(rate) + " Hz");
  }
  Device& d = At(direction);
  if (d.IsOpen && d.Format == format && Reset(direction)) return true;
  // Another format, or a device that no longer resets: open it anew.
  if (d.IsOpen) Close(direction);
  return OpenFresh(direction, format);
}

bool KCachedWaveAudio::OpenFresh(KWaveDirection direction, const KWaveFormat& format) {
  Device& d = At(direction);
  if (!OpenDevice(direction, format)) {
    d.Format = {};
    return false;
  }
  d.IsOpen = true;
  d.Format = format;
  if (Reset(direction)) return true;
  Close(direction);
  return false;
}

void KCachedWaveAudio::Close(KWaveDirection direction) {
  Device& d = At(direction);
  if (d.IsOpen) CloseDevice(direction);
  d.Buffers.Clear(d.Format.FrameBytes());
  d.IsOpen = false;
  d.Started = false;
  d.Format = {};
}

bool KCachedWaveAudio::CloseAll() {
  bool closed = false;
  for (KWaveDirection direction : kBoth) {
    if (At(direction).IsOpen) {
      closed = true;
      ResetDevice(direction);
    }
    Close(direction);
  }
  if (closed) std::fputs("MX MxCloseAllWaveDeviceHandle()\n", stderr);
  return closed;
}

bool KCachedWaveAudio::Reset(KWaveDirection direction) {
  Device& d = At(direction);
  if (!d.IsOpen) return Fail("no device open");
  bool ok = ResetDevice(direction);
  d.Buffers.Clear(d.Format.FrameBytes());
  d.Started = false;
  return ok;
}

bool KCachedWaveAudio::Prepare(KWaveDirection direction, KWaveBuffer& buffer) {
  Device& d = At(direction);
  if (!d.IsOpen) return Fail("no device open");
  if (buffer.InQueue) return Fail("buffer is in the queue");
  if (!buffer.Data || buffer.Bytes <= 0 || buffer.Bytes % d.Format.FrameBytes() != 0)
    return Fail("buffer of " + std::to_string(buffer.Bytes) + " bytes is not whole frames");
  buffer.Prepared = true;
  return true;
}

bool KCachedWaveAudio::Queue(KWaveDirection direction, KWaveBuffer& buffer) {
  Device& d = At(direction);
  if (!d.IsOpen) return Fail("no device open");
  if (!buffer.Prepared) return Fail("buffer is not prepared");
  if (!d.Buffers.Add(buffer)) return Fail("the queue holds two buffers already");
  Service(direction);
  return true;
}

bool KCachedWaveAudio::Start(KWaveDirection direction) {
  Device& d = At(direction);
  if (!d.IsOpen) return Fail("no device open");
  if (!StartDevice(direction)) return false;
  d.Started = true;
  Service(direction);
  return true;
}

int64_t KCachedWaveAudio::Position(KWaveDirection direction) {
  if (!At(direction).IsOpen) return 0;
  Service(direction);
  return Finished(direction);
}

KWaveRelease KCachedWaveAudio::Unprepare(KWaveDirection direction, KWaveBuffer& buffer) {
  Device& d = At(direction);
  if (buffer.InQueue) {
    Service(direction);
    if (!d.Buffers.Release(buffer, Finished(direction))) return KWaveRelease::StillPlaying;
  }
  buffer.Prepared = false;
  return KWaveRelease::Done;
}

void KCachedWaveAudio::Wait(KWaveDirection direction, int ms) {
  if (!At(direction).IsOpen || ms <= 0) return;
  Block(direction, ms);
  Service(direction);
}
