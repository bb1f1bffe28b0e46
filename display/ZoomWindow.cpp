#include "display/ZoomWindow.h"

#include <algorithm>
#include <cstring>

#include "store/PcmCell.h"

namespace {

constexpr int kShift = 32;

// Copies `count` frames from frame `first` into `out`, through a raw view or,
// when none can be mapped, the store's cursor. Frames the store does not hold
// keep the silence `out` was filled with.
void CopyFrames(KPcmMMap& store, const KVoiceFacts& voice, int32_t first, int32_t count, uint8_t* out) {
  const int32_t frameBytes = voice.FrameBytes();
  const int32_t held = std::min(count, store.Size() / frameBytes - first);
  if (held <= 0) return;
  if (const uint8_t* view = store.MapView(first * frameBytes, held * frameBytes)) {
    std::memcpy(out, view, size_t(held) * size_t(frameBytes));
    store.UnmapView(view);
    return;
  }
  store.Seek(first * frameBytes);
  KPcmCell cell(voice.Channels, voice.BytesPerSample());
  for (int32_t f = 0; f < held; ++f, out += frameBytes)
    if (store.ReadNext(cell)) std::memcpy(out, cell.Raw, size_t(frameBytes));
}

uint32_t SampleAt(const uint8_t* p, int32_t bytes) { return bytes == 1 ? p[0] : uint32_t(p[0] | (p[1] << 8)); }

}  // namespace

uint32_t ZiFlags(int32_t position, const KVoiceFacts& voice) {
  uint32_t flags = 0;
  if (position == voice.END) flags |= kZiEnd;
  if (position == voice.MKL) flags |= kZiMkl;
  if (position == voice.MKR) flags |= kZiMkr;
  if (position == voice.FLG) flags |= kZiFlg;
  if (voice.MKL <= position && position <= voice.MKR) flags |= kZiMarked;
  return flags;
}

int ZiLevel(uint32_t cell, int32_t bitsPerSample) {
  if (bitsPerSample == 16) return int16_t(uint16_t(cell & kZiSampleBits)) / 256 + 128;
  return int(cell & 0xFF);
}

int32_t ShiftedZiStart(int32_t ziStart, int32_t end, int direction) {
  if (end <= 0) return ziStart;
  int32_t start = ziStart;
  if (direction < 0) {
    start -= kShift;
  } else {
    start += kShift;
    if (start >= end) start = end - kShift;
  }
  return std::max(start, 1);
}

bool KZoomWindow::Fill(KPcmMMap& store, const KVoiceFacts& voice) {
  ZiCount = 0;
  for (auto& column : ZiColumns) column.fill(0);
  if (!voice.ValidFormat()) return false;
  if (voice.END <= 1) return true;
  const int32_t start = std::max(voice.ZiStart, 1);
  const int32_t count = std::clamp(voice.END - start + 1, 0, kZiCells);
  const int32_t bytes = voice.BytesPerSample(), frameBytes = voice.FrameBytes();
  uint8_t raw[kZiCells * 4];
  std::memset(raw, bytes == 1 ? 0x80 : 0, sizeof raw);
  CopyFrames(store, voice, start - 1, count, raw);
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* frame = raw + i * frameBytes;
    const uint32_t flags = ZiFlags(start + i, voice);
    ZiColumns[0][i] = SampleAt(frame, bytes) | flags;
    if (voice.Channels == 2) ZiColumns[1][i] = SampleAt(frame + bytes, bytes) | flags;
  }
  ZiCount = count;
  return true;
}
