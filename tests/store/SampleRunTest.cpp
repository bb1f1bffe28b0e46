// The runs of samples against cells frame by frame, in every sample format
// and across the clipping limits, and the store's run access and block
// writes against its frame cursor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "store/PcmMMap.h"
#include "support/TempDir.h"

namespace {

constexpr std::pair<int, int> kFormats[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};

// Raw samples of `width` bytes: every 8-bit value, or the 16-bit extremes,
// zero and neighbours, then a spread of others; `count` of them.
std::vector<uint8_t> Samples(int width, size_t count) {
  std::vector<uint8_t> raw;
  const int special[] = {-32768, -32767, -16385, -1, 0, 1, 255, 256, 16384, 32766, 32767};
  for (size_t i = 0; i < count; ++i) {
    int v = width == 1 ? int(i * 97 % 256) : i < std::size(special) ? special[i] : int(i * 7919 % 65536) - 32768;
    raw.push_back(uint8_t(v & 0xFF));
    if (width == 2) raw.push_back(uint8_t((v >> 8) & 0xFF));
  }
  return raw;
}

// What cells make of `raw` (frames of one format): change(cell, frame)
// between decoding and storing.
template <class Change>
std::vector<uint8_t> ByCells(int channels, int width, std::vector<uint8_t> raw, Change change) {
  KPcmCell cell(channels, width);
  for (size_t at = 0, f = 0; at < raw.size(); at += size_t(cell.FrameBytes), ++f) {
    EXPECT_TRUE(cell.Decode(&raw[at]));
    change(cell, f);
    cell.Store();
    cell.Encode(&raw[at]);
  }
  return raw;
}

// Values past every limit of both widths, halves either side of them, and
// negative zero: each stored as a cell stores it, and clipped to the value a
// cell keeps.
TEST(SampleRun, EncodeClipsAndTruncatesAsTheCell) {
  std::vector<double> values = {-1e9,   -40000, -32768.9, -32768.5, -32768,  -32767.5, -128.9, -128.5, -128,
                                -127.9, -2.7,   -0.5,     -0.0,     0.0,     0.49,     2.7,    126.5,  127,
                                127.5,  128,    32766.5,  32767,    32767.2, 32768,    40000,  1e9};
  while (values.size() < 3 * KSampleRun::kBlock) values.push_back((double(values.size()) - 400) * 97.31);
  for (int width : {1, 2}) {
    // A whole block, a block and a part, and a part alone.
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

TEST(SampleRun, DecodeScaleAndSumsAsTheCell) {
  for (int width : {1, 2}) {
    const std::vector<uint8_t> raw = Samples(width, KSampleRun::kBlock);
    double values[KSampleRun::kBlock], sum[KSampleRun::kBlock] = {};
    KSampleRun::Decode(raw.data(), width, KSampleRun::kBlock, values);
    KPcmCell cell(1, width);
    for (int i = 0; i < KSampleRun::kBlock; ++i) {
      ASSERT_TRUE(cell.Decode(&raw[size_t(i * width)]));
      ASSERT_EQ(values[i], cell.Value1) << i;
    }
    // An echo's sum: a silent cell, then each scaled cell added in turn.
    for (double gain : {1.0, 0.6, 0.36, 0.216}) KSampleRun::AddScaled(sum, values, KSampleRun::kBlock, gain);
    KSampleRun::Scale(sum, 100, 1.5);  // and part of a block scaled
    for (int i = 0; i < KSampleRun::kBlock; ++i) {
      KPcmCell total(1, width), echo(1, width);
      for (double gain : {1.0, 0.6, 0.36, 0.216}) {
        echo.Decode(&raw[size_t(i * width)]);
        echo.Scale(gain);
        total.Add(echo);
      }
      if (i < 100) total.Scale(1.5);
      ASSERT_EQ(sum[i], total.Value1) << i;
    }
  }
}

// The amplifier's runs over several blocks and a part, factors that clip.
TEST(SampleRun, ScaleRawAsTheCells) {
  for (auto [channels, width] : kFormats) {
    for (double factor : {1.5, 9.99, 0.01, 0.5}) {
      const std::vector<uint8_t> raw = Samples(width, size_t(channels) * 1001);
      std::vector<uint8_t> out(raw.size());
      KSampleRun::ScaleRaw(raw.data(), out.data(), int64_t(raw.size()) / width, width, factor);
      EXPECT_EQ(out, ByCells(channels, width, raw, [factor](KPcmCell& c, size_t) { c.Scale(factor); }))
          << channels << "ch " << width * 8 << "bit x" << factor;
    }
  }
}

// Every translation between two of the four formats, a whole block of
// frames and a part.
TEST(SampleRun, ConvertAsConvertFrom) {
  for (auto [inChannels, inWidth] : kFormats) {
    for (auto [outChannels, outWidth] : kFormats) {
      for (int32_t frames : {KSampleRun::kBlock / 2, 77}) {
        SCOPED_TRACE(testing::Message() << inChannels << "x" << inWidth << " -> " << outChannels << "x" << outWidth
                                        << ", " << frames << " frames");
        const std::vector<uint8_t> raw = Samples(inWidth, size_t(frames * inChannels));
        double in[KSampleRun::kBlock], converted[KSampleRun::kBlock];
        KSampleRun::Decode(raw.data(), inWidth, frames * inChannels, in);
        KSampleRun::Convert(in, inChannels, inWidth, converted, outChannels, outWidth, frames);
        std::vector<uint8_t> out(size_t(frames * outChannels * outWidth)), expected(out.size());
        KSampleRun::Encode(converted, outWidth, frames * outChannels, out.data());
        KPcmCell source(inChannels, inWidth), target(outChannels, outWidth);
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

class StoreRunTest : public ::testing::Test {
 protected:
  // A store of `size` bytes of the pattern i * 7 + 3.
  static void Pattern(KPcmMMap& store, int32_t size) {
    ASSERT_TRUE(store.Resize(size));
    uint8_t* view = store.MapView(0, size);
    ASSERT_NE(view, nullptr);
    for (int32_t i = 0; i < size; ++i) view[i] = uint8_t(i * 7 + 3);
    store.UnmapView(view);
  }
  TempDir dir_;
};

// A run reaches to the end of the cursor's window, 64 KB past the last seek
// or the end of the file; skipping past it maps the next window, as reading
// frame by frame would.
TEST_F(StoreRunTest, WindowRunsAndSkipFollowTheCursor) {
  KPcmMMap store(dir_.Path());
  const int32_t size = 2 * KPcmMMap::kWindow + 100;
  Pattern(store, size);
  int32_t bytes = 1;
  EXPECT_EQ(store.WindowRun(bytes), nullptr);  // inactive
  EXPECT_EQ(bytes, 0);
  ASSERT_TRUE(store.Seek(KPcmMMap::kWindow - 8));
  const uint8_t* run = store.WindowRun(bytes);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(bytes, KPcmMMap::kWindow);
  EXPECT_EQ(run[0], uint8_t((KPcmMMap::kWindow - 8) * 7 + 3));
  store.Skip(8);
  EXPECT_EQ(store.CursorPosition(), KPcmMMap::kWindow);
  EXPECT_EQ(store.WindowRun(bytes), run + 8);
  EXPECT_EQ(bytes, KPcmMMap::kWindow - 8);
  store.Skip(bytes);
  run = store.WindowRun(bytes);
  EXPECT_EQ(bytes, 108);  // the next window ends with the file
  EXPECT_EQ(run[0], uint8_t((2 * KPcmMMap::kWindow - 8) * 7 + 3));
  store.Skip(108);
  EXPECT_FALSE(store.CursorActive());
  EXPECT_EQ(store.CursorPosition(), size);
}

// Block writes land in the file and show at once in the cursor's window and
// in views; writes past the end are refused whole.
TEST_F(StoreRunTest, WriteBytesShowInWindowsAndViews) {
  KPcmMMap store(dir_.Path());
  Pattern(store, 3 * KPcmMMap::kWindow);
  ASSERT_TRUE(store.Seek(KPcmMMap::kWindow + 10));
  uint8_t* view = store.MapView(KPcmMMap::kWindow, 100);
  ASSERT_NE(view, nullptr);
  const std::vector<uint8_t> block(70000, 0x5A);
  ASSERT_TRUE(store.WriteBytes(KPcmMMap::kWindow / 2, block.data(), int32_t(block.size())));
  int32_t bytes = 0;
  EXPECT_EQ(store.WindowRun(bytes)[0], 0x5A);
  EXPECT_EQ(view[99], 0x5A);
  KPcmCell cell(1, 1);
  ASSERT_TRUE(store.Seek(KPcmMMap::kWindow / 2 + 70000));
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), uint8_t((KPcmMMap::kWindow / 2 + 70000) * 7 + 3));  // the first byte after it
  EXPECT_FALSE(store.WriteBytes(3 * KPcmMMap::kWindow - 1, block.data(), 2));
  EXPECT_FALSE(store.Status().Ok);
  EXPECT_FALSE(store.WriteBytes(-1, block.data(), 1));
  ASSERT_TRUE(store.Seek(3 * KPcmMMap::kWindow - 1));
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), uint8_t((3 * KPcmMMap::kWindow - 1) * 7 + 3));
}

// SetSize gives the length and zero bytes like Resize, without a reservation.
TEST_F(StoreRunTest, SetSizeLengthensAndShortens) {
  KPcmMMap store(dir_.Path());
  Pattern(store, 1000);
  ASSERT_TRUE(store.SetSize(200000));
  EXPECT_EQ(std::filesystem::file_size(store.GetFileName()), 200000u);
  KPcmCell cell(1, 1);
  ASSERT_TRUE(store.Seek(999));
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), uint8_t(999 * 7 + 3));
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), 0);
  ASSERT_TRUE(store.SetSize(16));
  EXPECT_EQ(store.Size(), 16);
  EXPECT_FALSE(store.SetSize(-1));
}

