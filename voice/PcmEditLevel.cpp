// The commands that measure the level of the voice first: normalise brings
// the marked area's peak to a level, mark-sound marks where the sound is.
#include <algorithm>
#include <cmath>

#include "platform/MappedFaults.h"
#include "resources/StringTable.h"
#include "voice/EditFrames.h"
#include "voice/PcmEdit1.h"

namespace {

// The largest magnitude a sample may take: 16-bit 32767, 8-bit 127 around 128.
double FullScale(const KPcmCell& cell) { return cell.BytesPerSample == 1 ? 127.0 : 32767.0; }

// The gain that brings the largest value `top` (>= 0) and the smallest
// `bottom` (<= 0, not both 0) to at most q, the stored value nearest the
// level asked (1..full scale), with one of them at q. A cell stores a 16-bit
// value truncated toward zero and an 8-bit value rounded down, so aiming half
// a step inside q's rounding interval lands the peak on q and keeps every
// other sample within it.
double NormalizeGain(double top, double bottom, const KPcmCell& cell, double peakDbfs) {
  const double full = FullScale(cell);
  const double q = std::clamp(std::round(full * std::pow(10.0, peakDbfs / 20)), 1.0, full);
  const double up = top > 0 ? (q + 0.5) / top : HUGE_VAL;
  const double down = bottom < 0 ? (q + (cell.BytesPerSample == 1 ? -0.5 : 0.5)) / -bottom : HUGE_VAL;
  return std::min(up, down);
}

}  // namespace

template <class Visit>
bool KPcmEdit::ScanLevels(const char* title, int64_t from, int64_t to, Visit visit) {
  std::unique_ptr<KFrameReader> reader = OpenReader(*this, MakeCell());
  if (!reader) return false;
  KCursorScope cursor(Ui(), KCursorRole::Busy);
  KProgress progress(Ui(), title, to - from + 1);
  platform::KMappedFaultWatch faults;
  const KPcmCell& own = reader->Own();
  double values[KSampleRun::kBlock];
  reader->SeekFrame(from);
  for (int64_t p = from; p <= to;) {
    int64_t n = std::min<int64_t>(to - p + 1, KSampleRun::kBlock / own.Channels);
    if (const uint8_t* raw = reader->Run(n)) {
      KSampleRun::Decode(raw, own.BytesPerSample, int32_t(n) * own.Channels, values);
      visit(values, int32_t(n), p);
    }
    reader->Skip(n);
    StepFrames(progress, p - from, p - from + n);
    p += n;
  }
  return !faults.Faulted() || SwapFileCut();
}

bool KPcmEdit::Normalize(double peakDbfs) {
  const KPcmCell cell = MakeCell();
  if (END == 0 || !cell.ValidFormat() || !(peakDbfs <= 0)) return false;
  double top = 0, bottom = 0;
  auto peaks = [&](const double* values, int32_t frames, int64_t) {
    for (int32_t i = 0; i < frames * cell.Channels; ++i) {
      top = std::max(top, values[i]);
      bottom = std::min(bottom, values[i]);
    }
  };
  if (!ScanLevels("Normalize", MKL, MKR, peaks)) return false;
  if (top == 0 && bottom == 0) {
    ShowMessageId(msg::kNormalizeSilent);
    return false;
  }
  return ScaleMarked(NormalizeGain(top, bottom, cell, peakDbfs), "Undo : Normalize", "Normalize");
}

bool KPcmEdit::MarkSound(double thresholdDbfs, double marginMs) {
  const KPcmCell cell = MakeCell();
  if (END == 0 || !cell.ValidFormat() || std::isnan(thresholdDbfs) || !(marginMs >= 0)) return false;
  const double level = FullScale(cell) * std::pow(10.0, thresholdDbfs / 20);
  int64_t first = 0, last = 0;  // frames are counted from 1: 0 is none
  auto edges = [&](const double* values, int32_t frames, int64_t p) {
    for (int32_t f = 0; f < frames; ++f) {
      double loudest = 0;
      for (int32_t k = 0; k < cell.Channels; ++k) loudest = std::max(loudest, std::abs(values[f * cell.Channels + k]));
      if (loudest <= level) continue;
      if (first == 0) first = p + f;
      last = p + f;
    }
  };
  if (!ScanLevels("Mark sound", 1, END, edges)) return false;
  if (first == 0) {
    ShowMessageId(msg::kNoSound);
    return false;
  }
  // A voice without a valid rate gets no margin.
  const auto margin = int64_t(std::clamp(marginMs * 0.001 * SampleRate, 0.0, double(END)));
  MKL = int32_t(std::max<int64_t>(1, first - margin));
  MKR = int32_t(std::min<int64_t>(END, last + margin));
  Refresh();
  return true;
}
