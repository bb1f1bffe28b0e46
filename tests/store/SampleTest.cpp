// The sample cell against fixed values, and the runs of samples against the
// cell in every sample format and across the clipping limits.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "store/PcmCell.h"

namespace {

constexpr std::pair<int, int> kFormats[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};

// Raw bytes of samples of `width` bytes (8-bit raw or 16-bit signed).
std::vector<uint8_t> Bytes(int width, const std::vector<int>& samples) {
  std::vector<uint8_t> raw;
  for (int v : samples) {
    raw.push_back(uint8_t(v & 0xFF));
    if (width == 2) raw.push_back(uint8_t((v >> 8) & 0xFF));
  }
  return raw;
}

// `count` raw samples: every 8-bit value, or the 16-bit extremes, zero and
// neighbours, then a spread of others.
std::vector<uint8_t> Samples(int width, size_t count) {
  const int special[] = {-32768, -32767, -16385, -1, 0, 1, 255, 256, 16384, 32766, 32767};
  std::vector<int> v(count);
  for (size_t i = 0; i < count; ++i)
    v[i] = width == 1 ? int(i * 97 % 256) : i < std::size(special) ? special[i] : int(i * 7919 % 65536) - 32768;
  return Bytes(width, v);
}

// A stereo cell given `value` as quarters added and scaled: Store clips it,
// truncates toward zero and keeps the clipped (not the truncated) value.
TEST(PcmCell, StoreClipsAndTruncatesTowardZero) {
  const std::tuple<int, double, int, double> cases[] = {
      {1, 200, 255, 127},          {1, -200, 0, -128},       {1, -0.5, 127, -0.5}, {1, 127.9, 255, 127},
      {2, -40000, -32768, -32768}, {2, 40000, 32767, 32767}, {2, -2.7, -2, -2.7},  {2, 2.7, 2, 2.7}};
  for (auto [width, value, raw, kept] : cases) {
    SCOPED_TRACE(testing::Message() << width << " bytes, " << value);
    KPcmCell cell(2, width), quarter(2, width);
    quarter.Value1 = quarter.Value2 = value / 4;
    cell.Add(quarter);
    cell.Scale(2);
    cell.Add(quarter);
    cell.Add(quarter);
    std::array<uint8_t, 4> out{};
    ASSERT_TRUE(cell.Encode(out.data()));
    EXPECT_EQ(std::vector(out.begin(), out.begin() + 2 * width),
              Bytes(width, {width == 1 ? 128 : 0, width == 1 ? 128 : 0}));
    ASSERT_TRUE(cell.Store());  // the raw frame changes only here
    ASSERT_TRUE(cell.Encode(out.data()));
    EXPECT_EQ(std::vector(out.begin(), out.begin() + 2 * width), Bytes(width, {raw, raw}));
    EXPECT_EQ(cell.Value1, kept);
    EXPECT_EQ(cell.Value2, kept);
  }
}

TEST(PcmCell, DecodeEncodeRoundTripAndBadFormats) {
  const uint8_t bytes[4] = {0x01, 0x80, 0xFF, 0x7F};
  const std::pair<double, double> values[] = {{-127, 0}, {-32767, 0}, {-127, 0}, {-32767, 32767}};
  for (int i = 0; i < 4; ++i) {
    auto [channels, width] = kFormats[i];
    KPcmCell cell(channels, width);
    uint8_t out[4] = {};
    ASSERT_TRUE(cell.Decode(bytes) && cell.Encode(out));
    EXPECT_EQ(0, memcmp(bytes, out, size_t(channels * width))) << i;
    EXPECT_EQ(std::pair(cell.Value1, cell.Value2), values[i]) << i;
  }
  KPcmCell bad(3, 1);
  EXPECT_FALSE(bad.Decode(bytes) || bad.Store() || bad.Encode(nullptr));
}

TEST(PcmCell, ConvertFromFollowsTheTranslationRules) {
  struct Case {
    int fromChannels, fromWidth, toChannels, toWidth, in1, in2, out1, out2;  // raw samples
  };
  const Case cases[] = {
      {1, 1, 1, 2, 0, 0, -32768, 0},       {1, 1, 1, 2, 128, 0, 0, 0},   {1, 1, 1, 2, 255, 0, 32512, 0},
      {1, 2, 1, 1, -32768, 0, 0, 0},       {1, 2, 1, 1, -1, 0, 127, 0},  {1, 2, 1, 1, 0, 0, 128, 0},
      {1, 2, 1, 1, 255, 0, 128, 0},        {1, 2, 1, 1, 256, 0, 129, 0}, {1, 2, 1, 1, 32767, 0, 255, 0},
      {2, 2, 1, 2, 1000, -3000, -1000, 0}, {2, 1, 1, 1, 255, 0, 127, 0}, {1, 2, 2, 2, 500, 0, 500, 500},
      {2, 2, 2, 1, 256, -512, 129, 126},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fromChannels << "x" << c.fromWidth << " -> " << c.toChannels << "x"
                                    << c.toWidth << " in " << c.in1);
    KPcmCell source(c.fromChannels, c.fromWidth), target(c.toChannels, c.toWidth);
    const std::vector<uint8_t> in = Bytes(c.fromWidth, {c.in1, c.in2});
    ASSERT_TRUE(source.Decode(in.data()));
    target.ConvertFrom(source);
    std::vector<uint8_t> out(size_t(target.FrameBytes));
    ASSERT_TRUE(target.Encode(out.data()));
    EXPECT_EQ(out, c.toChannels == 1 ? Bytes(c.toWidth, {c.out1}) : Bytes(c.toWidth, {c.out1, c.out2}));
  }
}

