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
  const double factor = percent * 0.01;
  return EditInPlace("Undo : Mathematical Amplifier", "Mathematical amplifier", MKR - MKL + 1,
                     [&](KProgress& progress) {
                       int64_t done = 0;
                       RewriteFrames(*Storage, MakeCell(), MKL, MKR, progress, done,
                                     [factor](KPcmCell& cell, int32_t) { cell.Scale(factor); });
                     });
}

// output[j] = sum over k = 0..n with j >= k * D of a^k * voice[j - k * D],
// read by n + 1 sequential readers of the voice's own file.
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
  auto fill = [&](KFrameWriter& out) {
    // Readers 0..live-1 have started: reader k starts at output frame k * D.
    int live = 1;
    for (int64_t j = 0; j < N; ++j) {
      while (live <= n && j >= live * D) ++live;
      KPcmCell sum = silence;
      for (int k = 0; k < live; ++k) {
        KPcmCell echo = readers[size_t(k)]->Next();
        echo.Scale(gain[size_t(k)]);
        sum.Add(echo);
      }
      sum.Store();
      out.Put(sum);
    }
  };
  return Rebuild({N, FrameBytes(), "the echo", "Undo : Echo", "Echo"}, fill, [&] { MarkWhole(int32_t(N)); });
}
