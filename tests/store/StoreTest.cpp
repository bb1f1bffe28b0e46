// The sample cell against worked values, runs of samples against cells, and the swap-file store: its cursor over
// 64 KB windows, views, writes, copies, shared files and failures (an unusable folder, a full disk, a cut file).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/MappedFaults.h"
#include "store/PcmMMap.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace {

using Format = std::pair<int, int>;  // channels, bytes per sample
constexpr Format kFormats[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};

// Raw bytes of samples of `width` bytes (8-bit raw or 16-bit signed).
std::vector<uint8_t> Bytes(int width, const std::vector<int>& samples) {
  std::vector<uint8_t> raw;
  for (int v : samples)
    for (int k = 0; k < width; ++k) raw.push_back(uint8_t(v >> 8 * k));
  return raw;
}

// `count` raw samples: every 8-bit value, or the 16-bit limits and zero, then a spread.
std::vector<uint8_t> Samples(int width, size_t count) {
  const int special[] = {-32768, -32767, -16385, -1, 0, 1, 255, 256, 16384, 32766, 32767};
  std::vector<int> v(count);
  for (size_t i = 0; i < count; ++i)
    v[i] = width == 1 ? int(i * 97 % 256) : i < std::size(special) ? special[i] : int(i * 7919 % 65536) - 32768;
  return Bytes(width, v);
}

// What cells or runs give for every sample out: the value kept after Store and the raw bytes.
using Outcome = std::pair<std::vector<double>, std::vector<uint8_t>>;

// Cells frame by frame: `step` sets the target from the source decoded from frame `f`.
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

// Worked values: samples of one format scaled by `factor` (Store clips, truncates toward zero and keeps the clipped
// value) or, with factor 0, translated into another format; the raw samples out and the values kept.
TEST(PcmCell, StoreClipsAndConvertFromTranslates) {
  struct Case {
    Format in;
    std::vector<int> samples;
    Format out;
    double factor;
    std::vector<int> raw;
    std::vector<double> kept;  // unless empty
  };
  const Case cases[] = {
      {{2, 1}, {228, 27}, {2, 1}, 2, {255, 0}, {127, -128}},
      {{1, 1}, {127, 255, 0}, {1, 1}, 1.5, {126, 255, 0}, {-1.5, 127, -128}},
      {{2, 2}, {-30000, 30000, -5, 5}, {2, 2}, 1.5, {-32768, 32767, -7, 7}, {-32768, 32767, -7.5, 7.5}},
      {{1, 1}, {0, 128, 255}, {1, 2}, 0, {-32768, 0, 32512}, {}},
      {{1, 2}, {-32768, -1, 0, 255, 256, 32767}, {1, 1}, 0, {0, 127, 128, 128, 129, 255}, {}},
      {{2, 2}, {1000, -3000}, {1, 2}, 0, {-1000}, {}},
      {{2, 1}, {255, 0}, {1, 1}, 0, {127}, {}},
      {{1, 2}, {500}, {2, 2}, 0, {500, 500}, {}},
      {{2, 2}, {256, -512}, {2, 1}, 0, {129, 126}, {}},
      {{2, 2}, {-32767, 32767}, {2, 2}, 0, {-32767, 32767}, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.in.first << "x" << c.in.second << " -> " << c.out.first << "x" << c.out.second
                                    << " times " << c.factor);
    const auto [kept, raw] = ByCells(Bytes(c.in.second, c.samples), c.in, c.out, [&c](auto& s, auto& t, int32_t) {
      c.factor != 0 ? (t = s).Scale(c.factor) : t.ConvertFrom(s);
    });
    EXPECT_EQ(raw, Bytes(c.out.second, c.raw));
    EXPECT_TRUE(c.kept.empty() || kept == c.kept) << testing::PrintToString(kept);
  }
  KPcmCell cell(1, 2), bad(3, 1);
  cell.SetMono16(7);
  cell.Scale(2);
  cell.Add(cell);
  EXPECT_EQ(std::pair(cell.GetMono16(), cell.Value1), std::pair(int16_t(7), 28.0));  // raw changes only on Store
  uint8_t out[4] = {};
  EXPECT_FALSE(bad.Decode(out) || bad.Store() || bad.Encode(out));
}

