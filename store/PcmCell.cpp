#include "store/PcmCell.h"

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

void KSampleRun::Encode(const double* __restrict values, int32_t bytesPerSample, int32_t count,
                        uint8_t* __restrict raw) {
  if (bytesPerSample == 1) {
    Each(count, [raw, values](int32_t i) { raw[i] = KPcmCell::Raw8(values[i]); });
  } else {
    Each(count, [raw, values](int32_t i) { KPcmCell::StoreWord(raw + 2 * i, KPcmCell::Raw16(values[i])); });
  }
}

void KSampleRun::Scale(double* __restrict values, int32_t count, double factor) {
  Each(count, [values, factor](int32_t i) { values[i] *= factor; });
}

void KSampleRun::AddScaled(double* __restrict sum, const double* __restrict values, int32_t count, double factor) {
  Each(count, [sum, values, factor](int32_t i) { sum[i] += values[i] * factor; });
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
