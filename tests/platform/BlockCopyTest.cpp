// Copies between files: short copies on the caller's thread and long ones
// that read ahead on a second thread move the same bytes, transform them in
// order, set the bar at every 4096-byte step and tell a failed read from a
// failed write without hanging.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/BlockCopy.h"
#include "support/TempDir.h"

namespace {

struct Bars : KCopyProgress {
  std::vector<int> seen;
  void CopyPercent(int percent) override { seen.push_back(percent); }
};

std::vector<uint8_t> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BlockCopyTest : public ::testing::Test {
 protected:
  // Copies `bytes` of a source of `have` bytes (from offset 10 to offset 3
  // when `offsets`) into a file opened `mode`.
  KStatus Copy(int64_t have, int64_t bytes, bool offsets, KPlainFile::Mode mode, const KBlockCopy::Transform& t) {
    source_.resize(size_t(have));
    for (size_t i = 0; i < source_.size(); ++i) source_[i] = uint8_t(i * 131 + i / 4099);
    std::ofstream(dir_ / "from", std::ios::binary).write(reinterpret_cast<const char*>(source_.data()), have);
    std::ofstream(dir_ / "to", std::ios::binary);
    KPlainFile in(dir_ / "from", KPlainFile::Mode::Read), out(dir_ / "to", mode);
    return KBlockCopy::Run(in, offsets ? 10 : 0, out, offsets ? 3 : 0, bytes, t, bars_);
  }
  TempDir dir_;
  std::vector<uint8_t> source_;
  Bars bars_;
};

// Both sides of kPipedMinimum, at odd offsets and at none (blocks then end on
// the bar's steps), with a transform whose result depends on the order of
// the blocks it is given; the bar at every step and at the end.
TEST_F(BlockCopyTest, ShortAndLongCopiesMoveTheSameBytesInOrder) {
  for (auto [bytes, offsets] : {std::pair{int64_t(1), true},
                                {int64_t(4097), true},
                                {KBlockCopy::kPipedMinimum - 2, true},
                                {KBlockCopy::kPipedMinimum, true},
                                {KBlockCopy::kPipedMinimum * 3 + 1234, true},
                                {int64_t(KBlockCopy::kChunk) * 2 + 5, false},
                                {KBlockCopy::kPipedMinimum * 2 + 99, false}}) {
    SCOPED_TRACE(testing::Message() << bytes << (offsets ? " at offsets" : ""));
    const int64_t from = offsets ? 10 : 0, to = offsets ? 3 : 0;
    bars_.seen.clear();
    uint32_t running = 0;
    auto scramble = [&running](uint8_t* p, size_t n) {
      for (size_t i = 0; i < n; ++i) p[i] ^= uint8_t(running++ * 7);
    };
    ASSERT_TRUE(Copy(bytes + from, bytes, offsets, KPlainFile::Mode::ReadWrite, scramble));
    const std::vector<uint8_t> copied = Read(dir_ / "to");
    ASSERT_EQ(copied.size(), size_t(bytes + to));
    for (int64_t i = 0; i < bytes; ++i)
      ASSERT_EQ(copied[size_t(i + to)], uint8_t(source_[size_t(i + from)] ^ uint8_t(i * 7))) << i;
    std::vector<int> expected;
    for (int64_t done = KBlockCopy::kStep; done < bytes + KBlockCopy::kStep; done += KBlockCopy::kStep)
      expected.push_back(int(std::min(done, bytes) * 100 / bytes));
    EXPECT_EQ(bars_.seen, expected);
  }
}

// A source that ends early fails as a read with the system's words for it; a
// destination that takes no writes fails as a write at once, while the
// reader is still ahead of it, and the copy returns instead of waiting.
TEST_F(BlockCopyTest, AnEarlyEndIsAFailedReadAndARefusedWriteAFailedWrite) {
  for (int64_t have : {int64_t(1000), KBlockCopy::kPipedMinimum + 5}) {
    const KStatus copied = Copy(have, KBlockCopy::kPipedMinimum * 4, false, KPlainFile::Mode::ReadWrite, nullptr);
    EXPECT_EQ(std::tuple(copied.Ok, copied.Code, copied.Message),
              std::tuple(false, int(KBlockCopy::kReadFailed), std::string("unexpected end of file")));
    EXPECT_LE(Read(dir_ / "to").size(), size_t(have));
  }
  bars_.seen.clear();
  for (int64_t bytes : {int64_t(5000), KBlockCopy::kPipedMinimum * 8}) {
    const KStatus copied = Copy(bytes, bytes, false, KPlainFile::Mode::Read, nullptr);
    EXPECT_EQ(std::pair(copied.Ok, copied.Code), std::pair(false, int(KBlockCopy::kWriteFailed))) << bytes;
    EXPECT_FALSE(copied.Message.empty());
  }
  EXPECT_TRUE(bars_.seen.empty());
}

}  // namespace
