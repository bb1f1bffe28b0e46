// The swap-file store: its frame cursor over 64 KB windows, raw views,
// block writes, copies and shared files, and its failures: a folder it
// cannot use, a full disk, a file cut short or unnamed by another program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "platform/MappedFaults.h"
#include "store/PcmMMap.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
constexpr int32_t kWindow = KPcmMMap::kWindow;

uint8_t At(int64_t i) { return uint8_t(i * 7 + 3); }

class StoreTest : public ::testing::Test {
 protected:
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
  // A cell's raw frame and values.
  static auto Frame(const KPcmCell& cell) {
    return std::tuple(std::vector(cell.Raw, cell.Raw + cell.FrameBytes), cell.Value1, cell.Value2);
  }
  // The first index from `from` where the store's bytes differ from At(i), or its size.
  static int32_t PatternUpTo(KPcmMMap& store, int32_t from = 0) {
    const uint8_t* view = store.Size() > 0 ? store.MapView(0, store.Size()) : nullptr;
    int32_t i = from;
    while (view && i < store.Size() && view[i] == At(i)) ++i;
    store.UnmapView(view);
    return i;
  }
  TempDir dir_;
};

// Frames read and written from a seek on: the file's bytes while whole
// frames lie in it, across window ends; past its end, at a frame it cuts and
// at a refused seek: silence and false. Peeks and pokes do not move.
TEST_F(StoreTest, CursorReadsAndWritesWholeFramesUpToTheEnd) {
  struct Case {
    int32_t size, seek;
    int channels, width;
    int32_t frames;
  };
  std::vector<Case> cases = {{1000, 999, 1, 1, 2},
                             {1000, 1000, 1, 1, 1},
                             {1000, -1, 1, 1, 1},
                             {5, 0, 2, 2, 2},
                             {2 * kWindow, kWindow - 4, 2, 2, 2}};
  for (auto [channels, width] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}})
    cases.push_back({3 * kWindow + 148, 0, channels, width, (3 * kWindow + 148) / (channels * width) + 1});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes from " << c.seek << ", " << c.channels << "x" << c.width);
    auto store = Made(c.size);
    KPcmMMap copy(dir_.Path());
    ASSERT_TRUE(copy.Resize(c.size));
    const bool inside = c.seek >= 0 && c.seek < c.size;
    EXPECT_EQ(store->Seek(c.seek), inside);
    EXPECT_EQ(copy.Seek(c.seek), inside);
    KPcmCell cell(c.channels, c.width), peeked(c.channels, c.width), expected(c.channels, c.width);
    int32_t at = std::max(c.seek, 0);
    for (int32_t f = 0; f < c.frames; ++f) {
      const bool whole = inside && at + cell.FrameBytes <= c.size;
      const uint8_t bytes[4] = {At(at), At(at + 1), At(at + 2), At(at + 3)};
      expected.Clear();
      if (whole) expected.Decode(bytes);
      cell.SetMono8(0x11);
      EXPECT_EQ(store->ReadNext(peeked, true), whole) << f;
      ASSERT_EQ(store->ReadNext(cell), whole) << f;
      ASSERT_EQ(Frame(cell), Frame(expected)) << f;
      ASSERT_EQ(copy.WriteNext(peeked, true) && copy.WriteNext(cell), whole) << f;
      at += whole ? cell.FrameBytes : 0;
    }
    EXPECT_EQ(store->CursorActive(), inside && at < c.size);
    EXPECT_EQ(PatternUpTo(copy, std::max(c.seek, 0)), at);
  }
}

// A run reaches to the end of the cursor's window, 64 KB past the last seek
// or the end of the file, and skipping past it maps the next window; block
// writes show at once in the window and in views, and one that would reach
// past the end is refused whole.
TEST_F(StoreTest, WindowRunsSkipsAndBlockWrites) {
  auto store = Made(2 * kWindow + 100);
  int32_t bytes = 1;
  EXPECT_EQ(store->WindowRun(bytes), nullptr);  // inactive
  EXPECT_EQ(bytes, 0);
  ASSERT_TRUE(store->Seek(kWindow - 8));
  const uint8_t* run = store->WindowRun(bytes);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(std::pair(bytes, run[0]), std::pair(kWindow, At(kWindow - 8)));
  store->Skip(8);
  EXPECT_EQ(store->CursorPosition(), kWindow);
  EXPECT_EQ(store->WindowRun(bytes), run + 8);
  EXPECT_EQ(bytes, kWindow - 8);
  uint8_t* view = store->MapView(kWindow, 100);
  ASSERT_NE(view, nullptr);
  const std::vector<uint8_t> block(70000, 0x5A);
  ASSERT_TRUE(store->WriteBytes(kWindow / 2, block.data(), int32_t(block.size())));
  EXPECT_EQ(std::pair(run[8], view[99]), std::pair(uint8_t(0x5A), uint8_t(0x5A)));
  store->Skip(bytes);
  run = store->WindowRun(bytes);
  EXPECT_EQ(std::pair(bytes, run[0]), std::pair(108, At(2 * kWindow - 8)));  // the next window ends with the file
  store->Skip(108);
  EXPECT_FALSE(store->CursorActive());
  EXPECT_EQ(store->CursorPosition(), 2 * kWindow + 100);
  EXPECT_FALSE(store->WriteBytes(2 * kWindow + 99, block.data(), 2));
  EXPECT_FALSE(store->Status().Ok);
  EXPECT_FALSE(store->WriteBytes(-1, block.data(), 1));
  EXPECT_EQ(PatternUpTo(*store, kWindow / 2 + 70000), 2 * kWindow + 100);
}

