#include "display/Envelope.h"

#include <algorithm>

#include "store/PcmCell.h"

namespace {

// Per channel: sums of the positive values and of the negative magnitudes,
// and how many samples went into each.
struct Sums {
  int64_t Positive[2]{}, Negative[2]{}, Above[2]{}, Below[2]{};

  void Add(int ch, int v) {
    Positive[ch] += v > 0 ? v : 0;
    Negative[ch] += v < 0 ? -v : 0;
    Above[ch] += v > 0;
    Below[ch] += v < 0;
  }
  void Store(KZoEnvelope& envelope, int column) const {
    for (int ch = 0; ch < 2; ++ch) {
      // Whole non-negative sums: integer division truncates like the real mean would.
      envelope.Positive[ch][column] = int32_t(Above[ch] > 0 ? Positive[ch] / Above[ch] : 0);
      envelope.Negative[ch][column] = int32_t(Below[ch] > 0 ? Negative[ch] / Below[ch] : 0);
    }
  }
};

// A sample's value: 8-bit unsigned less 128, 16-bit signed little-endian.
template <int Bytes>
int SampleAt(const uint8_t* p) {
  if constexpr (Bytes == 1) {
    return int(p[0]) - 128;
  } else {
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
  }
}

// Adds `frames` raw frames from `p`, in blocks short enough for 32-bit
// partial sums (2^15 magnitudes of at most 2^15 each), one channel at a time
// so that the loop vectorises.
template <int Channels, int Bytes>
void AddRaw(const uint8_t* p, int64_t frames, Sums& sums) {
  constexpr int64_t kBlock = 1 << 15;
  constexpr int kFrame = Channels * Bytes;
  while (frames > 0) {
    const int n = int(std::min(frames, kBlock));
    for (int ch = 0; ch < Channels; ++ch) {
      uint32_t positive = 0, negative = 0, above = 0, below = 0;
      const uint8_t* q = p + ch * Bytes;
      for (int f = 0; f < n; ++f) {
        const int v = SampleAt<Bytes>(q + f * kFrame);
        positive += uint32_t(v > 0 ? v : 0);
        negative += uint32_t(v < 0 ? -v : 0);
        above += v > 0;
        below += v < 0;
      }
      sums.Positive[ch] += positive;
      sums.Negative[ch] += negative;
      sums.Above[ch] += above;
      sums.Below[ch] += below;
    }
    p += n * kFrame;
    frames -= n;
  }
}

// Walks the voice's frames in ascending order through one raw view of the
// store at a time; when no view can be mapped it reads through the store's
// cursor instead. Frames past what the store holds are silence.
template <int Channels, int Bytes>
class FrameWalker {
 public:
  static constexpr int kFrame = Channels * Bytes;
  static constexpr int64_t kChunkFrames = (int64_t(1) << 22) / kFrame;

  FrameWalker(KPcmMMap& store, int64_t frames)
      : store_(store), frames_(std::min<int64_t>(frames, store.Size() / kFrame)) {}
  ~FrameWalker() {
    if (view_) store_.UnmapView(view_);
  }
  FrameWalker(const FrameWalker&) = delete;
  FrameWalker& operator=(const FrameWalker&) = delete;

  // Adds frames first..first+count-1.
  void Add(int64_t first, int64_t count, Sums& sums) {
    count = std::min(count, frames_ - first);
    while (count > 0) {
      if (!Cover(first)) return AddCells(first, count, sums);
      const int64_t here = std::min(count, viewEnd_ - first);
      AddRaw<Channels, Bytes>(view_ + (first - viewFirst_) * kFrame, here, sums);
      first += here;
      count -= here;
    }
  }

 private:
  // True when a view holds frame `first`, mapping the next chunk if needed.
  bool Cover(int64_t first) {
    if (view_ && first >= viewFirst_ && first < viewEnd_) return true;
    if (viewsFailed_) return false;
    if (view_) store_.UnmapView(view_);
    const int64_t n = std::min(kChunkFrames, frames_ - first);
    view_ = store_.MapView(int32_t(first * kFrame), int32_t(n * kFrame));
    viewsFailed_ = view_ == nullptr;
    viewFirst_ = first;
    viewEnd_ = first + n;
    return view_ != nullptr;
  }
  void AddCells(int64_t first, int64_t count, Sums& sums) {
    const int64_t at = first * kFrame;
    if (!store_.CursorActive() || store_.CursorPosition() != at) store_.Seek(int32_t(at));
    KPcmCell cell(Channels, Bytes);
    for (int64_t f = 0; f < count; ++f) {
      store_.ReadNext(cell);
      sums.Add(0, int(cell.Value1));
      if (Channels == 2) sums.Add(1, int(cell.Value2));
    }
  }

  KPcmMMap& store_;
  const int64_t frames_;
  uint8_t* view_ = nullptr;
  int64_t viewFirst_ = 0, viewEnd_ = 0;
  bool viewsFailed_ = false;
};

template <int Channels, int Bytes>
void Reduce(KPcmMMap& store, int32_t end, KZoEnvelope& envelope, KEnvelopeProgress* progress, int columns) {
  const double step = double(end) / columns;
  const double limit = end - step - 1;
  // n: how many whole numbers k satisfy 0 <= k < step.
  int64_t n = int64_t(step);
  if (double(n) < step) ++n;
  FrameWalker<Channels, Bytes> walker(store, end);
  int64_t last = -1;
  double pos = 0.0;
  for (int c = 0; c < columns && pos < limit; ++c, pos += step) {
    const int64_t first = std::max(int64_t(pos), last + 1);
    const int64_t final = std::min(int64_t(pos + double(n - 1)), int64_t(end) - 1);
    Sums sums;
    if (final >= first) {
      walker.Add(first, final - first + 1, sums);
      last = final;
    }
    sums.Store(envelope, c);
    if (progress) progress->Bar(int(double(c + 1) * (1.0 / columns) * 100));
  }
}

}  // namespace

bool ReduceEnvelope(KPcmMMap& store, int32_t channels, int32_t bitsPerSample, int32_t end, KZoEnvelope& envelope,
                    KEnvelopeProgress* progress, int columns) {
  envelope = KZoEnvelope{};
  const bool valid = (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16);
  columns = std::clamp(columns, 1, kZoColumns);
  if (!valid || end <= 1) return valid;
  if (progress) progress->Title(kEnvelopeTitle);
  switch (channels * 100 + bitsPerSample) {
    case 108:
      Reduce<1, 1>(store, end, envelope, progress, columns);
      break;
    case 116:
      Reduce<1, 2>(store, end, envelope, progress, columns);
      break;
    case 208:
      Reduce<2, 1>(store, end, envelope, progress, columns);
      break;
    default:
      Reduce<2, 2>(store, end, envelope, progress, columns);
      break;
  }
  return true;
}
