#include <gtest/gtest.h>

#include <array>

#include "store/PcmCell.h"

namespace {

// The raw bytes of one frame from its samples (8-bit raw or 16-bit signed).
std::array<uint8_t, 4> Frame(int channels, int width, int s1, int s2) {
  std::array<uint8_t, 4> bytes{};
  for (int ch = 0; ch < channels; ++ch) {
    int v = ch == 0 ? s1 : s2;
    bytes[size_t(ch * width)] = uint8_t(v & 0xFF);
    if (width == 2) bytes[size_t(ch * 2 + 1)] = uint8_t((v >> 8) & 0xFF);
  }
  return bytes;
}

TEST(PcmCell, StoreClipsAndTruncatesTowardZero) {
  KPcmCell cell(1, 1), other(1, 1);
  for (auto [raw, sum, value] : {std::tuple{228, 255, 127.0}, {40, 0, -128.0}}) {
    cell.SetMono8(uint8_t(raw));
    other.SetMono8(uint8_t(raw));
    cell.Add(other);
    cell.Store();
    EXPECT_EQ(cell.GetMono8(), sum) << raw;
    EXPECT_EQ(cell.Value1, value) << raw;  // clipped, not truncated
  }
  cell.Value1 = -0.5;  // 127.5 biased truncates to 127
  cell.Store();
  EXPECT_EQ(cell.GetMono8(), 127);

  KPcmCell word(2, 2);
  for (auto [value, raw] : {std::pair{-40000.0, -32768}, {40000.0, 32767}, {-2.7, -2}, {2.7, 2}}) {
    word.Value1 = value;
    word.Store();
    EXPECT_EQ(word.GetMono16(), raw) << value;
  }
  word.SetStereo16(1000, -1000);
  word.Scale(0.5);
  EXPECT_EQ(word.GetMono16(), 1000);  // raw untouched until Store
  word.Store();
  int16_t a, b;
  word.GetStereo16(a, b);
  EXPECT_EQ(a, 500);
  EXPECT_EQ(b, -500);
}

TEST(PcmCell, ConvertFromFollowsTheTranslationRules) {
  struct Case {
    int fromChannels, fromWidth, toChannels, toWidth;
    int in1, in2;    // raw input samples
    int out1, out2;  // raw output samples (out2 only for stereo targets)
  };
  const Case cases[] = {
      {1, 1, 1, 2, 0, 0, -32768, 0},       {1, 1, 1, 2, 128, 0, 0, 0},   {1, 1, 1, 2, 255, 0, 32512, 0},
      {1, 2, 1, 1, -32768, 0, 0, 0},       {1, 2, 1, 1, -1, 0, 127, 0},  {1, 2, 1, 1, 0, 0, 128, 0},
      {1, 2, 1, 1, 255, 0, 128, 0},        {1, 2, 1, 1, 256, 0, 129, 0}, {1, 2, 1, 1, 32767, 0, 255, 0},
      {2, 2, 1, 2, 1000, -3000, -1000, 0}, {2, 1, 1, 1, 255, 0, 127, 0}, {1, 2, 2, 2, 500, 0, 500, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fromChannels << "x" << c.fromWidth << " -> " << c.toChannels << "x"
                                    << c.toWidth << " in " << c.in1);
    KPcmCell source(c.fromChannels, c.fromWidth), target(c.toChannels, c.toWidth);
    ASSERT_TRUE(source.Decode(Frame(c.fromChannels, c.fromWidth, c.in1, c.in2).data()));
    target.ConvertFrom(source);
    std::array<uint8_t, 4> out{};
    ASSERT_TRUE(target.Encode(out.data()));
    EXPECT_EQ(out, Frame(c.toChannels, c.toWidth, c.out1, c.out2));
  }
}

TEST(PcmCell, DecodeEncodeRoundTripAndSilence) {
  const uint8_t bytes[4] = {0x01, 0x80, 0xFF, 0x7F};
  for (auto [channels, width] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}}) {
    KPcmCell cell(channels, width);
    EXPECT_EQ(cell.Raw[0], width == 1 ? 0x80 : 0);  // a new cell is silence
    ASSERT_TRUE(cell.Decode(bytes));
    uint8_t out[4] = {0, 0, 0, 0};
    ASSERT_TRUE(cell.Encode(out));
    EXPECT_EQ(0, memcmp(bytes, out, size_t(channels * width)));
  }
  KPcmCell stereo16(2, 2);
  stereo16.Decode(bytes);
  EXPECT_EQ(stereo16.Value1, -32767.0);  // 0x8001
  EXPECT_EQ(stereo16.Value2, 32767.0);   // 0x7FFF
  KPcmCell bad(3, 1);
  EXPECT_FALSE(bad.Decode(bytes));
  EXPECT_FALSE(bad.Store());
}

}  // namespace