// The amplifier over several blocks and a part; decoding and translating, and an echo's sums and scaling, for a whole
// block, a part and one frame: the same kept values and bytes as cells give.
TEST(SampleRun, WorksAsCellsFrameByFrame) {
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
      std::vector<double> values(raw.size() / size_t(in.second));
      KSampleRun::Decode(raw.data(), in.second, count, values.data());
      for (Format out : kFormats) {
        std::vector<double> converted(size_t(frames * out.first));
        KSampleRun::Convert(values.data(), in.first, in.second, converted.data(), out.first, out.second, frames);
        EXPECT_EQ(ByRuns(converted, out), ByCells(raw, in, out, [](auto& s, auto& t, int32_t) { t.ConvertFrom(s); }))
            << "to " << out.first << "x" << out.second;
      }
      std::vector<double> sum = values;  // an echo: the value plus a scaled copy, a part scaled again
      KSampleRun::AddScaled(sum.data(), values.data(), count, 0.6);
      KSampleRun::Scale(sum.data(), frames / 2 * in.first, 1.5);
      const Step echo = [frames](const KPcmCell& s, KPcmCell& t, int32_t f) {
        (t = s).Scale(0.6);
        t.Add(s);
        if (f < frames / 2) t.Scale(1.5);
      };
      EXPECT_EQ(ByRuns(sum, in), ByCells(raw, in, in, echo));
    }
  }
}

namespace fs = std::filesystem;
constexpr int32_t kWindow = KPcmMMap::kWindow;

uint8_t At(int64_t i) { return uint8_t(i * 7 + 3); }

class StoreTest : public ::testing::Test, public KCopyProgress {
 protected:
  void CopyPercent(int percent) override { bars_.push_back(percent); }
  // A store in `folder` (the test's own when empty) of `size` bytes At(i).
  std::unique_ptr<KPcmMMap> Made(int32_t size, std::string folder = "") {
    auto store = std::make_unique<KPcmMMap>(folder.empty() ? dir_.Path() : folder);
    EXPECT_TRUE(store->Resize(size));
    uint8_t* view = store->MapView(0, size);
    for (int32_t i = 0; view && i < size; ++i) view[i] = At(i);
    store->UnmapView(view);
    return store;
  }
  // The 8-bit sample at `at` read through the cursor, -1 when refused.
  static int ByteAt(KPcmMMap& store, int32_t at) {
    KPcmCell cell(1, 1);
    return store.Seek(at) && store.ReadNext(cell) ? cell.GetMono8() : -1;
  }
  // The first index from `from` on where the store's bytes differ from At(i), or its size.
  static int32_t PatternUpTo(KPcmMMap& store, int32_t from = 0) {
    const uint8_t* view = store.Size() > 0 ? store.MapView(0, store.Size()) : nullptr;
    int32_t i = from;
    while (view && i < store.Size() && view[i] == At(i)) ++i;
    store.UnmapView(view);
    return i;
  }
  TempDir dir_;
  std::vector<int> bars_;
};

// Frames read (peeked first) and written (poked first) from a seek on: the file's bytes while whole frames lie in it,
// across window ends; past its end, at a frame it cuts and after a refused seek: silence and false.
TEST_F(StoreTest, CursorReadsAndWritesWholeFramesUpToTheEnd) {
  // Size, seek, format and frames read.
  std::vector<std::tuple<int32_t, int32_t, Format, int32_t>> cases = {
      {1000, 999, {1, 1}, 2}, {1000, 1000, {1, 1}, 1}, {1000, -1, {1, 1}, 1}, {5, 0, {2, 2}, 2}};
  for (Format f : kFormats) {
    cases.push_back({2 * kWindow, kWindow - 4, f, 8 / (f.first * f.second)});
    cases.push_back({3 * kWindow + 148, 0, f, (3 * kWindow + 148) / (f.first * f.second) + 1});
  }
  auto frame = [](const KPcmCell& c) {
    return std::tuple(std::vector(c.Raw, c.Raw + c.FrameBytes), c.Value1, c.Value2);
  };
  for (auto [size, seek, format, frames] : cases) {
    SCOPED_TRACE(testing::Message() << size << " bytes from " << seek << ", " << format.first << "x" << format.second);
    auto store = Made(size);
    KPcmMMap copy(dir_.Path());
    const bool inside = seek >= 0 && seek < size;
    ASSERT_TRUE(copy.Resize(size));
    EXPECT_EQ(std::pair(store->Seek(seek), copy.Seek(seek)), std::pair(inside, inside));
    KPcmCell cell(format.first, format.second), peeked = cell, expected = cell;
    int32_t at = std::max(seek, 0);
    for (int32_t f = 0; f < frames; ++f) {
      const bool whole = inside && at + cell.FrameBytes <= size;
      const uint8_t bytes[4] = {At(at), At(at + 1), At(at + 2), At(at + 3)};
      expected.Clear();
      if (whole) expected.Decode(bytes);
      cell.SetMono8(0x11);
      EXPECT_EQ(store->ReadNext(peeked, true), whole) << f;
      ASSERT_EQ(store->ReadNext(cell), whole) << f;
      ASSERT_EQ(frame(cell), frame(expected)) << f;
      ASSERT_EQ(copy.WriteNext(peeked, true) && copy.WriteNext(cell), whole) << f;
      at += whole ? cell.FrameBytes : 0;
    }
    EXPECT_EQ(store->CursorActive(), inside && at < size);
    EXPECT_EQ(PatternUpTo(copy, std::max(seek, 0)), at);
  }
}

