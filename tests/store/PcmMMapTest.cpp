#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <regex>
#include <set>

#include "store/PcmMMap.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace {

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Fills the store with the byte pattern i * 7 + 3 through one raw view.
void Pattern(KPcmMMap& store, int32_t size) {
  ASSERT_TRUE(store.Resize(size));
  uint8_t* view = store.MapView(0, size);
  ASSERT_NE(view, nullptr);
  for (int32_t i = 0; i < size; ++i) view[i] = uint8_t(i * 7 + 3);
  store.UnmapView(view);
}

class StoreTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(StoreTest, SeekBoundsAndInactiveCursorReadsSilence) {
  KPcmMMap store(dir_.Path());
  ASSERT_TRUE(store.Usable());
  Pattern(store, 1000);
  EXPECT_TRUE(store.Seek(999));
  KPcmCell cell(1, 1);
  EXPECT_TRUE(store.ReadNext(cell));
  EXPECT_EQ(cell.GetMono8(), uint8_t(999 * 7 + 3));
  EXPECT_FALSE(store.CursorActive());  // walked past the end

  EXPECT_FALSE(store.Seek(1000));
  EXPECT_FALSE(store.CursorActive());
  EXPECT_FALSE(store.Seek(-1));
  cell.SetMono8(7);
  EXPECT_FALSE(store.ReadNext(cell));
  EXPECT_EQ(cell.GetMono8(), 0x80);
  EXPECT_EQ(cell.Value1, 0.0);
  EXPECT_FALSE(store.WriteNext(cell));
  // Peek and poke leave the cursor where it is.
  ASSERT_TRUE(store.Seek(4));
  store.ReadNext(cell, true);
  cell.SetMono8(0x11);
  store.WriteNext(cell, true);
  EXPECT_EQ(store.CursorPosition(), 4);
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), 0x11);
  EXPECT_EQ(store.CursorPosition(), 5);
}

// Every format walked frame by frame across several 64 KB windows gives the
// same bytes as one large view, both reading and writing.
TEST_F(StoreTest, SequentialWalkAcrossWindowsInEveryFormat) {
  const int32_t size = 3 * KPcmMMap::kWindow + 4 * 37;
  for (auto [channels, bytes] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}}) {
    SCOPED_TRACE(testing::Message() << channels << "ch " << bytes * 8 << "bit");
    KPcmMMap source(dir_.Path());
    Pattern(source, size);
    KPcmMMap copy(dir_.Path());
    ASSERT_TRUE(copy.Resize(size));
    KPcmCell cell(channels, bytes);
    ASSERT_TRUE(source.Seek(0));
    ASSERT_TRUE(copy.Seek(0));
    int32_t frames = size / cell.FrameBytes;
    for (int32_t f = 0; f < frames; ++f) {
      ASSERT_TRUE(source.ReadNext(cell)) << f;
      ASSERT_TRUE(copy.WriteNext(cell)) << f;
    }
    EXPECT_FALSE(source.CursorActive());
    uint8_t* a = source.MapView(0, size);
    uint8_t* b = copy.MapView(0, size);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(0, memcmp(a, b, size_t(size)));
  }
}

TEST_F(StoreTest, StereoSixteenBitValuesAtTheWindowBoundary) {
  KPcmMMap store(dir_.Path());
  Pattern(store, 2 * KPcmMMap::kWindow);
  KPcmCell cell(2, 2);
  ASSERT_TRUE(store.SeekFrame(KPcmMMap::kWindow / 4 - 1, 2, 2));
  uint8_t* view = store.MapView(KPcmMMap::kWindow - 4, 8);
  ASSERT_NE(view, nullptr);
  for (int frame = 0; frame < 2; ++frame) {
    ASSERT_TRUE(store.ReadNext(cell));
    const uint8_t* p = view + frame * 4;
    EXPECT_EQ(cell.Value1, double(int16_t(uint16_t(p[0] | p[1] << 8))));
    EXPECT_EQ(cell.Value2, double(int16_t(uint16_t(p[2] | p[3] << 8))));
  }
}

TEST_F(StoreTest, FrameCutByTheEndOfTheFileReadsSilence) {
  KPcmMMap store(dir_.Path());
  Pattern(store, 5);
  KPcmCell cell(2, 2);
  ASSERT_TRUE(store.Seek(0));
  EXPECT_TRUE(store.ReadNext(cell));
  EXPECT_FALSE(store.ReadNext(cell));
  EXPECT_EQ(cell.GetMono16(), 0);
  EXPECT_FALSE(store.WriteNext(cell));
}

TEST_F(StoreTest, AtMostFourRawViews) {
  KPcmMMap store(dir_.Path());
  Pattern(store, 4 * KPcmMMap::kWindow);
  uint8_t* views[4];
  for (int i = 0; i < 4; ++i) {
    views[i] = store.MapView(i * KPcmMMap::kWindow + 5, 100);
    ASSERT_NE(views[i], nullptr);
    EXPECT_EQ(views[i][0], uint8_t((i * KPcmMMap::kWindow + 5) * 7 + 3));
  }
  EXPECT_EQ(store.MapView(0, 10), nullptr);
  EXPECT_FALSE(store.UnmapView(nullptr));
  EXPECT_FALSE(store.UnmapView(views[0] + 1));
  EXPECT_TRUE(store.UnmapView(views[2]));
  EXPECT_FALSE(store.UnmapView(views[2]));
  EXPECT_NE(store.MapView(0, 10), nullptr);
  EXPECT_EQ(store.MapView(4 * KPcmMMap::kWindow - 1, 2), nullptr);  // past the end
}