// Resize (which reserves the disk) and SetSize (which does not) lengthen
// with zeros or shorten, keep the bytes before and leave the cursor
// inactive; on a full disk they fail and keep the old length and bytes.
TEST_F(StoreTest, LengthChangesKeepTheBytesBefore) {
  for (bool reserve : {true, false}) {
    for (auto [size, full] : {std::pair{4 * kWindow, false}, {16, false}, {150000, true}}) {
      SCOPED_TRACE(testing::Message() << (reserve ? "Resize " : "SetSize ") << size << (full ? " on a full disk" : ""));
      auto store = Made(70000);
      ASSERT_TRUE(store->Seek(100));
      std::optional<FileSizeLimit> limit;
      if (full) limit.emplace(100000);
      EXPECT_EQ(reserve ? store->Resize(size) : store->SetSize(size), !full);
      limit.reset();
      EXPECT_EQ(store->Status().Message.empty(), !full);
      const int32_t now = full ? 70000 : size;
      EXPECT_FALSE(store->CursorActive());
      EXPECT_EQ(std::pair(store->Size(), fs::file_size(store->GetFileName())), std::pair(now, uintmax_t(now)));
      EXPECT_EQ(PatternUpTo(*store), std::min(now, 70000));
      EXPECT_EQ(ByteAt(*store, now - 1), now > 70000 ? 0 : At(now - 1));
      EXPECT_FALSE(reserve ? store->Resize(-1) : store->SetSize(-1));
    }
  }
}

// At most four raw views at a time, each released once, none past the end.
TEST_F(StoreTest, AtMostFourRawViews) {
  auto store = Made(4 * kWindow);
  uint8_t* views[4];
  for (int i = 0; i < 4; ++i) {
    views[i] = store->MapView(i * kWindow + 5, 100);
    ASSERT_NE(views[i], nullptr);
    EXPECT_EQ(views[i][99], At(i * kWindow + 104));
  }
  EXPECT_EQ(store->MapView(0, 10), nullptr);
  EXPECT_FALSE(store->UnmapView(nullptr) || store->UnmapView(views[0] + 1));
  EXPECT_TRUE(store->UnmapView(views[2]));
  EXPECT_FALSE(store->UnmapView(views[2]));
  EXPECT_NE(store->MapView(0, 10), nullptr);
  store->UnmapView(views[3]);
  EXPECT_EQ(store->MapView(4 * kWindow - 1, 2), nullptr);
  EXPECT_NE(store->MapView(4 * kWindow - 1, 1), nullptr);
}

// A copy makes the target the source's exact copy, longer or shorter, also
// from another file system (through memory), the bar set every 4096 bytes.
TEST_F(StoreTest, CopyFromMakesAnExactCopyWithABarPerStep) {
  struct Bars : KCopyProgress {
    std::vector<int> seen;
    void CopyPercent(int p) override { seen.push_back(p); }
  };
  char pattern[] = "/dev/shm/melotrix-test-XXXXXX";  // a file system of its own where there is one
  const std::string elsewhere = access("/dev/shm", W_OK) == 0 && mkdtemp(pattern) ? pattern : dir_.Path();
  for (auto [size, before, folder] :
       {std::tuple{10000, 100, dir_.Path()}, {100, 10000, dir_.Path()}, {300001, 16, elsewhere}}) {
    SCOPED_TRACE(testing::Message() << size << " bytes from " << folder);
    auto source = Made(size, folder);
    KPcmMMap target(dir_.Path());
    ASSERT_TRUE(target.Resize(before));
    Bars bars;
    ASSERT_TRUE(target.CopyFrom(*source, &bars));
    std::vector<int> expected;
    for (int64_t done = 4096; done < size; done += 4096) expected.push_back(int(done * 100 / size));
    expected.push_back(100);
    EXPECT_EQ(bars.seen, expected);
    EXPECT_EQ(fs::file_size(target.GetFileName()), uintmax_t(size));
    EXPECT_EQ(PatternUpTo(target), size);
  }
  std::error_code ignored;
  if (elsewhere != dir_.Path()) fs::remove_all(elsewhere, ignored);
}