// A run reaches to the end of the cursor's window (64 KB past the last seek, or the file's end) and skipping past it
// maps the next; at most four views, none past the end; block writes show at once in windows and views, and one past
// the end is refused whole.
TEST_F(StoreTest, WindowRunsViewsAndBlockWrites) {
  const int32_t size = 2 * kWindow + 100;
  auto store = Made(size);
  int32_t bytes = 1;
  EXPECT_TRUE(store->WindowRun(bytes) == nullptr && bytes == 0);  // inactive
  ASSERT_TRUE(store->Seek(kWindow - 8));
  const uint8_t* run = store->WindowRun(bytes);
  EXPECT_EQ(std::pair(bytes, run[0]), std::pair(kWindow, At(kWindow - 8)));
  store->Skip(8);
  EXPECT_EQ(std::pair(store->WindowRun(bytes), store->CursorPosition()), std::pair(run + 8, kWindow));
  uint8_t* views[4];
  for (int i = 0; i < 4; ++i) ASSERT_NE(views[i] = store->MapView(i * 40000 + 5, 100), nullptr);
  EXPECT_EQ(store->MapView(0, 10), nullptr);
  const std::vector<uint8_t> block(70000, 0x5A);
  ASSERT_TRUE(store->WriteBytes(kWindow / 2, block.data(), int32_t(block.size())));
  EXPECT_EQ(std::tuple(run[8], views[1][99], views[2][0], views[3][0]), std::tuple(0x5A, 0x5A, 0x5A, At(120005)));
  EXPECT_FALSE(store->UnmapView(nullptr) || store->UnmapView(views[0] + 1));
  EXPECT_TRUE(store->UnmapView(views[2]) && !store->UnmapView(views[2]) && store->UnmapView(views[3]));
  EXPECT_EQ(store->MapView(size - 1, 2), nullptr);
  EXPECT_TRUE(store->UnmapView(store->MapView(size - 1, 1)));
  store->Skip(bytes);
  run = store->WindowRun(bytes);
  EXPECT_EQ(std::pair(bytes, run[0]), std::pair(108, At(2 * kWindow - 8)));  // the next window ends with the file
  store->Skip(108);
  EXPECT_EQ(std::pair(store->CursorActive(), store->CursorPosition()), std::pair(false, size));
  EXPECT_FALSE(store->WriteBytes(size - 1, block.data(), 2) || store->Status().Ok);
  EXPECT_FALSE(store->WriteBytes(-1, block.data(), 1));
  EXPECT_EQ(PatternUpTo(*store, kWindow / 2 + 70000), size);
}

// Resize (reserving the disk), SetSize (not) and a copy of a store of the new length (also from another file system,
// through memory; the bar set every 4096 bytes) lengthen or shorten the file, keep the bytes before (a copy: all of
// the source's) and leave the cursor inactive; on a full disk they fail and keep the old length and bytes.
TEST_F(StoreTest, LengthChangesAndCopiesKeepTheBytes) {
  char pattern[] = "/dev/shm/melotrix-test-XXXXXX";  // a file system of its own where there is one
  const std::string elsewhere = access("/dev/shm", W_OK) == 0 && mkdtemp(pattern) ? pattern : dir_.Path();
  for (const char* how : {"Resize", "SetSize", "CopyFrom"}) {
    for (auto [size, full] : {std::pair{4 * kWindow, false}, {16, false}, {150000, true}, {300001, false}}) {
      SCOPED_TRACE(testing::Message() << how << " " << size << (full ? " on a full disk" : ""));
      const bool copy = how[0] == 'C';
      auto store = Made(70000), source = Made(size, size % 2 ? elsewhere : "");
      ASSERT_TRUE(store->Seek(100));
      bars_.clear();
      std::optional<FileSizeLimit> limit;
      if (full) limit.emplace(100000);
      EXPECT_EQ(copy            ? store->CopyFrom(*source, this)
                : how[0] == 'R' ? store->Resize(size)
                                : store->SetSize(size),
                !full);
      limit.reset();
      EXPECT_EQ(std::pair(store->Status().Message.empty(), store->CursorActive()), std::pair(!full, false));
      const int32_t now = full ? 70000 : size;
      EXPECT_EQ(std::pair(store->Size(), fs::file_size(store->GetFileName())), std::pair(now, uintmax_t(now)));
      EXPECT_EQ(PatternUpTo(*store), copy ? now : std::min(now, 70000));
      EXPECT_EQ(ByteAt(*store, now - 1), now > 70000 && !copy ? 0 : At(now - 1));
      EXPECT_FALSE(store->Resize(-1) || store->SetSize(-1));
      std::vector<int> bars;  // a copy's: at every 4096 bytes and at the end
      for (int64_t done = 4096; copy && done < size + 4096; done += 4096)
        bars.push_back(int(std::min<int64_t>(done, size) * 100 / size));
      EXPECT_EQ(full ? bars : bars_, bars);  // a failed copy's bar is left unchecked
    }
  }
  std::error_code ignored;
  if (elsewhere != dir_.Path()) fs::remove_all(elsewhere, ignored);
}

