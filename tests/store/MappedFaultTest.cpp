// A swap file cut short by another program while it is mapped: the access
// reads zeros instead of killing the program, the fault is counted, and the
// store notices the cut and gives the file its length back. A second store
// on the same open file keeps reading it when its name is gone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/MappedFaults.h"
#include "store/PcmMMap.h"
#include "support/TempDir.h"

namespace {

TEST(MappedFaults, ACutFileReadsZerosAndIsGivenItsLengthBack) {
  platform::CatchMappedFileFaults();
  TempDir dir;
  KPcmMMap store(dir.Path());
  ASSERT_TRUE(store.Resize(3 * 65536));
  uint8_t* view = store.MapView(0, 3 * 65536);
  ASSERT_NE(view, nullptr);
  std::fill(view, view + 3 * 65536, uint8_t(7));
  EXPECT_TRUE(store.Intact());
  ASSERT_EQ(truncate(store.GetFileName().c_str(), 100), 0);
  const uint64_t before = platform::MappedFileFaults();
  EXPECT_EQ(view[50], 7);
  EXPECT_EQ(view[2 * 65536], 0);  // past the cut: a page of zeros, not SIGBUS
  view[2 * 65536 + 1] = 9;        // and writable
  EXPECT_GT(platform::MappedFileFaults(), before);
  store.UnmapView(view);
  EXPECT_FALSE(store.Intact());
  EXPECT_NE(store.Status().Message.find(store.GetFileName() + " was cut short by another program"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(store.GetFileName()), 3u * 65536);
  EXPECT_TRUE(store.Intact());
}

TEST(MappedFaults, ASecondStoreOnTheOpenFileOutlivesItsName) {
  TempDir dir;
  auto store = std::make_unique<KPcmMMap>(dir.Path());
  ASSERT_TRUE(store->Resize(4));
  uint8_t* view = store->MapView(0, 4);
  ASSERT_NE(view, nullptr);
  std::copy_n("abcd", 4, view);
  store->UnmapView(view);
  const std::string name = store->GetFileName();
  std::filesystem::remove(name);
  KPcmMMap second(KPcmMMap::SameFileAs{}, *store);
  ASSERT_TRUE(second.Usable());
  EXPECT_EQ(second.Size(), 4);
  KPcmCell cell(1, 1);
  ASSERT_TRUE(second.Seek(2) && second.ReadNext(cell));
  EXPECT_EQ(cell.GetMono8(), 'c');
  // The name made again by someone else is not the store's file.
  std::fclose(std::fopen(name.c_str(), "wb"));
  EXPECT_TRUE(second.Seek(3) && second.ReadNext(cell));
  EXPECT_EQ(cell.GetMono8(), 'd');
  std::FILE* reopened = std::fopen(store->OpenFilePath().c_str(), "rb");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(std::fgetc(reopened), 'a');
  std::fclose(reopened);
}

}  // namespace
