// The mathematical amplifier and the echo.
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "voice/EditFrames.h"
#include "voice/PcmEdit1.h"

namespace {

constexpr int kMaxEchoes = 63;
constexpr int32_t kBlock = KSampleRun::kBlock;

// Echoes louder than a tenth of the voice, at most 63.
int EchoCount(double attenuation) {
  int n = 0;
  for (double g = attenuation; g >= 0.1 && n < kMaxEchoes; g *= attenuation) ++n;
  return n;
}

}  // namespace

bool KPcmEdit::MathAmplifier(double percent) {
  // A factor that is not a finite number would turn samples into NaN.
  if (!std::isfinite(percent)) return false;
  if (END == 0 || MKR - MKL < 10) return true;
  return ScaleMarked(percent * 0.01, "Undo : Mathematical Amplifier", "Mathematical amplifier");
}

bool KPcmEdit::ScaleMarked(double factor, const char* label, const char* title) {
  const KPcmCell cell = MakeCell();
  auto scale = [factor](KPcmCell& c, int32_t) { c.Scale(factor); };
  auto scaleRun = [&cell, factor](const uint8_t* in, uint8_t* out, int32_t frames, int32_t) {
    KSampleRun::ScaleRaw(in, out, int64_t(frames) * cell.Channels, cell.BytesPerSample, factor);
  };
  return EditInPlace(label, title, MKR - MKL + 1, [&](KProgress& progress) {
    int64_t done = 0;
    RewriteFrames(*Storage, cell, MKL, MKR, progress, done, scale, scaleRun);
  });
}

// output[j] = sum over k = 0..n with j >= k * D of a^k * voice[j - k * D],
// read by n + 1 sequential readers of the voice's own file. The sums are
// made a run of frames at a time: in each run the same readers are live and
// each reader's frames lie whole in its window. A reader past END adds
// silence, which leaves a sum as it is.
bool KPcmEdit::Echo(double delayMs, double attenuationPercent) {
  if (END == 0) return true;
  // Written so that a NaN is refused as well.
  if (!(attenuationPercent >= 1 && attenuationPercent <= 99 && delayMs >= 100 && delayMs <= 2000)) return false;
  const double a = attenuationPercent * 0.01;
  const int n = EchoCount(a);
  // A voice without a valid rate gets no delay rather than a negative one.
  const int64_t D = std::max<int64_t>(0, int64_t(delayMs * 0.001 * SampleRate));
  const int64_t N = END + n * D;
  const KPcmCell silence = MakeCell();
  std::vector<std::unique_ptr<KFrameReader>> readers;
  std::array<double, kMaxEchoes + 1> gain{};
  double g = 1;
  for (int k = 0; k <= n; ++k, g *= a) {
    readers.push_back(OpenReader(*this, silence));
    if (!readers.back()) return false;
    gain[size_t(k)] = g;
  }
  const int32_t channels = silence.Channels, width = silence.BytesPerSample;
  auto frameByFrame = [&](KFrameWriter& out, int live) {
    KPcmCell sum = silence;
    for (int k = 0; k < live; ++k) {
      KPcmCell echo = readers[size_t(k)]->Next();
      echo.Scale(gain[size_t(k)]);
      sum.Add(echo);
    }
    sum.Store();
    out.Put(sum);
  };
  auto fill = [&](KFrameWriter& out) {
    double sum[kBlock], values[kBlock];
    // Readers 0..live-1 have started: reader k starts at output frame k * D.
    int live = 1;
    for (int64_t j = 0; j < N;) {
      while (live <= n && j >= live * D) ++live;
      if (!silence.ValidFormat()) {
        frameByFrame(out, live);
        ++j;
        continue;
      }
      int64_t frames = std::min<int64_t>(N - j, kBlock / channels);
      if (live <= n) frames = std::min(frames, live * D - j);
      uint8_t* to = out.Room(silence.FrameBytes, frames);
      for (int k = 0; k < live; ++k) readers[size_t(k)]->Run(frames);
      const int32_t samples = int32_t(frames) * channels;
      std::fill_n(sum, samples, 0.0);
      for (int k = 0; k < live; ++k) {
        KFrameReader& reader = *readers[size_t(k)];
        if (const uint8_t* raw = reader.Run(frames)) {
          KSampleRun::Decode(raw, width, samples, values);
          KSampleRun::AddScaled(sum, values, samples, gain[size_t(k)]);
        }
        reader.Skip(frames);
      }
      KSampleRun::Encode(sum, width, samples, to);
      out.Commit(silence.FrameBytes, frames);
      j += frames;
    }
  };
  return Rebuild({N, FrameBytes(), "the echo", "Undo : Echo", "Echo"}, fill, [&] { MarkWhole(int32_t(N)); });
}
