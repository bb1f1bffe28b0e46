#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/RunFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Only folders whose copy is gone are claimed: a held lock keeps a folder,
// whoever holds it; a folder without a lock counts as gone only with the
// process its name holds (an older layout, or one still being made).
TEST(RunFolder, OrphansAreTheFoldersOfCopiesThatAreGone) {
  TempDir base;
  KRunFolder live, gone;
  std::string error;
  ASSERT_TRUE(live.Create(base.Path(), KRunFolder::kWindowPrefix, error)) << error;
  ASSERT_TRUE(gone.Create(base.Path(), KRunFolder::kFrontEndPrefix, error)) << error;
  gone.Leave();
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string old = base / ("cli-" + std::to_string(ended) + "-a1b2c3");
  const std::string making = base / ("win-" + std::to_string(getpid()) + "-a1b2c3");
  for (const std::string& folder : {old, making, base / "notes"}) fs::create_directory(folder);

  auto orphans = KRunFolder::Orphans(base.Path());
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0]->Path(), gone.Path());
  EXPECT_EQ(orphans[0]->Prefix(), KRunFolder::kFrontEndPrefix);
  orphans.clear();
  for (const std::string& folder : {old, gone.Path()}) EXPECT_FALSE(fs::exists(folder)) << folder;
  for (const std::string& folder : {making, live.Path(), base / "notes"}) EXPECT_TRUE(fs::exists(folder)) << folder;
}

}  // namespace
