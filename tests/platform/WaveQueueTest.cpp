#include <gtest/gtest.h>

#include <array>

#include "platform/WaveQueue.h"

namespace {

class WaveQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    queue.Clear(2);
    a = {memA.data(), 10};
    b = {memB.data(), 6};
  }

  std::array<uint8_t, 10> memA{};
  std::array<uint8_t, 6> memB{};
  KWaveBuffer a, b;
  KWaveQueue queue;
};

TEST_F(WaveQueueTest, OffersTheUnmovedFramesInStreamOrder) {
  ASSERT_TRUE(queue.Add(a));
  ASSERT_TRUE(queue.Add(b));
  EXPECT_EQ(a.End, 5);
  EXPECT_EQ(b.End, 8);

  EXPECT_EQ(queue.Next().Data, memA.data());
  EXPECT_EQ(queue.Next().Frames, 5);
  queue.Moved(2);
  EXPECT_EQ(queue.Next().Data, memA.data() + 4);
  EXPECT_EQ(queue.Next().Frames, 3);
  queue.Moved(3);
  EXPECT_EQ(queue.Next().Data, memB.data());
  EXPECT_EQ(queue.Next().Frames, 3);
  queue.Moved(10);  // never past what was queued
  EXPECT_EQ(queue.MovedFrames(), 8);
  EXPECT_EQ(queue.Next().Frames, 0);
}

TEST_F(WaveQueueTest, HoldsTwoBuffersOfWholeFrames) {
  std::array<uint8_t, 4> memC{};
  KWaveBuffer c{memC.data(), 4};
  KWaveBuffer odd{memC.data(), 3};
  EXPECT_FALSE(queue.Add(odd));
  ASSERT_TRUE(queue.Add(a));
  EXPECT_FALSE(queue.Add(a));  // already queued
  ASSERT_TRUE(queue.Add(b));
  EXPECT_FALSE(queue.Add(c));
  EXPECT_FALSE(c.InQueue);
  EXPECT_EQ(queue.Count(), 2);
}

TEST_F(WaveQueueTest, ReleasesABufferOnlyOnceItsFramesAreFinished) {
  ASSERT_TRUE(queue.Add(a));
  ASSERT_TRUE(queue.Add(b));
  queue.Moved(8);
  EXPECT_FALSE(queue.Release(a, 4));
  EXPECT_TRUE(a.InQueue);
  EXPECT_FALSE(queue.Release(b, 7));
  EXPECT_TRUE(queue.Release(a, 5));
  EXPECT_FALSE(a.InQueue);
  EXPECT_EQ(queue.OldestEnd(), 8);

  // A refilled buffer goes in behind the one still held.
  ASSERT_TRUE(queue.Add(a));
  EXPECT_EQ(a.End, 13);
  EXPECT_EQ(queue.Next().Data, memA.data());
  EXPECT_TRUE(queue.Release(b, 8));
  EXPECT_EQ(queue.OldestEnd(), 13);
}

TEST_F(WaveQueueTest, ClearReturnsEveryBufferAndRestartsTheCount) {
  ASSERT_TRUE(queue.Add(a));
  ASSERT_TRUE(queue.Add(b));
  queue.Moved(6);
  queue.Clear(2);
  EXPECT_FALSE(a.InQueue);
  EXPECT_FALSE(b.InQueue);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(queue.MovedFrames(), 0);
  EXPECT_EQ(queue.OldestEnd(), 0);
  // A buffer no longer held is released at once.
  EXPECT_TRUE(queue.Release(a, 0));
  ASSERT_TRUE(queue.Add(b));
  EXPECT_EQ(b.End, 3);
}

TEST(HeardFramesTest, WrittenLessDelayNeverGoingBack) {
  EXPECT_EQ(HeardFrames(1000, 300, 0), 700);
  EXPECT_EQ(HeardFrames(1000, 0, 0), 1000);
  EXPECT_EQ(HeardFrames(1000, 1500, 0), 0);
  EXPECT_EQ(HeardFrames(1000, 300, 800), 800);
  EXPECT_EQ(HeardFrames(1000, -5, 0), 1000);
}

}  // namespace