// Stores that live at once never share a name; each is a swap file's name in the store's folder, and only such names
// are. A folder it cannot use gives a store that refuses everything and names the folder.
TEST_F(StoreTest, FilesHaveUniqueSwapNamesOrNoneWhereTheFolderIsUnusable) {
  std::vector<std::unique_ptr<KPcmMMap>> stores;
  std::set<std::string> names;
  for (int i = 0; i < 300; ++i) {
    const KPcmMMap& store = *stores.emplace_back(std::make_unique<KPcmMMap>(dir_.Path()));
    EXPECT_TRUE(KPcmMMap::IsSwapFileName(store.BaseName()) && store.GetFileName() == dir_ / store.BaseName());
    names.insert(store.GetFileName());
  }
  EXPECT_EQ(names.size(), stores.size());
  for (const char* name : {"SY$00A1B2C0", "SY$00A1.B2C0", "SY$00a1b.2c0", "SY$00G1B.2C0", "SY$00A1B.2C0~", ""})
    EXPECT_FALSE(KPcmMMap::IsSwapFileName(name)) << name;
  std::fclose(std::fopen((dir_ / "plain").c_str(), "w"));  // a file where the folder should be: refused even for root
  for (const std::string& folder : {dir_ / "no-such-folder", dir_ / "plain"}) {
    KPcmMMap unusable(folder);
    EXPECT_FALSE(unusable.Usable() || unusable.Resize(16) || unusable.Seek(0) || unusable.MapView(0, 1) ||
                 unusable.CopyFrom(*stores[0]));
    EXPECT_NE(unusable.Status().Message.find(folder), std::string::npos) << unusable.Status().Message;
  }
}

// Stores on one file read it at cursors of their own; the file goes with the last, and one on the open file reads it
// when its name is gone or reused.
TEST_F(StoreTest, ASharedFileLivesUntilItsLastStore) {
  auto first = Made(300);
  const std::string path = first->GetFileName();
  auto second = std::make_unique<KPcmMMap>(KPcmMMap::AtPath{}, path);
  auto third = std::make_unique<KPcmMMap>(KPcmMMap::SameFileAs{}, *first);
  KPcmCell a(1, 1), b(1, 1);
  ASSERT_TRUE(second->Seek(10) && third->Seek(20) && second->ReadNext(a) && third->ReadNext(b));
  EXPECT_EQ(std::tuple(a.GetMono8(), b.GetMono8(), second->Size()), std::tuple(At(10), At(20), 300));
  first.reset();
  second.reset();
  ASSERT_TRUE(fs::exists(path));
  fs::remove(path);
  std::fclose(std::fopen(path.c_str(), "wb"));
  std::ifstream reopened(third->OpenFilePath(), std::ios::binary);
  EXPECT_EQ(std::pair(reopened.get(), ByteAt(*third, 3)), std::pair(int(At(0)), int(At(3))));
  third.reset();
  EXPECT_FALSE(fs::exists(path));
}

// Mapped bytes past a cut another program made read as zeros (and take writes), the fault is counted, and the store
// notices the cut and gives the length back.
TEST_F(StoreTest, ACutFileReadsZerosAndIsGivenItsLengthBack) {
  platform::CatchMappedFileFaults();
  auto store = Made(3 * kWindow);
  uint8_t* view = store->MapView(0, 3 * kWindow);
  ASSERT_TRUE(view && store->Intact());
  ASSERT_EQ(truncate(store->GetFileName().c_str(), 100), 0);
  const platform::KMappedFaultWatch watch;
  EXPECT_EQ(std::pair(view[50], view[2 * kWindow]), std::pair(At(50), uint8_t(0)));
  view[2 * kWindow + 1] = 9;
  EXPECT_TRUE(watch.Faulted());
  EXPECT_FALSE(store->Intact());
  EXPECT_NE(store->Status().Message.find(store->GetFileName() + " was cut short by another program"),
            std::string::npos);
  EXPECT_EQ(fs::file_size(store->GetFileName()), 3u * kWindow);
  EXPECT_TRUE(store->Intact());
}

}  // namespace
