#include "voice/WavePair.h"

#include <algorithm>
#include <cstring>

#include "resources/StringTable.h"

KWavePair::KWavePair(KWaveAudio& audio, KWaveDirection direction, KPcmMMap& store, const KVoiceFormat& format)
    : audio_(audio),
      direction_(direction),
      store_(store),
      frameBytes_(std::max(format.FrameBytes(), 1)),
      silence_(format.BitsPerSample == 8 ? 0x80 : 0) {}

KWavePair::~KWavePair() {
  if (!BothFree()) Stop();
}

void KWavePair::Free(Slot& slot) {
  store_.UnmapView(slot.View);
  slot = Slot{};
}

KWavePair::KFill KWavePair::Refill(int64_t& next, int64_t end, int64_t tail) {
  for (Slot& s : slots_) {
    if (s.View || next + tail >= end) continue;
    const auto frames = int32_t(std::min<int64_t>(FramesPerBuffer(), end - next));
    KFill fill = Fill(s, next - 1, frames);
    if (fill != KFill::Queued) return fill;
    next += frames;
  }
  return KFill::Queued;
}

KWavePair::KFill KWavePair::Fill(Slot& s, int64_t first, int32_t frames) {
  const int64_t offset = first * frameBytes_;
  if (offset < 0 || offset > INT32_MAX) return KFill::NoView;
  s.View = store_.MapView(int32_t(offset), frames * frameBytes_);
  if (!s.View) return KFill::NoView;
  if (direction_ == KWaveDirection::Input) std::memset(s.View, silence_, size_t(frames * frameBytes_));
  s.Header = KWaveBuffer{s.View, frames * frameBytes_};
  if (!audio_.Prepare(direction_, s.Header)) {
    Free(s);
    return KFill::PrepareFailed;
  }
  if (!audio_.Queue(direction_, s.Header)) {
    audio_.Unprepare(direction_, s.Header);
    Free(s);
    return KFill::QueueFailed;
  }
  return KFill::Queued;
}

bool KWavePair::ReleaseDone() {
  bool released = false;
  for (;;) {
    Slot& s = slots_[size_t(next_)];
    if (s.View) {
      if (audio_.Unprepare(direction_, s.Header) == KWaveRelease::StillPlaying) return released;
      Free(s);
      released = true;
    }
    const bool wasA = next_ == kA;
    next_ = wasA ? kB : kA;
    if (!wasA) return released;
  }
}

void KWavePair::Stop() {
  audio_.Reset(direction_);
  for (Slot& s : slots_) {
    if (!s.View) continue;
    audio_.Unprepare(direction_, s.Header);
    Free(s);
  }
  next_ = kA;
}

int KWavePair::FailureMessage(KFill fill) const {
  const bool out = direction_ == KWaveDirection::Output;
  switch (fill) {
    case KFill::PrepareFailed:
      return out ? msg::kWaveOutPrepare : msg::kWaveInPrepare;
    case KFill::QueueFailed:
      return out ? msg::kWaveOutWrite : msg::kWaveInAddBuffer;
    case KFill::Queued:
    case KFill::NoView:
      break;
  }
  return 0;
}
