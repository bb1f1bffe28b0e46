// The store's run access and block writes against its frame cursor, copies
// across file systems, and a swap file cut short or unnamed by another
// program while it is mapped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/MappedFaults.h"
#include "store/PcmMMap.h"
#include "support/TempDir.h"

namespace {

constexpr int32_t kWindow = KPcmMMap::kWindow;

uint8_t At(int32_t i) { return uint8_t(i * 7 + 3); }

class StoreRunTest : public ::testing::Test {
 protected:
  // A store of `size` bytes of the pattern At(i).
  static void Pattern(KPcmMMap& store, int32_t size) {
    ASSERT_TRUE(store.Resize(size));
    uint8_t* view = store.MapView(0, size);
    ASSERT_NE(view, nullptr);
    for (int32_t i = 0; i < size; ++i) view[i] = At(i);
    store.UnmapView(view);
  }
  // The 8-bit sample at `at` read through the cursor (false when refused).
  static int ByteAt(KPcmMMap& store, int32_t at) {
    KPcmCell cell(1, 1);
    return store.Seek(at) && store.ReadNext(cell) ? cell.GetMono8() : -1;
  }
  TempDir dir_;
  KPcmMMap store_{dir_.Path()};
};

// A run reaches to the end of the cursor's window, 64 KB past the last seek
// or the end of the file; skipping past it maps the next window.
TEST_F(StoreRunTest, WindowRunsAndSkipFollowTheCursor) {
  Pattern(store_, 2 * kWindow + 100);
  int32_t bytes = 1;
  EXPECT_EQ(store_.WindowRun(bytes), nullptr);  // inactive
  EXPECT_EQ(bytes, 0);
  ASSERT_TRUE(store_.Seek(kWindow - 8));
  const uint8_t* run = store_.WindowRun(bytes);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(bytes, kWindow);
  EXPECT_EQ(run[0], At(kWindow - 8));
  store_.Skip(8);
  EXPECT_EQ(store_.CursorPosition(), kWindow);
  EXPECT_EQ(store_.WindowRun(bytes), run + 8);
  EXPECT_EQ(bytes, kWindow - 8);
  store_.Skip(bytes);
  run = store_.WindowRun(bytes);
  EXPECT_EQ(bytes, 108);  // the next window ends with the file
  EXPECT_EQ(run[0], At(2 * kWindow - 8));
  store_.Skip(108);
  EXPECT_FALSE(store_.CursorActive());
  EXPECT_EQ(store_.CursorPosition(), 2 * kWindow + 100);
}

// Block writes show at once in the cursor's window and in views, writes past
// the end are refused whole; SetSize lengthens with zeros and shortens.
TEST_F(StoreRunTest, WriteBytesAndSetSize) {
  Pattern(store_, 3 * kWindow);
  ASSERT_TRUE(store_.Seek(kWindow + 10));
  uint8_t* view = store_.MapView(kWindow, 100);
  ASSERT_NE(view, nullptr);
  const std::vector<uint8_t> block(70000, 0x5A);
  ASSERT_TRUE(store_.WriteBytes(kWindow / 2, block.data(), int32_t(block.size())));
  int32_t bytes = 0;
  EXPECT_EQ(store_.WindowRun(bytes)[0], 0x5A);
  EXPECT_EQ(view[99], 0x5A);
  store_.UnmapView(view);
  EXPECT_EQ(ByteAt(store_, kWindow / 2 + 70000), At(kWindow / 2 + 70000));
  EXPECT_FALSE(store_.WriteBytes(3 * kWindow - 1, block.data(), 2));
  EXPECT_FALSE(store_.Status().Ok);
  EXPECT_FALSE(store_.WriteBytes(-1, block.data(), 1));
  ASSERT_TRUE(store_.SetSize(4 * kWindow));
  EXPECT_EQ(ByteAt(store_, 3 * kWindow - 1), At(3 * kWindow - 1));
  EXPECT_EQ(std::filesystem::file_size(store_.GetFileName()), 4u * kWindow);
  EXPECT_EQ(ByteAt(store_, 3 * kWindow), 0);
  ASSERT_TRUE(store_.SetSize(16));
  EXPECT_EQ(store_.Size(), 16);
  EXPECT_FALSE(store_.SetSize(-1));
}

// A copy between two file systems cannot be made in the kernel and goes
// through memory: the same bytes and the same bar, every 4096 bytes.
TEST_F(StoreRunTest, CopyFromAnotherFileSystemAndItsBar) {
  struct Bars : KCopyProgress {
    std::vector<int> seen;
    void CopyPercent(int p) override { seen.push_back(p); }
  };
  char pattern[] = "/dev/shm/melotrix-test-XXXXXX";  // a file system of its own where there is one
  const std::string elsewhere = access("/dev/shm", W_OK) == 0 && mkdtemp(pattern) ? pattern : dir_.Path();
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
    const uint8_t* copied = target.MapView(0, size);
    ASSERT_NE(copied, nullptr);
    for (int32_t i = 0; i < size; ++i) ASSERT_EQ(copied[i], At(i)) << i;
  }
  std::error_code ignored;
  if (elsewhere != dir_.Path()) std::filesystem::remove_all(elsewhere, ignored);
}

// The access past the cut reads zeros instead of killing the program, the
// fault is counted, and the store notices the cut and gives the length back.
TEST_F(StoreRunTest, ACutFileReadsZerosAndIsGivenItsLengthBack) {
  platform::CatchMappedFileFaults();
  ASSERT_TRUE(store_.Resize(3 * 65536));
  uint8_t* view = store_.MapView(0, 3 * 65536);
  ASSERT_NE(view, nullptr);
  std::fill(view, view + 3 * 65536, uint8_t(7));
  EXPECT_TRUE(store_.Intact());
  ASSERT_EQ(truncate(store_.GetFileName().c_str(), 100), 0);
  const uint64_t before = platform::MappedFileFaults();
  EXPECT_EQ(view[50], 7);
  EXPECT_EQ(view[2 * 65536], 0);  // past the cut: a page of zeros, not SIGBUS
  view[2 * 65536 + 1] = 9;        // and writable
  EXPECT_GT(platform::MappedFileFaults(), before);
  store_.UnmapView(view);
  EXPECT_FALSE(store_.Intact());
  EXPECT_NE(store_.Status().Message.find(store_.GetFileName() + " was cut short by another program"),
            std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(store_.GetFileName()), 3u * 65536);
  EXPECT_TRUE(store_.Intact());
}

// A second store on the same open file keeps reading it when its name is
// gone, also when someone else makes the name again.
TEST_F(StoreRunTest, ASecondStoreOnTheOpenFileOutlivesItsName) {
  Pattern(store_, 4);
  const std::string name = store_.GetFileName();
  std::filesystem::remove(name);
  KPcmMMap second(KPcmMMap::SameFileAs{}, store_);
  ASSERT_TRUE(second.Usable());
  EXPECT_EQ(second.Size(), 4);
  EXPECT_EQ(ByteAt(second, 2), At(2));
  std::fclose(std::fopen(name.c_str(), "wb"));
  EXPECT_EQ(ByteAt(second, 3), At(3));
  std::FILE* reopened = std::fopen(store_.OpenFilePath().c_str(), "rb");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(std::fgetc(reopened), At(0));
  std::fclose(reopened);
}

}  // namespace