TEST_F(StoreTest, CopyFromGrowsAndShrinksWithABarPerChunk) {
  struct Bars : KCopyProgress {
    std::vector<int> seen;
    void CopyPercent(int p) override { seen.push_back(p); }
  } bars;
  KPcmMMap source(dir_.Path()), target(dir_.Path());
  Pattern(source, 10000);
  ASSERT_TRUE(target.Resize(100));
  ASSERT_TRUE(target.CopyFrom(source, &bars));
  EXPECT_EQ(bars.seen, (std::vector<int>{40, 81, 100}));
  ASSERT_EQ(target.Size(), 10000);
  uint8_t* a = source.MapView(0, 10000);
  uint8_t* b = target.MapView(0, 10000);
  EXPECT_EQ(0, memcmp(a, b, 10000));

  KPcmMMap small(dir_.Path());
  Pattern(small, 100);
  ASSERT_TRUE(target.CopyFrom(small));
  EXPECT_EQ(target.Size(), 100);
  std::ifstream file(target.GetFileName(), std::ios::binary | std::ios::ate);
  EXPECT_EQ(file.tellg(), 100);
}

TEST_F(StoreTest, NamesAreUniqueAndFollowThePattern) {
  std::vector<std::unique_ptr<KPcmMMap>> stores;
  std::set<std::string> names;
  const std::regex shape(R"(SY\$[0-9A-F]{5}\.[0-9A-F]{3})");
  for (int i = 0; i < 300; ++i) {
    stores.push_back(std::make_unique<KPcmMMap>(dir_.Path()));
    std::string name = stores.back()->GetFileName();
    EXPECT_TRUE(std::regex_match(name.substr(dir_.Path().size() + 1), shape)) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), stores.size());
}

TEST_F(StoreTest, SharedFileLivesUntilItsLastStore) {
  auto first = std::make_unique<KPcmMMap>(dir_.Path());
  Pattern(*first, 300);
  std::string path = first->GetFileName();
  auto second = std::make_unique<KPcmMMap>(KPcmMMap::AtPath{}, path);
  auto third = std::make_unique<KPcmMMap>(KPcmMMap::AtPath{}, path);
  EXPECT_EQ(second->Size(), 300);
  // Independent cursors on the same bytes.
  KPcmCell a(1, 1), b(1, 1);
  second->Seek(10);
  third->Seek(20);
  second->ReadNext(a);
  third->ReadNext(b);
  EXPECT_EQ(a.GetMono8(), uint8_t(10 * 7 + 3));
  EXPECT_EQ(b.GetMono8(), uint8_t(20 * 7 + 3));

  first.reset();
  third.reset();
  ASSERT_TRUE(Exists(path));
  std::ifstream file(path, std::ios::binary);
  file.seekg(10);
  EXPECT_EQ(uint8_t(file.get()), uint8_t(10 * 7 + 3));
  second.reset();
  EXPECT_FALSE(Exists(path));
}

TEST_F(StoreTest, MissingOrUnwritableFolderGivesAnUnusableStore) {
  KPcmMMap missing(dir_ / "no-such-folder");
  EXPECT_FALSE(missing.Usable());
  EXPECT_FALSE(missing.Resize(16));
  EXPECT_FALSE(missing.Seek(0));
  EXPECT_EQ(missing.MapView(0, 1), nullptr);
  EXPECT_NE(missing.Status().Message.find("no-such-folder"), std::string::npos);

  // A regular file where the folder should be: refused even for root.
  std::ofstream(dir_ / "plain") << "x";
  KPcmMMap blocked(dir_ / "plain");
  EXPECT_FALSE(blocked.Usable());
  KPcmMMap source(dir_.Path());
  Pattern(source, 100);
  EXPECT_FALSE(blocked.CopyFrom(source));
}

TEST_F(StoreTest, FileSizeLimitFailsResizeAndCopyAndKeepsTheOldBytes) {
  KPcmMMap store(dir_.Path()), big(dir_.Path());
  Pattern(store, 5000);
  Pattern(big, 200000);
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(store.Resize(150000));
    EXPECT_FALSE(store.Status().Ok);
    EXPECT_FALSE(store.Status().Message.empty());
    EXPECT_FALSE(store.CopyFrom(big));
  }
  EXPECT_EQ(store.Size(), 5000);
  uint8_t* view = store.MapView(0, 5000);
  ASSERT_NE(view, nullptr);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(view[i], uint8_t(i * 7 + 3)) << i;
}

TEST_F(StoreTest, ResizeInvalidatesTheCursorAndKeepsBytes) {
  KPcmMMap store(dir_.Path());
  Pattern(store, 70000);
  ASSERT_TRUE(store.Seek(100));
  ASSERT_TRUE(store.Resize(200000));
  EXPECT_FALSE(store.CursorActive());
  KPcmCell cell(1, 1);
  ASSERT_TRUE(store.Seek(69999));
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), uint8_t(69999 * 7 + 3));
  store.ReadNext(cell);
  EXPECT_EQ(cell.GetMono8(), 0);  // the new bytes read as zero
}

TEST(SwapFileName, MatchesTheNamesStoresGive) {
  for (const char* name : {"SY$00A1B.2C0", "SY$FFFFF.FFF"}) EXPECT_TRUE(KPcmMMap::IsSwapFileName(name)) << name;
  for (const char* name : {"SY$00A1B2C0", "SY$00A1.B2C0", "SY$00a1b.2c0", "SY$00G1B.2C0", "SY$00A1B.2C0~",
                           "XY$00A1B.2C0", "", "../SY$00A.1B2"})
    EXPECT_FALSE(KPcmMMap::IsSwapFileName(name)) << name;
  TempDir folder;
  KPcmMMap store(folder.Path());
  EXPECT_TRUE(KPcmMMap::IsSwapFileName(store.BaseName())) << store.GetFileName();
}

}  // namespace
