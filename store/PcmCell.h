// KPcmCell: one sample frame as raw bytes plus one real value per channel.
// It sits in every frame loop of the program, so it stays a small inline
// value type with no allocation. It builds on nothing; the sample store
// encodes and decodes it, and every layer above computes with it.
#pragma once

#include <cstdint>
#include <cstring>

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
    Value1 = double(raw) - 128.0;
    Value2 = 0.0;
  }
  void SetStereo8(uint8_t raw1, uint8_t raw2) {
    Raw[0] = raw1;
    Raw[1] = raw2;
    Value1 = double(raw1) - 128.0;
    Value2 = double(raw2) - 128.0;
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
    switch (FrameBytes * 4 + BytesPerSample) {
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
  // Encodes the raw frame into FrameBytes bytes.
  bool Encode(uint8_t* p) const {
    if (!ValidFormat()) return false;
    std::memcpy(p, Raw, size_t(FrameBytes));
    return true;
  }
  bool ValidFormat() const { return (Channels == 1 || Channels == 2) && (BytesPerSample == 1 || BytesPerSample == 2); }

  int32_t Channels;
  int32_t BytesPerSample;
  int32_t FrameBytes;
  uint8_t Raw[4];
  double Value1;
  double Value2;

 private:
  static uint8_t Clip8(double& value) {
    double biased = value + 128.0;
    if (biased > 255.0) biased = 255.0;
    if (biased < 0.0) biased = 0.0;
    value = biased - 128.0;
    return uint8_t(biased);
  }
  static int16_t Clip16(double& value) {
    if (value > 32767.0) value = 32767.0;
    if (value < -32768.0) value = -32768.0;
    return int16_t(value);
  }
  static int16_t LoadWord(const uint8_t* p) { return int16_t(uint16_t(p[0] | (p[1] << 8))); }
  int16_t Word(int at) const { return LoadWord(Raw + at); }
  void PutWord(int at, int16_t v) {
    Raw[at] = uint8_t(uint16_t(v) & 0xFF);
    Raw[at + 1] = uint8_t(uint16_t(v) >> 8);
  }
};
