// What the editing tests share: a voice's whole state for exact comparisons.
#pragma once

#include <array>
#include <functional>
#include <tuple>
#include <vector>

#include "resources/StringTable.h"
#include "support/VoiceFixture.h"

class EditFixture : public VoiceFixture {
 protected:
  using Run = std::function<bool(KPcmFiles&)>;
  using Marks = std::array<int32_t, 5>;  // END, MKL, MKR, FLG, ZiStart
  using State = std::tuple<std::vector<uint8_t>, int32_t, int32_t, int32_t, Marks>;
  static Marks MarksOf(const KPcmFiles& v) { return {v.END, v.MKL, v.MKR, v.FLG, v.ZiStart}; }
  static State Capture(KPcmFiles& v) { return {Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate, MarksOf(v)}; }
  // The state of a voice of `bytes` in the given format, marked whole.
  static State Whole(int32_t channels, int32_t bits, int32_t rate, const std::vector<uint8_t>& bytes) {
    const int32_t end = int32_t(bytes.size()) * 8 / (channels * bits), one = end > 0;
    return {bytes, channels, bits, rate, {end, one, end, one, one}};
  }
  static void Mark(KPcmFiles& v, int32_t mkl, int32_t mkr, int32_t flg) {
    std::tie(v.MKL, v.MKR, v.FLG) = std::tie(mkl, mkr, flg);
  }
  // Raw bytes step, 2 step, ... n step (mod 256).
  static std::vector<uint8_t> Ramp(int n, int step = 10) {
    std::vector<uint8_t> raw;
    for (int i = 1; i <= n; ++i) raw.push_back(uint8_t(i * step));
    return raw;
  }
  KPcmFiles& Buffer() { return banks_.CopyBuffer(); }
};
