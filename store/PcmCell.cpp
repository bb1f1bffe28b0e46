#include "store/PcmCell.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// body(i) for i < count; a whole block (`Whole` steps) runs as a loop of
// fixed length.
template <int32_t Whole = KSampleRun::kBlock, class Body>
void Each(int32_t count, Body body) {
  if (count == Whole) {
    for (int32_t i = 0; i < Whole; ++i) body(i);
  } else {
    for (int32_t i = 0; i < count; ++i) body(i);
  }
}

}  // namespace

// The arrays of one call never overlap (__restrict), which the loops need
// to vectorise.
void KSampleRun::Decode(const uint8_t* __restrict raw, int32_t bytesPerSample, int32_t count,
                        double* __restrict values) {
  if (bytesPerSample == 1) {
    Each(count, [raw, values](int32_t i) { values[i] = KPcmCell::Value8(raw[i]); });
  } else {
    Each(count, [raw, values](int32_t i) { values[i] = KPcmCell::LoadWord(raw + 2 * i); });
  }
}

#if defined(__SSE2__)
namespace {

// Eight values (plus 128 when `biased`, as 8-bit samples are) clipped as the
// cell clips them and truncated toward zero, as 32-bit integers. MINPD and
// MAXPD are the cell's comparisons exactly: min(top, v) = (top < v ? top :
// v), max(bottom, v) = (bottom > v ? bottom : v).
struct KClipEight {
  __m128i Low, High;  // values 0..3, 4..7
  KClipEight(const double* v, bool biased, double bottom, double top)
      : bias_(_mm_set1_pd(biased ? 128.0 : 0.0)), lo_(_mm_set1_pd(bottom)), hi_(_mm_set1_pd(top)), biased_(biased) {
    Low = _mm_unpacklo_epi64(Two(v), Two(v + 2));
    High = _mm_unpacklo_epi64(Two(v + 4), Two(v + 6));
  }

 private:
  __m128i Two(const double* v) const {
    __m128d x = _mm_loadu_pd(v);
    if (biased_) x = _mm_add_pd(x, bias_);
    return _mm_cvttpd_epi32(_mm_max_pd(lo_, _mm_min_pd(hi_, x)));
  }
  __m128d bias_, lo_, hi_;
  bool biased_;
};

}  // namespace
#endif

void KSampleRun::Encode(const double* __restrict values, int32_t bytesPerSample, int32_t count,
                        uint8_t* __restrict raw) {
  int32_t i = 0;
#if defined(__SSE2__)
  // Eight at a time; the packs saturate nothing, the values are in range.
  if (bytesPerSample == 1) {
    for (; i + 16 <= count; i += 16) {
      KClipEight a(values + i, true, 0.0, 255.0), b(values + i + 8, true, 0.0, 255.0);
      __m128i words = _mm_packus_epi16(_mm_packs_epi32(a.Low, a.High), _mm_packs_epi32(b.Low, b.High));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(raw + i), words);
    }
  } else if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= count; i += 8) {
      KClipEight a(values + i, false, -32768.0, 32767.0);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(raw + 2 * i), _mm_packs_epi32(a.Low, a.High));
    }
  }
#endif
  if (bytesPerSample == 1) {
    for (; i < count; ++i) raw[i] = KPcmCell::Raw8(values[i]);
  } else {
    for (; i < count; ++i) KPcmCell::StoreWord(raw + 2 * i, KPcmCell::Raw16(values[i]));
  }
}

void KSampleRun::Scale(double* __restrict values, int32_t count, double factor) {
  Each(count, [values, factor](int32_t i) { values[i] *= factor; });
}

void KSampleRun::AddScaled(double* __restrict sum, const double* __restrict values, int32_t count, double factor) {
  Each(count, [sum, values, factor](int32_t i) { sum[i] += values[i] * factor; });
}

void KSampleRun::Clip(double* __restrict values, int32_t bytesPerSample, int32_t count) {
  if (bytesPerSample == 1) {
    Each(count, [values](int32_t i) { values[i] = KPcmCell::Biased8(values[i]) - 128.0; });
  } else {
    Each(count, [values](int32_t i) { values[i] = KPcmCell::Clipped16(values[i]); });
  }
}

void KSampleRun::ScaleRaw(const uint8_t* in, uint8_t* out, int64_t samples, int32_t bytesPerSample, double factor) {
  double values[kBlock];
  for (int64_t at = 0; at < samples; at += kBlock) {
    const int32_t n = samples - at < kBlock ? int32_t(samples - at) : kBlock;
    Decode(in + at * bytesPerSample, bytesPerSample, n, values);
    Scale(values, n, factor);
    Encode(values, bytesPerSample, n, out + at * bytesPerSample);
  }
}

// Multiplying by 1 where a step of the rule does not apply changes nothing.
void KSampleRun::Convert(const double* __restrict in, int32_t inChannels, int32_t inBytes, double* __restrict out,
                         int32_t outChannels, int32_t outBytes, int32_t frames) {
  constexpr int32_t kFrames = kBlock / 2;
  const double widen = inBytes == 1 ? 256 : 1, narrow = outBytes == 1 ? 0.00390625 : 1;
  if (inChannels == 1 && outChannels == 1) {
    Each<kFrames>(frames, [=](int32_t f) { out[f] = (in[f] * widen + in[f] * widen) * 0.5 * narrow; });
  } else if (inChannels == 2 && outChannels == 1) {
    Each<kFrames>(frames, [=](int32_t f) { out[f] = (in[2 * f] * widen + in[2 * f + 1] * widen) * 0.5 * narrow; });
  } else if (inChannels == 1) {
    Each<kFrames>(frames, [=](int32_t f) { out[2 * f] = out[2 * f + 1] = in[f] * widen * narrow; });
  } else {
    Each(2 * frames, [=](int32_t i) { out[i] = in[i] * widen * narrow; });
  }
}
