// The sample cell against worked values, and the runs of samples against
// cells frame by frame in every pair of sample formats and across the limits.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "store/PcmCell.h"

namespace {

using Format = std::pair<int, int>;  // channels, bytes per sample
constexpr Format kFormats[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};

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
    ASSERT_TRUE(cell.Encode(out.data()));  // silence until stored
    EXPECT_EQ(std::vector(out.begin(), out.begin() + 2 * width), Bytes(width, {128 * (2 - width), 128 * (2 - width)}));
    ASSERT_TRUE(cell.Store());
    ASSERT_TRUE(cell.Encode(out.data()));
    EXPECT_EQ(std::vector(out.begin(), out.begin() + 2 * width), Bytes(width, {raw, raw}));
    EXPECT_EQ(std::pair(cell.Value1, cell.Value2), std::pair(kept, kept));
  }
  KPcmCell bad(3, 1);
  uint8_t out[4] = {};
  EXPECT_FALSE(bad.Decode(out) || bad.Store() || bad.Encode(out));
}

// Raw samples of one format decoded, translated and encoded in another
// (the same format: unchanged).
TEST(PcmCell, ConvertFromFollowsTheTranslationRules) {
  struct Case {
    Format from, to;
    int in1, in2, out1, out2;
  };
  const Case cases[] = {{{1, 1}, {1, 2}, 0, 0, -32768, 0},     {{1, 1}, {1, 2}, 128, 0, 0, 0},
                        {{1, 1}, {1, 2}, 255, 0, 32512, 0},    {{1, 2}, {1, 1}, -32768, 0, 0, 0},
                        {{1, 2}, {1, 1}, -1, 0, 127, 0},       {{1, 2}, {1, 1}, 0, 0, 128, 0},
                        {{1, 2}, {1, 1}, 255, 0, 128, 0},      {{1, 2}, {1, 1}, 256, 0, 129, 0},
                        {{1, 2}, {1, 1}, 32767, 0, 255, 0},    {{2, 2}, {1, 2}, 1000, -3000, -1000, 0},
                        {{2, 1}, {1, 1}, 255, 0, 127, 0},      {{1, 2}, {2, 2}, 500, 0, 500, 500},
                        {{2, 2}, {2, 1}, 256, -512, 129, 126}, {{2, 2}, {2, 2}, -32767, 32767, -32767, 32767},
                        {{2, 1}, {2, 1}, 1, 255, 1, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.first << "x" << c.from.second << " -> " << c.to.first << "x"
                                    << c.to.second << " in " << c.in1);
    KPcmCell source(c.from.first, c.from.second), target(c.to.first, c.to.second);
    ASSERT_TRUE(source.Decode(Bytes(c.from.second, {c.in1, c.in2}).data()));
    target.ConvertFrom(source);
    std::vector<uint8_t> out(size_t(target.FrameBytes));
    ASSERT_TRUE(target.Encode(out.data()));
    EXPECT_EQ(out, Bytes(c.to.second, c.to.first == 1 ? std::vector{c.out1} : std::vector{c.out1, c.out2}));
  }
}

// What cells or runs give for every sample out: the value kept after Store and the raw bytes.
using Outcome = std::pair<std::vector<double>, std::vector<uint8_t>>;

// Cells frame by frame: `step` sets the target's values from the source
// decoded from frame `f` of `raw`.
using Step = std::function<void(const KPcmCell& source, KPcmCell& target, int32_t f)>;
Outcome ByCells(const std::vector<uint8_t>& raw, Format in, Format out, const Step& step) {
  KPcmCell source(in.first, in.second), target(out.first, out.second);
  Outcome o{{}, std::vector<uint8_t>(raw.size() / size_t(source.FrameBytes) * size_t(target.FrameBytes))};
  for (int32_t f = 0; size_t(f * source.FrameBytes) < raw.size(); ++f) {
    source.Decode(&raw[size_t(f * source.FrameBytes)]);
    step(source, target, f);
    target.Store();
    for (double value : {target.Value1, target.Value2}) o.first.push_back(value);
    if (target.Channels == 1) o.first.pop_back();
    target.Encode(&o.second[size_t(f * target.FrameBytes)]);
  }
  return o;
}

// Runs, from the samples' values before Store.
Outcome ByRuns(const std::vector<double>& values, Format out) {
  Outcome o{values, std::vector<uint8_t>(values.size() * size_t(out.second))};
  KSampleRun::Clip(o.first.data(), out.second, int32_t(values.size()));
  KSampleRun::Encode(values.data(), out.second, int32_t(values.size()), o.second.data());
  return o;
}

// The amplifier over several blocks and a part; decoding and translating,
// and an echo's sum of scaled values with a part scaled again, for a whole
// block, a part and one frame: the same kept values and bytes as cells give.
TEST(SampleRun, WorksAsCellsFrameByFrame) {
  const double gains[] = {1.0, 0.6, 0.36, 0.216};
  for (Format in : kFormats) {
    const std::vector<uint8_t> all = Samples(in.second, size_t(1001 * in.first));
    for (double factor : {1.5, -1.5, 9.99, 0.01}) {
      std::vector<uint8_t> scaled(all.size());
      KSampleRun::ScaleRaw(all.data(), scaled.data(), 1001 * in.first, in.second, factor);
      const Step amplify = [factor](const KPcmCell& s, KPcmCell& t, int32_t) { (t = s).Scale(factor); };
      EXPECT_EQ(scaled, ByCells(all, in, in, amplify).second) << in.first << "x" << in.second << " times " << factor;
    }
    for (int32_t frames : {KSampleRun::kBlock / 2, 77, 1}) {
      SCOPED_TRACE(testing::Message() << in.first << "x" << in.second << ", " << frames << " frames");
      const int32_t count = frames * in.first;
      const std::vector<uint8_t> raw = Samples(in.second, size_t(count));
      std::vector<double> values(raw.size() / size_t(in.second)), sum(values.size());
      KSampleRun::Decode(raw.data(), in.second, count, values.data());
      for (Format out : kFormats) {
        std::vector<double> converted(size_t(frames * out.first));
        KSampleRun::Convert(values.data(), in.first, in.second, converted.data(), out.first, out.second, frames);
        EXPECT_EQ(ByRuns(converted, out), ByCells(raw, in, out, [](auto& s, auto& t, int32_t) { t.ConvertFrom(s); }))
            << "to " << out.first << "x" << out.second;
      }
      for (double gain : gains) KSampleRun::AddScaled(sum.data(), values.data(), count, gain);
      KSampleRun::Scale(sum.data(), frames / 2 * in.first, 1.5);
      const Step echo = [&](const KPcmCell& s, KPcmCell& t, int32_t f) {
        t.Clear();
        for (double gain : gains) {
          KPcmCell scaled = s;
          scaled.Scale(gain);
          t.Add(scaled);
        }
        if (f < frames / 2) t.Scale(1.5);
      };
      EXPECT_EQ(ByRuns(sum, in), ByCells(raw, in, in, echo));
    }
  }
}

}  // namespace
