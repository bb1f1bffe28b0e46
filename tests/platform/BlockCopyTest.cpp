// Copies between files: short copies on the caller's thread and long ones
// that read ahead on a second thread must move the same bytes, transform
// them in order, set the bar at every 4096-byte step and tell a failed read
// from a failed write without hanging.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "platform/BlockCopy.h"
#include "support/TempDir.h"

namespace {

struct Bars : KCopyProgress {
  std::vector<int> seen;
  void CopyPercent(int percent) override { seen.push_back(percent); }
};

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i * 131 + i / 4099);
  return bytes;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bar of a copy of `total` bytes: every 4096-byte step and the end.
std::vector<int> StepBars(int64_t total) {
  std::vector<int> bars;
  for (int64_t done = KBlockCopy::kStep;; done += KBlockCopy::kStep) {
    bars.push_back(int((done < total ? done : total) * 100 / total));
    if (done >= total) return bars;
  }
}

class BlockCopyTest : public ::testing::Test {
 protected:
  std::string Source(size_t n) {
    source_ = Pattern(n);
    Write(dir_ / "from", source_);
    Write(dir_ / "to", {});
    return dir_ / "from";
  }

  TempDir dir_;
  std::vector<uint8_t> source_;
};

// Both sides of kPipedMinimum, at odd offsets, with a transform whose
// result depends on the order of the blocks it is given.
TEST_F(BlockCopyTest, ShortAndLongCopiesMoveTheSameBytesInOrder) {
  for (int64_t bytes : {int64_t(1), int64_t(4097), KBlockCopy::kPipedMinimum - 2, KBlockCopy::kPipedMinimum,
                        KBlockCopy::kPipedMinimum * 3 + 1234}) {
    const std::string from = Source(size_t(bytes) + 10);
    KPlainFile in(from, KPlainFile::Mode::Read), out(dir_ / "to", KPlainFile::Mode::ReadWrite);
    uint32_t running = 0;
    auto scramble = [&running](uint8_t* p, size_t n) {
      for (size_t i = 0; i < n; ++i) p[i] ^= uint8_t(running++ * 7);
    };
    Bars bars;
    ASSERT_TRUE(KBlockCopy::Run(in, 10, out, 3, bytes, scramble, bars)) << bytes;
    const std::vector<uint8_t> copied = Read(dir_ / "to");
    ASSERT_EQ(copied.size(), size_t(bytes) + 3) << bytes;
    for (int64_t i = 0; i < bytes; ++i)
      ASSERT_EQ(copied[size_t(i + 3)], uint8_t(source_[size_t(i + 10)] ^ uint8_t(i * 7))) << bytes << " at " << i;
    EXPECT_EQ(bars.seen, StepBars(bytes)) << bytes;
  }
}

// A source that ends early fails as a read, with the system's words for it,
// wherever in the copy the end comes.
TEST_F(BlockCopyTest, AnEarlyEndIsAFailedRead) {
  for (int64_t have : {int64_t(1000), KBlockCopy::kPipedMinimum + 5}) {
    const std::string from = Source(size_t(have));
    KPlainFile in(from, KPlainFile::Mode::Read), out(dir_ / "to", KPlainFile::Mode::ReadWrite);
    Bars bars;
    const KStatus copied = KBlockCopy::Run(in, 0, out, 0, KBlockCopy::kPipedMinimum * 4, nullptr, bars);
    EXPECT_FALSE(copied);
    EXPECT_EQ(copied.Code, KBlockCopy::kReadFailed);
    EXPECT_EQ(copied.Message, "unexpected end of file");
    EXPECT_LT(Read(dir_ / "to").size(), size_t(have) + 1);
  }
}

// A destination that takes no writes fails as a write at once, while the
// reader is still ahead of it; the copy returns instead of waiting on it.
TEST_F(BlockCopyTest, AFailedWriteStopsTheReader) {
  for (int64_t bytes : {int64_t(5000), KBlockCopy::kPipedMinimum * 8}) {
    const std::string from = Source(size_t(bytes));
    KPlainFile in(from, KPlainFile::Mode::Read), out(dir_ / "to", KPlainFile::Mode::Read);
    Bars bars;
    const KStatus copied = KBlockCopy::Run(in, 0, out, 0, bytes, nullptr, bars);
    EXPECT_FALSE(copied);
    EXPECT_EQ(copied.Code, KBlockCopy::kWriteFailed);
    EXPECT_FALSE(copied.Message.empty());
    EXPECT_TRUE(bars.seen.empty());
  }
}

}  // namespace