// Values past every limit of both widths, halves either side of them and
// negative zero, in whole blocks, a part and single values: encoded and
// clipped exactly as cells store them.
TEST(SampleRun, EncodeAndClipAsTheCell) {
  std::vector<double> values = {-1e9,   -40000, -32768.9, -32768.5, -32768,  -32767.5, -128.9, -128.5, -128,
                                -127.9, -2.7,   -0.5,     -0.0,     0.0,     0.49,     2.7,    126.5,  127,
                                127.5,  128,    32766.5,  32767,    32767.2, 32768,    40000,  1e9};
  while (values.size() < 3 * KSampleRun::kBlock) values.push_back((double(values.size()) - 400) * 97.31);
  for (int width : {1, 2}) {
    for (int32_t count : {KSampleRun::kBlock, 13, 1}) {
      for (size_t from = 0; from + size_t(count) <= values.size(); from += size_t(count)) {
        std::vector<uint8_t> raw(size_t(count * width)), expected(raw.size());
        KSampleRun::Encode(&values[from], width, count, raw.data());
        std::vector<double> kept(values.begin() + long(from), values.begin() + long(from) + count);
        KSampleRun::Clip(kept.data(), width, count);
        KPcmCell cell(1, width);
        for (int32_t i = 0; i < count; ++i) {
          cell.Value1 = values[from + size_t(i)];
          cell.Store();
          cell.Encode(&expected[size_t(i * width)]);
          ASSERT_EQ(kept[size_t(i)], cell.Value1) << "width " << width << " value " << values[from + size_t(i)];
        }
        ASSERT_EQ(raw, expected) << "width " << width << " from " << values[from];
      }
    }
  }
}

// Decoding, an echo's sum of scaled values and a scaled part of a block.
TEST(SampleRun, DecodeScaleAndSumsAsTheCell) {
  constexpr int32_t kBlock = KSampleRun::kBlock;
  const double gains[] = {1.0, 0.6, 0.36, 0.216};
  for (int width : {1, 2}) {
    const std::vector<uint8_t> raw = Samples(width, kBlock);
    double values[kBlock], sum[kBlock] = {};
    KSampleRun::Decode(raw.data(), width, kBlock, values);
    for (double gain : gains) KSampleRun::AddScaled(sum, values, kBlock, gain);
    KSampleRun::Scale(sum, 100, 1.5);
    for (int i = 0; i < kBlock; ++i) {
      KPcmCell total(1, width), echo(1, width);
      for (double gain : gains) {
        ASSERT_TRUE(echo.Decode(&raw[size_t(i * width)]));
        ASSERT_EQ(values[i], echo.Value1) << i;
        echo.Scale(gain);
        total.Add(echo);
      }
      if (i < 100) total.Scale(1.5);
      ASSERT_EQ(sum[i], total.Value1) << i;
    }
  }
}

// The amplifier over several blocks and a part, with factors that clip, and
// every translation between two formats, for a whole block and a part.
TEST(SampleRun, ScaleRawAndConvertAsTheCells) {
  for (auto [channels, width] : kFormats) {
    for (double factor : {1.5, 9.99, 0.01, 0.5}) {
      const std::vector<uint8_t> raw = Samples(width, size_t(channels) * 1001);
      std::vector<uint8_t> out(raw.size()), expected = raw;
      KSampleRun::ScaleRaw(raw.data(), out.data(), int64_t(raw.size()) / width, width, factor);
      KPcmCell cell(channels, width);
      for (size_t at = 0; at < raw.size(); at += size_t(cell.FrameBytes)) {
        cell.Decode(&raw[at]);
        cell.Scale(factor);
        cell.Store();
        cell.Encode(&expected[at]);
      }
      EXPECT_EQ(out, expected) << channels << "ch " << width * 8 << "bit x" << factor;
    }
    for (auto [outChannels, outWidth] : kFormats) {
      for (int32_t frames : {KSampleRun::kBlock / 2, 77}) {
        SCOPED_TRACE(testing::Message() << channels << "x" << width << " -> " << outChannels << "x" << outWidth << ", "
                                        << frames << " frames");
        const std::vector<uint8_t> raw = Samples(width, size_t(frames * channels));
        double in[KSampleRun::kBlock], converted[KSampleRun::kBlock];
        KSampleRun::Decode(raw.data(), width, frames * channels, in);
        KSampleRun::Convert(in, channels, width, converted, outChannels, outWidth, frames);
        std::vector<uint8_t> out(size_t(frames * outChannels * outWidth)), expected(out.size());
        KSampleRun::Encode(converted, outWidth, frames * outChannels, out.data());
        KPcmCell source(channels, width), target(outChannels, outWidth);
        for (int32_t f = 0; f < frames; ++f) {
          source.Decode(&raw[size_t(f * source.FrameBytes)]);
          target.ConvertFrom(source);
          target.Encode(&expected[size_t(f * target.FrameBytes)]);
        }
        EXPECT_EQ(out, expected);
      }
    }
  }
}

}  // namespace