// Stores that live at once never share a name; each is a swap file's name
// in the store's folder, and only such names are.
TEST_F(StoreTest, NamesAreUniqueSwapFileNames) {
  std::vector<std::unique_ptr<KPcmMMap>> stores;
  std::set<std::string> names;
  for (int i = 0; i < 300; ++i) {
    stores.push_back(std::make_unique<KPcmMMap>(dir_.Path()));
    const KPcmMMap& store = *stores.back();
    EXPECT_TRUE(KPcmMMap::IsSwapFileName(store.BaseName()) && store.GetFileName() == dir_ / store.BaseName());
    names.insert(store.GetFileName());
  }
  EXPECT_EQ(names.size(), stores.size());
  for (const char* name : {"SY$00A1B.2C0", "SY$FFFFF.FFF"}) EXPECT_TRUE(KPcmMMap::IsSwapFileName(name)) << name;
  for (const char* name : {"SY$00A1B2C0", "SY$00A1.B2C0", "SY$00a1b.2c0", "SY$00G1B.2C0", "SY$00A1B.2C0~",
                           "XY$00A1B.2C0", "", "../SY$00A.1B2"})
    EXPECT_FALSE(KPcmMMap::IsSwapFileName(name)) << name;
}

// Stores on one file read it at cursors of their own; the file goes with
// the last of them, and one on the open file keeps reading it when its name
// is gone or names another file.
TEST_F(StoreTest, ASharedFileLivesUntilItsLastStore) {
  auto first = Made(300);
  const std::string path = first->GetFileName();
  auto second = std::make_unique<KPcmMMap>(KPcmMMap::AtPath{}, path);
  auto third = std::make_unique<KPcmMMap>(KPcmMMap::SameFileAs{}, *first);
  KPcmCell a(1, 1), b(1, 1);
  ASSERT_TRUE(second->Seek(10) && third->Seek(20) && second->ReadNext(a) && third->ReadNext(b));
  EXPECT_EQ(std::pair(a.GetMono8(), b.GetMono8()), std::pair(At(10), At(20)));
  EXPECT_EQ(second->Size(), 300);
  first.reset();
  second.reset();
  ASSERT_TRUE(fs::exists(path));
  fs::remove(path);
  std::fclose(std::fopen(path.c_str(), "wb"));
  EXPECT_EQ(ByteAt(*third, 3), At(3));
  std::FILE* reopened = std::fopen(third->OpenFilePath().c_str(), "rb");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(std::fgetc(reopened), At(0));
  std::fclose(reopened);
  third.reset();
  EXPECT_FALSE(fs::exists(path));
}

// A folder it cannot use gives a store that refuses everything and names
// the folder; a copy that meets a full disk keeps the old length and bytes.
TEST_F(StoreTest, FailuresLeaveTheStoreAsItWas) {
  std::fclose(std::fopen((dir_ / "plain").c_str(), "w"));  // a file where the folder should be: refused even for root
  auto store = Made(5000), big = Made(200000);
  for (const std::string& folder : {dir_ / "no-such-folder", dir_ / "plain"}) {
    KPcmMMap unusable(folder);
    EXPECT_FALSE(unusable.Usable() || unusable.Resize(16) || unusable.Seek(0) || unusable.MapView(0, 1) ||
                 unusable.CopyFrom(*store));
    EXPECT_NE(unusable.Status().Message.find(folder), std::string::npos) << unusable.Status().Message;
  }
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(store->CopyFrom(*big));
  }
  EXPECT_EQ(std::pair(store->Size(), fs::file_size(store->GetFileName())), std::pair(5000, uintmax_t(5000)));
  EXPECT_EQ(PatternUpTo(*store), 5000);
}

// Mapped bytes past a cut another program made read as zeros instead of
// killing the program, the fault is counted, and the store notices the cut
// and gives the file its length back.
TEST_F(StoreTest, ACutFileReadsZerosAndIsGivenItsLengthBack) {
  platform::CatchMappedFileFaults();
  auto store = Made(3 * kWindow);
  uint8_t* view = store->MapView(0, 3 * kWindow);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(store->Intact());
  ASSERT_EQ(truncate(store->GetFileName().c_str(), 100), 0);
  const platform::KMappedFaultWatch watch;
  EXPECT_EQ(std::pair(view[50], view[2 * kWindow]), std::pair(At(50), uint8_t(0)));
  view[2 * kWindow + 1] = 9;  // and writable
  EXPECT_TRUE(watch.Faulted());
  EXPECT_FALSE(store->Intact());
  EXPECT_NE(store->Status().Message.find(store->GetFileName() + " was cut short by another program"),
            std::string::npos);
  EXPECT_EQ(fs::file_size(store->GetFileName()), 3u * kWindow);
  EXPECT_TRUE(store->Intact());
}

}  // namespace
