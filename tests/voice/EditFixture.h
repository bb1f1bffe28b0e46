// What the editing tests share: markers in one call, the whole state of a
// voice for comparisons, and the undo check every edit needs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/VoiceFixture.h"

class EditFixture : public VoiceFixture {
 protected:
  struct State {
    std::vector<uint8_t> bytes;
    int32_t channels, bits, rate, end, mkl, mkr, flg, zi;
    bool operator==(const State& o) const {
      return std::tie(bytes, channels, bits, rate, end, mkl, mkr, flg, zi) ==
             std::tie(o.bytes, o.channels, o.bits, o.rate, o.end, o.mkl, o.mkr, o.flg, o.zi);
    }
  };
  static State Capture(KPcmFiles& v) {
    return {Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate, v.END, v.MKL, v.MKR, v.FLG, v.ZiStart};
  }

  static void Mark(KPcmFiles& v, int32_t mkl, int32_t mkr, int32_t flg) {
    v.MKL = mkl;
    v.MKR = mkr;
    v.FLG = flg;
  }
  static void ExpectMarkers(KPcmFiles& v, int32_t end, int32_t mkl, int32_t mkr, int32_t flg, int32_t zi) {
    EXPECT_EQ(v.END, end);
    EXPECT_EQ(v.MKL, mkl);
    EXPECT_EQ(v.MKR, mkr);
    EXPECT_EQ(v.FLG, flg);
    EXPECT_EQ(v.ZiStart, zi);
  }

  // The newest snapshot carries `label` and gives back `before` exactly.
  static void ExpectUndoTo(KPcmFiles& v, const State& before, const std::string& label) {
    std::string text;
    ASSERT_TRUE(v.UndoLabel(text));
    EXPECT_EQ(text, label);
    ASSERT_TRUE(v.LoadUndo());
    EXPECT_TRUE(Capture(v) == before);
  }

  // Mono 8-bit frames 1, 2, 3, ... n as raw bytes 10, 20, 30 ... (mod 256).
  static std::vector<uint8_t> Ramp(int n, int step = 10) {
    std::vector<uint8_t> raw;
    for (int i = 1; i <= n; ++i) raw.push_back(uint8_t(i * step));
    return raw;
  }
};