// A copy between two file systems cannot be made in the kernel and goes
// through memory: the same bytes and the same bar, every 4096 bytes.
TEST_F(StoreRunTest, CopyFromAnotherFileSystemAndItsBar) {
  struct Bars : KCopyProgress {
    std::vector<int> seen;
    void CopyPercent(int p) override { seen.push_back(p); }
  };
  TempDir memory;  // in /dev/shm where it is a file system of its own, else beside the other
  std::string elsewhere = memory.Path();
  char pattern[] = "/dev/shm/melotrix-test-XXXXXX";
  if (access("/dev/shm", W_OK) == 0 && mkdtemp(pattern)) elsewhere = pattern;
  const int32_t size = 300001;
  for (const std::string& folder : {dir_.Path(), elsewhere}) {
    SCOPED_TRACE(folder);
    KPcmMMap source(folder), target(dir_.Path());
    Pattern(source, size);
    Bars bars;
    ASSERT_TRUE(target.CopyFrom(source, &bars));
    std::vector<int> expected;
    for (int64_t done = 4096; done < size; done += 4096) expected.push_back(int(done * 100 / size));
    expected.push_back(100);
    EXPECT_EQ(bars.seen, expected);
    uint8_t* a = source.MapView(0, size);
    uint8_t* b = target.MapView(0, size);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(0, memcmp(a, b, size_t(size)));
  }
  std::error_code ignored;
  if (elsewhere != memory.Path()) std::filesystem::remove_all(elsewhere, ignored);
}

}  // namespace
