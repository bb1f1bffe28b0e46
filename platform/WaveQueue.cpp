#include "platform/WaveQueue.h"

#include <algorithm>

void KWaveQueue::Clear(int frameBytes) {
  for (int i = 0; i < count_; ++i) held_[size_t(i)]->InQueue = false;
  held_ = {};
  count_ = 0;
  frameBytes_ = frameBytes > 0 ? frameBytes : 1;
  moved_ = 0;
  end_ = 0;
}

bool KWaveQueue::Add(KWaveBuffer& buffer) {
  if (count_ == kDepth || buffer.InQueue || buffer.Bytes <= 0 || buffer.Bytes % frameBytes_ != 0) return false;
  end_ += buffer.Bytes / frameBytes_;
  buffer.End = end_;
  buffer.InQueue = true;
  held_[size_t(count_++)] = &buffer;
  return true;
}

KWaveQueue::Span KWaveQueue::Next() const {
  for (int i = 0; i < count_; ++i) {
    const KWaveBuffer& b = *held_[size_t(i)];
    if (moved_ >= b.End) continue;
    int64_t frames = b.Bytes / frameBytes_;
    int64_t done = moved_ - (b.End - frames);
    return {b.Data + done * frameBytes_, b.End - moved_};
  }
  return {};
}

void KWaveQueue::Moved(int64_t frames) { moved_ = std::min(moved_ + std::max<int64_t>(frames, 0), end_); }

bool KWaveQueue::Release(KWaveBuffer& buffer, int64_t finished) {
  for (int i = 0; i < count_; ++i) {
    if (held_[size_t(i)] != &buffer) continue;
    if (finished < buffer.End) return false;
    std::copy(held_.begin() + i + 1, held_.begin() + count_, held_.begin() + i);
    held_[size_t(--count_)] = nullptr;
    buffer.InQueue = false;
    return true;
  }
  return true;
}

int64_t KWaveQueue::OldestEnd() const { return count_ > 0 ? held_[0]->End : 0; }

int64_t HeardFrames(int64_t written, int64_t delay, int64_t before) {
  return std::clamp(written - std::max<int64_t>(delay, 0), std::min(before, written), written);
}
