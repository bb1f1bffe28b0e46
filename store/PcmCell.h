// KPcmCell: one sample frame as raw bytes plus one real value per channel.
// It sits in every frame loop of the program, so it stays a small inline
// value type with no allocation. It builds on nothing; the sample store
// encodes and decodes it, and every layer above computes with it.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class KPcmCell {
 public:
  KPcmCell() { Init(1, 1); }
  KPcmCell(int32_t channels, int32_t bytesPerSample) { Init(channels, bytesPerSample); }

  void Init(int32_t channels, int32_t bytesPerSample) {
    Channels = channels;
    BytesPerSample = bytesPerSample;
    FrameBytes = channels * bytesPerSample;
    Clear();
  }

  // Silence: 8-bit raw 128, 16-bit raw 0, both values 0.
  void Clear() {
    if (BytesPerSample == 1) {
      Raw[0] = Raw[1] = 0x80;
      Raw[2] = Raw[3] = 0x80;
    } else {
      Raw[0] = Raw[1] = Raw[2] = Raw[3] = 0;
    }
    Value1 = Value2 = 0.0;
  }

  void SetMono8(uint8_t raw) {
    Raw[0] = raw;
    Value1 = Value8(raw);
    Value2 = 0.0;
  }
  void SetStereo8(uint8_t raw1, uint8_t raw2) {
    Raw[0] = raw1;
    Raw[1] = raw2;
    Value1 = Value8(raw1);
    Value2 = Value8(raw2);
  }
  void SetMono16(int16_t raw) {
    PutWord(0, raw);
    Value1 = raw;
    Value2 = 0.0;
  }
  void SetStereo16(int16_t raw1, int16_t raw2) {
    PutWord(0, raw1);
    PutWord(2, raw2);
    Value1 = raw1;
    Value2 = raw2;
  }

  uint8_t GetMono8() const { return Raw[0]; }
  void GetStereo8(uint8_t& raw1, uint8_t& raw2) const {
    raw1 = Raw[0];
    raw2 = Raw[1];
  }
  int16_t GetMono16() const { return Word(0); }
  void GetStereo16(int16_t& raw1, int16_t& raw2) const {
    raw1 = Word(0);
    raw2 = Word(2);
  }

  void Add(const KPcmCell& other) {
    Value1 += other.Value1;
    Value2 += other.Value2;
  }
  void Scale(double factor) {
    Value1 *= factor;
    Value2 *= factor;
  }

  // Writes the values back into the raw frame with clipping; the cast to an
  // integer type truncates toward zero.
  bool Store() {
    if (BytesPerSample == 1) {
      Raw[0] = Clip8(Value1);
      if (Channels == 2) Raw[1] = Clip8(Value2);
      return Channels == 1 || Channels == 2;
    }
    if (BytesPerSample == 2) {
      PutWord(0, Clip16(Value1));
      if (Channels == 2) PutWord(2, Clip16(Value2));
      return Channels == 1 || Channels == 2;
    }
    return false;
  }

  // Takes the values of a cell of any format, scaled into this cell's format.
  void ConvertFrom(const KPcmCell& source) {
    double a = source.Value1;
    double b = source.Channels == 1 ? source.Value1 : source.Value2;
    if (source.BytesPerSample == 1) {
      a *= 256;
      b *= 256;
    }
    if (Channels == 1) a = (a + b) * 0.5;
    if (BytesPerSample == 1) {
      a *= 0.00390625;
      b *= 0.00390625;
    }
    Value1 = a;
    Value2 = Channels == 1 ? 0.0 : b;
    Store();
  }

  // Decodes FrameBytes raw bytes (the store's layout) and sets the values.
  bool Decode(const uint8_t* p) {
    switch (ValidFormat() ? FrameBytes * 4 + BytesPerSample : 0) {
      case 1 * 4 + 1:
        SetMono8(p[0]);
        return true;
      case 2 * 4 + 2:
        SetMono16(LoadWord(p));
        return true;
      case 2 * 4 + 1:
        SetStereo8(p[0], p[1]);
        return true;
      case 4 * 4 + 2:
        SetStereo16(LoadWord(p), LoadWord(p + 2));
        return true;
      default:
        Clear();
        return false;
    }
  }
  // Encodes the raw frame into FrameBytes bytes, each sample as it was put
  // into Raw (a copy the size of the stores before it is a single move that
  // reads them straight back).
  bool Encode(uint8_t* p) const {
    switch (ValidFormat() ? FrameBytes * 4 + BytesPerSample : 0) {
      case 1 * 4 + 1:
        p[0] = Raw[0];
        return true;
      case 2 * 4 + 2:
        std::memcpy(p, Raw, 2);
        return true;
      case 2 * 4 + 1:
        p[0] = Raw[0];
        p[1] = Raw[1];
        return true;
      case 4 * 4 + 2:
        std::memcpy(p, Raw, 2);
        std::memcpy(p + 2, Raw + 2, 2);
        return true;
      default:
        return false;
    }
  }
  bool ValidFormat() const { return (Channels == 1 || Channels == 2) && (BytesPerSample == 1 || BytesPerSample == 2); }

  int32_t Channels;
  int32_t BytesPerSample;
  int32_t FrameBytes;
  uint8_t Raw[4];
  double Value1;
  double Value2;

  // One sample's real value and its stored raw form, shared by the cell and
  // by the runs of samples below so that both compute alike. The clipping
  // reads "above the top: the top; below the bottom: the bottom";
  // std::min(v, top) is exactly (top < v ? top : v), also for NaN and -0.
  static double Value8(uint8_t raw) { return double(raw) - 128.0; }
  static double Biased8(double value) { return Clamp(value + 128.0, 0.0, 255.0); }
  static uint8_t Raw8(double value) { return uint8_t(Biased8(value)); }
  static double Clipped16(double value) { return Clamp(value, -32768.0, 32767.0); }
  // std::max(std::min(value, top), bottom). On SSE2 the same comparisons
  // without branches: MINSD(top, v) is (top < v ? top : v) and MAXSD(bottom,
  // m) is (bottom > m ? bottom : m), NaN and -0 included; a branch per sample
  // costs a misprediction wherever a voice clips.
  static double Clamp(double value, double bottom, double top) {
#if defined(__SSE2__)
    const __m128d m = _mm_min_sd(_mm_set_sd(top), _mm_set_sd(value));
    return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(bottom), m));
