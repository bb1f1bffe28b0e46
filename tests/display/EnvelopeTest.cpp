#include <gtest/gtest.h>

#include <string>

#include "BoxFixture.h"
#include "display/Envelope.h"
#include "store/PcmCell.h"

namespace {

// The reduction exactly as defined, one frame at a time: every idx is read
// at its own position, so a frame shared by two columns counts in the first.
KZoEnvelope Reference(KPcmMMap& store, int channels, int bits, int32_t end) {
  KZoEnvelope e;
  const double step = double(end) / 544, limit = end - step - 1;
  KPcmCell cell(channels, bits / 8);
  int64_t last = -1;
  double pos = 0.0;
  for (int c = 0; end > 1 && pos < limit; ++c, pos += step) {
    double sum[2][2] = {};
    int count[2][2] = {};
    for (double k = 0.0; k < step; k += 1.0) {
      const int64_t idx = int64_t(pos + k);
      if (idx == last || idx >= end) continue;
      last = idx;
      if (!store.CursorActive() || store.CursorPosition() != idx * channels * bits / 8)
        store.Seek(int32_t(idx * channels * bits / 8));
      store.ReadNext(cell);
      for (int ch = 0; ch < channels; ++ch) {
        const double v = ch == 0 ? cell.Value1 : cell.Value2;
        if (v != 0) sum[ch][v < 0] += std::abs(v), ++count[ch][v < 0];
      }
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

// The columns holding anything.
std::vector<int> Filled(const KZoEnvelope& e) {
  std::vector<int> columns;
  for (int c = 0; c < kZoColumns; ++c)
    if (e.Positive[0][c] || e.Negative[0][c] || e.Positive[1][c] || e.Negative[1][c]) columns.push_back(c);
  return columns;
}

struct ProgressLog : KEnvelopeProgress {
  void Title(std::string_view title) override { Titles.emplace_back(title); }
  void Bar(int percent) override { Bars.push_back(percent); }
  std::vector<std::string> Titles;
  std::vector<int> Bars;
};

using EnvelopeTest = BoxFixture;

// Past one raw view of the store too; and through the store's cursor when no view is free.
TEST_F(EnvelopeTest, MatchesTheDefinitionOnAllFourFormats) {
  for (int channels : {1, 2})
    for (int bits : {8, 16})
      for (int32_t end :
           {0, 1, 2, 17, 543, 544, 545, 1000, 1360, 544 * 3 + 100, 100003, (1 << 22) / (channels * bits / 8) + 5001}) {
        SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit END " << end);
        auto store = Store(bits, Noise(size_t(end) * size_t(channels), bits));
        KZoEnvelope got, cursor;
        ASSERT_TRUE(ReduceEnvelope(*store, channels, bits, end, got));
        const KZoEnvelope want = Reference(*store, channels, bits, end);
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

// By hand: whole means with silence counted nowhere, truncation, frames the store does not hold.
TEST_F(EnvelopeTest, ColumnsComputedByHand) {
  // 544 columns of four frames each, a = c mod 100 added to the positive ones.
  const auto columns = [&](int bits, std::vector<int> frames, KZoEnvelope& e) {
    std::vector<int> values;
    for (int c = 0; c < kZoColumns; ++c)
      for (int v : frames) values.push_back(v > 0 ? v + c % 100 : v);
    return ReduceEnvelope(*Store(bits, values), 1, bits, kZoColumns * 4, e);
  };
  KZoEnvelope e;
  ASSERT_TRUE(columns(16, {1, 3, -7, 0}, e));  // means a + 2 and 7: silence counts nowhere
  for (int c = 0; c <= 542; ++c) ASSERT_EQ(std::pair(e.Positive[0][c], e.Negative[0][c]), std::pair(c % 100 + 2, 7));
  EXPECT_EQ(Filled(e).size(), 543u);           // not column 543
  ASSERT_TRUE(columns(8, {1, 2, -1, -2}, e));  // means truncate: 1 and 2 give 1; mono leaves channel 2 empty
  EXPECT_EQ(std::tuple(e.Positive[0][300], e.Negative[0][300], e.Positive[1][300]), std::tuple(1, 1, 0));
  ASSERT_TRUE(ReduceEnvelope(*Store(8, std::vector<int>(1000, 50)), 1, 8, 2000, e));  // END 2000, 1000 held
  EXPECT_EQ(std::pair(e.Positive[0][100], e.Positive[0][400]), std::pair(50, 0));     // frames 1470..1473
  EXPECT_EQ(Filled(e).back(), 271);  // frames 996..999, the last ones held
}

TEST_F(EnvelopeTest, ProgressAndBadFormats) {
  auto store = Store(8, std::vector<int>(544 * 3, 9));
  KZoEnvelope e;
  ProgressLog log, quiet;
  ASSERT_TRUE(ReduceEnvelope(*store, 1, 8, 544 * 3, e, &log));
  EXPECT_EQ(log.Titles, std::vector<std::string>({"Caculate ZO waveform"}));
  ASSERT_EQ(log.Bars.size(), 543u);
  // After column 0: 1/544, after column 5: 6/544, at the end 543/544.
  EXPECT_EQ(std::tuple(log.Bars.front(), log.Bars[5], log.Bars.back()), std::tuple(0, 1, 99));
  ASSERT_TRUE(ReduceEnvelope(*store, 1, 8, 1, e, &quiet));
  EXPECT_TRUE(quiet.Titles.empty());
  e.Positive[0][3] = 5;
  EXPECT_FALSE(ReduceEnvelope(*store, 3, 8, 500, e) || ReduceEnvelope(*store, 1, 12, 500, e));
  EXPECT_TRUE(Filled(e).empty());
}

}  // namespace
