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
  if (end <= 1) return e;
  const double step = double(end) / 544, limit = end - step - 1;
  const int32_t frame = channels * bits / 8;
  KPcmCell cell(channels, bits / 8);
  int64_t last = -1;
  double pos = 0.0;
  for (int c = 0; pos < limit; ++c, pos += step) {
    double sum[2][2] = {};
    int count[2][2] = {};
    for (double k = 0.0; k < step; k += 1.0) {
      const int64_t idx = int64_t(pos + k);
      if (idx == last || idx >= end) continue;
      last = idx;
      if (!store.CursorActive() || store.CursorPosition() != idx * frame) store.Seek(int32_t(idx * frame));
      store.ReadNext(cell);
      const double v[2] = {cell.Value1, cell.Value2};
      for (int ch = 0; ch < channels; ++ch) {
        if (v[ch] != 0) {
          sum[ch][v[ch] < 0] += v[ch] < 0 ? -v[ch] : v[ch];
          ++count[ch][v[ch] < 0];
        }
      }
    }
    for (int ch = 0; ch < 2; ++ch) {
      e.Positive[ch][c] = int32_t(count[ch][0] > 0 ? sum[ch][0] / count[ch][0] : sum[ch][0]);
      e.Negative[ch][c] = int32_t(count[ch][1] > 0 ? sum[ch][1] / count[ch][1] : sum[ch][1]);
    }
  }
  return e;
}

// Full-range values with runs of silence, from a fixed seed.
std::vector<int> Noise(size_t n, int bits) {
  std::vector<int> v(n);
  uint32_t x = 12345;
  const int range = bits == 8 ? 256 : 65536;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    v[i] = (x >> 9) % 5 == 0 ? 0 : int((x >> 8) % uint32_t(range)) - range / 2;
  }
  return v;
}

