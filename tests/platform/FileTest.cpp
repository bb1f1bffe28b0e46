// Copies between files, the safe replacement of a file, and the run folders of running copies.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/BlockCopy.h"
#include "platform/RunFolder.h"
#include "platform/SafeFileWriter.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
constexpr int64_t kPiped = KBlockCopy::kPipedMinimum;

class BlockCopyTest : public ::testing::Test, public KCopyProgress {
 protected:
  void CopyPercent(int percent) override { bars_.push_back(percent); }
  // Copies `bytes` of `have` source bytes (at 10 to 3 when `offsets`) into a file opened `mode`, read into copied_.
  KStatus Copy(int64_t have, int64_t bytes, bool offsets, KPlainFile::Mode mode, const KBlockCopy::Transform& t) {
    source_.resize(size_t(have));
    for (size_t i = 0; i < source_.size(); ++i) source_[i] = uint8_t(i * 131 + i / 4099);
    std::ofstream(dir_ / "from", std::ios::binary).write(reinterpret_cast<const char*>(source_.data()), have);
    std::ofstream(dir_ / "to", std::ios::binary);
    bars_.clear();
    KPlainFile in(dir_ / "from", KPlainFile::Mode::Read), out(dir_ / "to", mode);
    const KStatus status = KBlockCopy::Run(in, offsets ? 10 : 0, out, offsets ? 3 : 0, bytes, t, *this);
    std::ifstream copied(dir_ / "to", std::ios::binary);
    copied_.assign(std::istreambuf_iterator<char>(copied), std::istreambuf_iterator<char>());
    return status;
  }
  TempDir dir_;
  std::vector<uint8_t> source_, copied_;
  std::vector<int> bars_;
};

// Both sides of kPipedMinimum (copied on the caller's thread, or read ahead on a second one), at odd offsets and at
// none, with a transform whose result depends on the order of the blocks; the bar at every step and at the end.
TEST_F(BlockCopyTest, ShortAndLongCopiesMoveTheSameBytesInOrder) {
  for (int64_t bytes : {int64_t(1), int64_t(4097), kPiped - 2, kPiped, kPiped * 3 + 1234, kPiped * 2 + 99})
    for (bool offsets : {true, false}) {
      SCOPED_TRACE(testing::Message() << bytes << (offsets ? " at offsets" : ""));
      const int64_t from = offsets ? 10 : 0, to = offsets ? 3 : 0;
      uint32_t running = 0;
      auto scramble = [&running](uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) p[i] ^= uint8_t(running++ * 7);
      };
      ASSERT_TRUE(Copy(bytes + from, bytes, offsets, KPlainFile::Mode::ReadWrite, scramble));
      ASSERT_EQ(copied_.size(), size_t(bytes + to));
      for (int64_t i = 0; i < bytes; ++i)
        ASSERT_EQ(copied_[size_t(i + to)], uint8_t(source_[size_t(i + from)] ^ uint8_t(i * 7))) << i;
      std::vector<int> expected;
      for (int64_t done = KBlockCopy::kStep; done < bytes + KBlockCopy::kStep; done += KBlockCopy::kStep)
        expected.push_back(int(std::min(done, bytes) * 100 / bytes));
      EXPECT_EQ(bars_, expected);
    }
}

// A source that ends early fails as a read with the system's words for it; a destination that takes no writes fails as
// a write at once, while the reader is still ahead of it, and the copy returns instead of waiting.
TEST_F(BlockCopyTest, AnEarlyEndIsAFailedReadAndARefusedWriteAFailedWrite) {
  constexpr auto kRead = KBlockCopy::kReadFailed, kWrite = KBlockCopy::kWriteFailed;
  const std::tuple<int64_t, int64_t, KPlainFile::Mode, int> cases[] = {
      {1000, kPiped * 4, KPlainFile::Mode::ReadWrite, kRead},
      {kPiped + 5, kPiped * 4, KPlainFile::Mode::ReadWrite, kRead},
      {5000, 5000, KPlainFile::Mode::Read, kWrite},
      {kPiped * 8, kPiped * 8, KPlainFile::Mode::Read, kWrite}};
  for (auto [have, bytes, mode, code] : cases) {
    const KStatus copied = Copy(have, bytes, false, mode, nullptr);
    EXPECT_EQ(std::tuple(copied.Ok, copied.Code, copied.Message),
              std::tuple(false, code, std::string(code == kRead ? "unexpected end of file" : std::strerror(EBADF))))
        << have;
    EXPECT_LE(copied_.size(), size_t(have));
    EXPECT_TRUE(code == kRead || bars_.empty());
  }
}