#else
    return std::max(std::min(value, top), bottom);
#endif
  }
  static int16_t Raw16(double value) { return int16_t(Clipped16(value)); }
  // A little-endian 16-bit sample at `p` (any alignment).
  static int16_t LoadWord(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
      int16_t v;
      std::memcpy(&v, p, 2);
      return v;
    } else {
      return int16_t(uint16_t(p[0] | (p[1] << 8)));
    }
  }
  static void StoreWord(uint8_t* p, int16_t v) {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(p, &v, 2);
    } else {
      p[0] = uint8_t(uint16_t(v) & 0xFF);
      p[1] = uint8_t(uint16_t(v) >> 8);
    }
  }

 private:
  // The stored value is the clipped one (not truncated).
  static uint8_t Clip8(double& value) {
    double biased = Biased8(value);
    value = biased - 128.0;
    return uint8_t(biased);
  }
  static int16_t Clip16(double& value) {
    value = Clipped16(value);
    return int16_t(value);
  }
  int16_t Word(int at) const { return LoadWord(Raw + at); }
  void PutWord(int at, int16_t v) { StoreWord(Raw + at, v); }
};

// KSampleRun: the cell's arithmetic on runs of raw samples of one width
// (channels interleaved as the store holds them), through blocks of real
// values. A whole block is worked by loops of a fixed length over arrays
// that do not overlap, which the compiler vectorises; every value comes out
// of the same float64 operations, in the same order, as from cells frame by
// frame. Counts are at most kBlock.
class KSampleRun {
 public:
  static constexpr int32_t kBlock = 256;  // samples

  // values[i] = the real value of raw sample i, as a cell decodes it.
  static void Decode(const uint8_t* raw, int32_t bytesPerSample, int32_t count, double* values);
  // Raw sample i = values[i] clipped and truncated as a cell stores it.
  static void Encode(const double* values, int32_t bytesPerSample, int32_t count, uint8_t* raw);
  // The cell's Scale: values[i] *= factor.
  static void Scale(double* values, int32_t count, double factor);
  // A cell scaled by `factor` and added to a sum: sum[i] += values[i] * factor.
  static void AddScaled(double* sum, const double* values, int32_t count, double factor);
  // The values a cell keeps after Store: values[i] clipped (8-bit: to
  // -128..127 as Store clips them, 16-bit: to -32768..32767).
  static void Clip(double* values, int32_t bytesPerSample, int32_t count);
  // The amplifier's cells on raw samples: each of `samples` raw samples at
  // `in` decoded, scaled by `factor` and stored at `out`; any count.
  static void ScaleRaw(const uint8_t* in, uint8_t* out, int64_t samples, int32_t bytesPerSample, double factor);
  // The cell's ConvertFrom on `frames` frames of values (at most kBlock / 2):
  // from `inChannels` channels of `inBytes`-byte samples to `outChannels` of
  // `outBytes`-byte samples, up to its Store (Clip then gives the values it
  // keeps, Encode its raw bytes).
  static void Convert(const double* in, int32_t inChannels, int32_t inBytes, double* out, int32_t outChannels,
                      int32_t outBytes, int32_t frames);
};