void ExpectSame(const KZoEnvelope& got, const KZoEnvelope& want, const std::string& what) {
  for (int ch = 0; ch < 2; ++ch)
    for (int c = 0; c < kZoColumns; ++c) {
      ASSERT_EQ(got.Positive[ch][c], want.Positive[ch][c]) << what << " channel " << ch << " column " << c;
      ASSERT_EQ(got.Negative[ch][c], want.Negative[ch][c]) << what << " channel " << ch << " column " << c;
    }
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

class EnvelopeTest : public BoxFixture {
 protected:
  KZoEnvelope Reduce(int channels, int bits, const std::vector<int>& values, int32_t end = -1) {
    auto store = Store(bits, values);
    KZoEnvelope e;
    EXPECT_TRUE(ReduceEnvelope(*store, channels, bits, end < 0 ? int32_t(values.size()) / channels : end, e));
    return e;
  }
};

TEST_F(EnvelopeTest, MatchesTheDefinitionOnAllFourFormats) {
  const int32_t lengths[] = {0, 1, 2, 17, 543, 544, 545, 1000, 1360, 544 * 3 + 100, 100003};
  for (int channels : {1, 2})
    for (int bits : {8, 16}) {
      const int32_t frame = channels * bits / 8;
      // Past one raw view of the store too.
      std::vector<int32_t> sizes(std::begin(lengths), std::end(lengths));
      sizes.push_back((1 << 22) / frame + 5001);
      for (int32_t end : sizes) {
        auto store = Store(bits, Noise(size_t(end) * size_t(channels), bits));
        KZoEnvelope got;
        ASSERT_TRUE(ReduceEnvelope(*store, channels, bits, end, got));
        ExpectSame(got, Reference(*store, channels, bits, end),
                   std::to_string(channels) + "ch " + std::to_string(bits) + "bit END " + std::to_string(end));
      }
    }
}

TEST_F(EnvelopeTest, WholeMultiplesOf544AverageTheirFramesUpToColumn542) {
  // Column c of 544 x 4 frames: a + 1, a + 3, -7 and silence, a = c mod 100:
  // means a + 2 and 7 (silence counts nowhere).
  std::vector<int> values;
  for (int c = 0; c < kZoColumns; ++c) values.insert(values.end(), {c % 100 + 1, c % 100 + 3, -7, 0});
  KZoEnvelope e = Reduce(1, 16, values);
  for (int c = 0; c <= 542; ++c) {
    ASSERT_EQ(e.Positive[0][c], c % 100 + 2) << c;
    ASSERT_EQ(e.Negative[0][c], 7) << c;
  }
  EXPECT_EQ(e.Positive[0][543], 0);
  EXPECT_EQ(e.Negative[0][543], 0);
  EXPECT_EQ(Filled(e).size(), 543u);

  // One frame per column: columns 0..541.
  EXPECT_EQ(Filled(Reduce(1, 8, std::vector<int>(kZoColumns, 50))).back(), 541);
  // Means truncate: 1 and 2 give 1; a mono voice leaves channel 2 empty.
  values.clear();
  for (int c = 0; c < kZoColumns; ++c) values.insert(values.end(), {1, 2, -1, -2});
  e = Reduce(1, 8, values);
  EXPECT_EQ(e.Positive[0][300], 1);
  EXPECT_EQ(e.Negative[0][300], 1);
  EXPECT_EQ(e.Positive[1][300], 0);
  EXPECT_EQ(e.Negative[1][300], 0);
}

TEST_F(EnvelopeTest, AFractionalStepCountsEveryFrameOnce) {
  // 1360 frames: step 2.5, so columns alternate three and two frames, the
  // frame they share counted in the first: 0-2, 3-4, 5-7, 8-9 ...
  std::vector<int> values(1360);
  for (int i = 0; i < 1360; ++i) values[size_t(i)] = 100 + i;
  KZoEnvelope e = Reduce(1, 16, values);
  for (int c = 0; c < 542; ++c) {
    const int first = c / 2 * 5 + (c % 2 ? 3 : 0), n = c % 2 ? 2 : 3;
    ASSERT_EQ(e.Positive[0][c], 100 + first + (n - 1) / 2) << c;
  }
}

TEST_F(EnvelopeTest, ShortVoicesGiveSeparateStrokes) {
  // 17 frames: step 1/32, frame j alone in column 32 j, frames up to 15.
  std::vector<int> values(17);
  for (int j = 0; j < 17; ++j) values[size_t(j)] = j + 1;
  KZoEnvelope e = Reduce(1, 8, values);
  std::vector<int> want;
  for (int j = 0; j < 16; ++j) want.push_back(32 * j);
  EXPECT_EQ(Filled(e), want);
  EXPECT_EQ(e.Positive[0][32 * 5], 6);

  // One shorter than 544: frame 0 in column 0, then frame c - 1 in column c up to 541.
  values.assign(543, 0);
  for (int i = 0; i < 543; ++i) values[size_t(i)] = -(i % 120 + 1);
  e = Reduce(1, 8, values);
  EXPECT_EQ(e.Negative[0][0], 1);
  EXPECT_EQ(e.Negative[0][1], 0);
  for (int c = 2; c <= 541; ++c) ASSERT_EQ(e.Negative[0][c], (c - 1) % 120 + 1) << c;
  EXPECT_EQ(Filled(e).size(), 541u);

  // One frame or none: nothing at all.
  EXPECT_TRUE(Filled(Reduce(1, 8, {100})).empty());
  EXPECT_TRUE(Filled(Reduce(2, 16, {}, 0)).empty());
}

TEST_F(EnvelopeTest, ReadsThroughTheCursorWhenNoViewIsFree) {
  const std::vector<int> values = Noise(70001 * 2, 8);
  auto store = Store(8, values);
  KZoEnvelope viewed, cursor;
  ASSERT_TRUE(ReduceEnvelope(*store, 2, 8, 70001, viewed));
  std::vector<uint8_t*> taken;
  for (int i = 0; i < KPcmMMap::kMaxViews; ++i) taken.push_back(store->MapView(0, 16));
  ASSERT_EQ(store->MapView(0, 16), nullptr);
  ASSERT_TRUE(ReduceEnvelope(*store, 2, 8, 70001, cursor));
  ExpectSame(cursor, viewed, "cursor");
  for (uint8_t* v : taken) store->UnmapView(v);
}

TEST_F(EnvelopeTest, FramesTheStoreLacksAreSilence) {
  // END says 2000 frames, the store holds 1000 of +50.
  KZoEnvelope e = Reduce(1, 8, std::vector<int>(1000, 50), 2000);
  EXPECT_EQ(e.Positive[0][100], 50);
  EXPECT_EQ(e.Positive[0][400], 0);  // frames 1470..1473
  EXPECT_EQ(Filled(e).back(), 271);  // frames 996..999, the last ones held
}

TEST_F(EnvelopeTest, ProgressAndBadFormats) {
  auto store = Store(8, std::vector<int>(544 * 3, 9));
  KZoEnvelope e;
  ProgressLog log;
  ASSERT_TRUE(ReduceEnvelope(*store, 1, 8, 544 * 3, e, &log));
  EXPECT_EQ(log.Titles, std::vector<std::string>({"Caculate ZO waveform"}));
  ASSERT_EQ(log.Bars.size(), 543u);
  EXPECT_EQ(log.Bars.front(), 0);  // after column 0: 1/544
  EXPECT_EQ(log.Bars[5], 1);       // 6/544
  EXPECT_EQ(log.Bars.back(), 99);  // 543/544

  ProgressLog quiet;
  ASSERT_TRUE(ReduceEnvelope(*store, 1, 8, 1, e, &quiet));
  EXPECT_TRUE(quiet.Titles.empty());

  e.Positive[0][3] = 5;
  EXPECT_FALSE(ReduceEnvelope(*store, 3, 8, 500, e));
  EXPECT_FALSE(ReduceEnvelope(*store, 1, 12, 500, e));
  EXPECT_TRUE(Filled(e).empty());
}

}  // namespace