// Only folders whose copy is gone are claimed: a held lock keeps a folder, whoever holds it; a folder without a lock
// counts as gone only with the process its name holds (an older layout, or one still being made).
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
  EXPECT_EQ(std::pair(orphans[0]->Path(), orphans[0]->Prefix()), std::pair(gone.Path(), std::string("cli-")));
  orphans.clear();
  for (const std::string& folder : {old, gone.Path()}) EXPECT_FALSE(fs::exists(folder)) << folder;
  for (const std::string& folder : {making, live.Path(), base / "notes"}) EXPECT_TRUE(fs::exists(folder)) << folder;
}

// A log that holds that a temporary's name was noted before a file had it, and forgotten once none has it.
struct KCheckingLog final : KTemporaryLog {
  void Noted(const std::string& path) override {
    EXPECT_FALSE(fs::exists(path)) << path;
    noted.insert(path);
    held.insert(path);
  }
  void Forgotten(const std::string& path) override {
    EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(held.erase(path), 1u) << path;
  }
  std::set<std::string> noted, held;
};

// Unnamed (linked under a name just before the rename) or named at once, committed or given up: every name a temporary
// had was noted before and forgotten after; the target holds the new bytes or the old ones, alone.
TEST(SafeFileWriter, EveryTemporaryNameIsNotedBeforeItIsGiven) {
  for (bool unnamed : {true, false})
    for (bool commit : {true, false}) {
      SCOPED_TRACE(testing::Message() << (unnamed ? "unnamed" : "named") << (commit ? " committed" : " given up"));
      TempDir dir;
      std::ofstream(dir / "voice.mxv") << "old";
      KCheckingLog log;
      {
        KSafeFileWriter writer(dir / "voice.mxv", &log, unnamed);
        ASSERT_TRUE(writer.IsOpen() && writer.File().WriteAt(0, "new", 3));
        EXPECT_TRUE(!commit || writer.Commit());
      }
      EXPECT_EQ(std::pair(log.noted.size(), log.held.size()), std::pair(size_t(commit || !unnamed), size_t(0)));
      EXPECT_EQ(Contents(dir / "voice.mxv"), commit ? "new" : "old");
      EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
    }
}

// Mode of the folder `path` (with the sticky bit), -1 when there is none.
int ModeOf(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// A run makes the system folder and the swap folder shared (sticky, writable by all), a missing folder above them the
// user's alone, and leaves folders that exist as they are; its run folder is the user's alone. A start passes the run
// folders of other kinds of copies and those of other users (as root: a folder given to nobody).
TEST(RunFolder, SharedSwapFolderModesAndWhoseFoldersAreSwept) {
  TempDir dir;
  for (const char* folder : {"kept", "kept/SYS_DATA"}) {
    fs::create_directory(dir / folder);
    chmod((dir / folder).c_str(), 0755);
  }
  const std::string base = dir / "made/melotrix/SYS_DATA";
  const std::pair<std::string, int> modes[] = {{dir / "made", 0700},
                                               {dir / "made/melotrix", 01777},
                                               {base, 01777},
                                               {dir / "kept", 0755},
                                               {dir / "kept/SYS_DATA", 0755}};
  KRunFolder runs[4];
  std::string error;
  for (int k = 0; k < 4; ++k) {
    ASSERT_TRUE(runs[k].Create(k == 3 ? dir / "kept/SYS_DATA" : base,
                               k ? KRunFolder::kFrontEndPrefix : KRunFolder::kWindowPrefix, error))
        << error;
    EXPECT_EQ(ModeOf(runs[k].Path()), 0700);
    runs[k].Leave();
  }
  for (const auto& [folder, mode] : modes) EXPECT_EQ(ModeOf(folder), mode) << folder;
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  ASSERT_EQ(chown(runs[2].Path().c_str(), 65534, 65534), 0);
  auto orphans = KRunFolder::Orphans(base, KRunFolder::kFrontEndPrefix);
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0]->Path(), runs[1].Path());
  orphans.clear();
  EXPECT_EQ(std::tuple(fs::exists(runs[0].Path()), fs::exists(runs[1].Path()), fs::exists(runs[2].Path() + "/lock")),
            std::tuple(true, false, true));
}

}  // namespace
