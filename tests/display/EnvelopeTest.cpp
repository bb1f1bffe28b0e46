#include <gtest/gtest.h>

#include <string>

#include "BoxFixture.h"
#include "display/Envelope.h"

namespace {

// The reduction exactly as defined, from the sample values, one frame at a
// time: a frame shared by two columns counts in the first; silence counts
// nowhere; frames past the values held count nowhere.
KZoEnvelope Reference(const std::vector<int>& values, int channels, int32_t end) {
  KZoEnvelope e;
  const double step = double(end) / 544, limit = end - step - 1;
  int64_t last = -1;
  double pos = 0.0;
  for (int c = 0; end > 1 && pos < limit; ++c, pos += step) {
    double sum[2][2] = {};
    int count[2][2] = {};
    for (double k = 0.0; k < step; k += 1.0) {
      const int64_t idx = int64_t(pos + k);
      if (idx == last || idx >= end || size_t(idx * channels) >= values.size()) continue;
      last = idx;
      for (int ch = 0; ch < channels; ++ch)
        if (const int v = values[size_t(idx * channels + ch)]; v != 0)
          sum[ch][v < 0] += std::abs(v), ++count[ch][v < 0];
    }
    for (int ch = 0; ch < 2; ++ch) {
      e.Positive[ch][c] = int32_t(count[ch][0] > 0 ? sum[ch][0] / count[ch][0] : 0);
      e.Negative[ch][c] = int32_t(count[ch][1] > 0 ? sum[ch][1] / count[ch][1] : 0);
    }
  }
  return e;
}

// Full-range values with runs of silence, from a fixed seed.
std::vector<int> Noise(size_t n, int bits) {
  std::vector<int> v(n);
  for (uint32_t i = 0, x = 12345; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    v[i] = (x >> 9) % 5 == 0 ? 0 : int((x >> 8) % (1u << bits)) - (1 << (bits - 1));
  }
  return v;
}

struct ProgressLog : KEnvelopeProgress {
  void Title(std::string_view title) override { Titles.emplace_back(title); }
  void Bar(int percent) override { Bars.push_back(percent); }
  std::vector<std::string> Titles;
  std::vector<int> Bars;
};

using EnvelopeTest = BoxFixture;

// Every format and length, past one raw view of the store too, with frames
// the store does not hold; through the store's cursor when no view is free.
TEST_F(EnvelopeTest, MatchesTheDefinitionOnAllFourFormats) {
  for (int channels : {1, 2})
    for (int bits : {8, 16})
      for (int32_t end :
           {0, 1, 2, 17, 543, 544, 545, 1000, 1360, 544 * 3 + 100, 100003, (1 << 22) / (channels * bits / 8) + 5001}) {
        SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit END " << end);
        const std::vector<int> values = Noise(size_t(end) * size_t(channels) * (end == 1000 ? 1 : 2) / 2, bits);
        auto store = Store(bits, values);
        KZoEnvelope got, cursor;
        ASSERT_TRUE(ReduceEnvelope(*store, channels, bits, end, got));
        const KZoEnvelope want = Reference(values, channels, end);
        ASSERT_TRUE(got.Positive == want.Positive && got.Negative == want.Negative);
        if (end != 100003) continue;
        std::vector<uint8_t*> taken;
        for (int i = 0; i < KPcmMMap::kMaxViews; ++i) taken.push_back(store->MapView(0, 16));
        ASSERT_EQ(store->MapView(0, 16), nullptr);
        ASSERT_TRUE(ReduceEnvelope(*store, channels, bits, end, cursor));
        EXPECT_TRUE(cursor.Positive == want.Positive && cursor.Negative == want.Negative);
        for (uint8_t* v : taken) store->UnmapView(v);
      }
}

// The progress of a reduction of 544 columns; nothing for END 1 or a format it does not know.
TEST_F(EnvelopeTest, ProgressAndBadFormats) {
  KZoEnvelope e;
  ProgressLog log, quiet;
  ASSERT_TRUE(ReduceEnvelope(*Store(16, Noise(544 * 5, 16)), 1, 16, 544 * 5, e, &log));
  EXPECT_EQ(log.Titles, std::vector<std::string>({"Caculate ZO waveform"}));
  ASSERT_EQ(log.Bars.size(), 543u);  // after column 0: 1/544, after column 5: 6/544, at the end 543/544
  EXPECT_EQ(std::tuple(log.Bars.front(), log.Bars[5], log.Bars.back()), std::tuple(0, 1, 99));
  ASSERT_TRUE(ReduceEnvelope(*Store(8, {9, 9}), 1, 8, 1, e, &quiet));
  EXPECT_TRUE(quiet.Titles.empty() && e.Positive[0][0] == 0);
  e.Positive[0][3] = 5;
  EXPECT_FALSE(ReduceEnvelope(*Store(8, {9}), 3, 8, 500, e) || ReduceEnvelope(*Store(8, {9}), 1, 12, 500, e));
  EXPECT_EQ(e.Positive[0][3], 0);
}

}  // namespace
