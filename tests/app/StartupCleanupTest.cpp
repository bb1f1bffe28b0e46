#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/StartupCleanup.h"
#include "store/PcmMMap.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) { std::ofstream(path) << "left over"; }

TEST(SwapFileName, MatchesTheNamesTheSwapStoreGives) {
  EXPECT_TRUE(IsSwapFileName("SY$00A1B.2C0"));
  EXPECT_TRUE(IsSwapFileName("SY$FFFFF.FFF"));
  EXPECT_FALSE(IsSwapFileName("SY$00A1B2C0"));
  EXPECT_FALSE(IsSwapFileName("SY$00A1.B2C0"));
  EXPECT_FALSE(IsSwapFileName("SY$00a1b.2c0"));
  EXPECT_FALSE(IsSwapFileName("SY$00G1B.2C0"));
  EXPECT_FALSE(IsSwapFileName("SY$00A1B.2C0~"));
  EXPECT_FALSE(IsSwapFileName("XY$00A1B.2C0"));
  EXPECT_FALSE(IsSwapFileName(""));

  TempDir folder;
  KPcmMMap store(folder.Path());
  ASSERT_TRUE(store.Status().Ok) << store.Status().Message;
  EXPECT_TRUE(IsSwapFileName(fs::path(store.GetFileName()).filename().string())) << store.GetFileName();
}

TEST(StartupCleanup, RemovesLeftSwapFilesOnly) {
  TempDir folder;
  Touch(folder / "SY$00A1B.2C0");
  Touch(folder / "SY$12345.678");
  Touch(folder / "Bank001.MXV");
  Touch(folder / "SY$1234.5678");
  fs::create_directory(folder / "SY$ABCDE.F01");
  fs::create_directory(folder / "cli-4242-a1b2c3");
  Touch(folder / "cli-4242-a1b2c3/SY$00001.000");
  Touch(folder / "target");
  fs::create_symlink(folder / "target", folder / "SY$00002.000");

  EXPECT_EQ(RemoveLeftoverSwapFiles(folder.Path()), 2);
  EXPECT_FALSE(fs::exists(folder / "SY$00A1B.2C0"));
  EXPECT_FALSE(fs::exists(folder / "SY$12345.678"));
  for (const char* kept : {"Bank001.MXV", "SY$1234.5678", "SY$ABCDE.F01", "cli-4242-a1b2c3/SY$00001.000", "target"})
    EXPECT_TRUE(fs::exists(folder / kept)) << kept;
  EXPECT_TRUE(fs::is_symlink(folder / "SY$00002.000"));
}

TEST(StartupCleanup, AMissingFolderRemovesNothing) {
  TempDir folder;
  EXPECT_EQ(RemoveLeftoverSwapFiles(folder / "SYS_DATA"), 0);
}

}  // namespace
