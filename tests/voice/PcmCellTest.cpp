#include "voice/PcmCell.h"

#include <gtest/gtest.h>

namespace {

TEST(PcmCell, ClearIsSilenceInEachWidth) {
  KPcmCell eight(2, 1), sixteen(2, 2);
  uint8_t a, b;
  eight.GetStereo8(a, b);
  EXPECT_EQ(a, 128);
  EXPECT_EQ(b, 128);
  int16_t c, d;
  sixteen.GetStereo16(c, d);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(d, 0);
}

TEST(PcmCell, StoreClipsAndTruncatesTowardZero) {
  KPcmCell cell(1, 1), other(1, 1);
  cell.SetMono8(228);
  other.SetMono8(228);
  cell.Add(other);
  cell.Store();
  EXPECT_EQ(cell.GetMono8(), 255);
  EXPECT_EQ(cell.Value1, 127.0);
  cell.SetMono8(40);
  other.SetMono8(40);
  cell.Add(other);
  cell.Store();
  EXPECT_EQ(cell.GetMono8(), 0);
  EXPECT_EQ(cell.Value1, -128.0);

  KPcmCell word(1, 2);
  for (auto [value, raw] : {std::pair{-40000.0, -32768}, {40000.0, 32767}, {-2.7, -2}, {2.7, 2}}) {
    word.Value1 = value;
    word.Store();
    EXPECT_EQ(word.GetMono16(), raw) << value;
  }
  // 8-bit: biased -0.5 + 128 = 127.5 truncates to 127.
  cell.Value1 = -0.5;
  cell.Store();
  EXPECT_EQ(cell.GetMono8(), 127);
}

TEST(PcmCell, ScaleWorksOnValuesOnly) {
  KPcmCell cell(2, 2);
  cell.SetStereo16(1000, -1000);
  cell.Scale(0.5);
  int16_t a, b;
  cell.GetStereo16(a, b);
  EXPECT_EQ(a, 1000);  // raw untouched until Store
  cell.Store();
  cell.GetStereo16(a, b);
  EXPECT_EQ(a, 500);
  EXPECT_EQ(b, -500);
}

TEST(PcmCell, ConvertEightToSixteen) {
  KPcmCell source(1, 1), target(1, 2);
  for (auto [raw, value] : {std::pair{0, -32768}, {128, 0}, {255, 32512}}) {
    source.SetMono8(uint8_t(raw));
    target.ConvertFrom(source);
    EXPECT_EQ(target.GetMono16(), value) << raw;
  }
}

TEST(PcmCell, ConvertSixteenToEight) {
  KPcmCell source(1, 2), target(1, 1);
  for (auto [value, raw] : {std::pair{-32768, 0}, {-1, 127}, {0, 128}, {255, 128}, {256, 129}, {32767, 255}}) {
    source.SetMono16(int16_t(value));
    target.ConvertFrom(source);
    EXPECT_EQ(target.GetMono8(), raw) << value;
  }
}

TEST(PcmCell, ConvertBetweenChannelCounts) {
  KPcmCell stereo16(2, 2), mono16(1, 2), stereo8(2, 1), mono8(1, 1);
  stereo16.SetStereo16(1000, -3000);
  mono16.ConvertFrom(stereo16);
  EXPECT_EQ(mono16.GetMono16(), -1000);

  stereo8.SetStereo8(255, 0);
  mono8.ConvertFrom(stereo8);
  EXPECT_EQ(mono8.GetMono8(), 127);

  mono16.SetMono16(500);
  stereo16.ConvertFrom(mono16);
  int16_t a, b;
  stereo16.GetStereo16(a, b);
  EXPECT_EQ(a, 500);
  EXPECT_EQ(b, 500);
}

TEST(PcmCell, DecodeAndEncodeRoundTripEveryFormat) {
  const uint8_t bytes[4] = {0x01, 0x80, 0xFF, 0x7F};
  for (auto [channels, width] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}}) {
    KPcmCell cell(channels, width);
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
