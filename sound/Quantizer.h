// The last step of every road into a voice: floats of full scale ±1
// rounded to the voice's 8-bit or 16-bit sample bytes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

// Rounds floats of full scale ±1 to voice bytes, with triangular dither of
// ±1 step when asked (a fixed seed: the same file converts to the same bytes).
class KQuantizer {
 public:
  KQuantizer(int32_t bits, bool dither) : wide_(bits == 16), dither_(dither) {}

  void Run(const float* x, size_t n, uint8_t* out) {
    const float scale = wide_ ? 32768.0f : 128.0f;
    for (size_t i = 0; i < n; ++i) {
      float v = x[i] * scale;
      if (dither_) v += Uniform() - Uniform();
      const long s = std::lrint(std::clamp(v, -scale, scale - 1.0f));
      if (wide_) {
        *out++ = uint8_t(s & 0xff);
        *out++ = uint8_t((s >> 8) & 0xff);
      } else {
        *out++ = uint8_t(s + 128);
      }
    }
  }

 private:
  float Uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return float(state_ >> 8) * (1.0f / 16777216.0f);
  }

  bool wide_, dither_;
  uint32_t state_ = 0x9e3779b9u;
};
