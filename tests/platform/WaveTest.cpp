// The queue of two wave buffers, and the device cache, buffer rules and
// scripted faults of wave audio over the simulated device.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "platform/SimulatedWaveAudio.h"
#include "platform/WaveQueue.h"

namespace {

constexpr KWaveDirection kOut = KWaveDirection::Output;
constexpr KWaveDirection kIn = KWaveDirection::Input;

std::vector<uint8_t> Counting(size_t n, uint8_t first) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

class WaveTest : public ::testing::Test {
 protected:
  bool PrepareAndQueue(KWaveDirection direction, KWaveBuffer& buffer) {
    return sim.Prepare(direction, buffer) && sim.Queue(direction, buffer);
  }
  std::vector<uint8_t> memA = Counting(10, 0), memB = Counting(6, 10), memC = Counting(7, 16);
  KWaveBuffer a{memA.data(), 10}, b{memB.data(), 6};
  KSimulatedWaveAudio sim;
};

// Frames of 2 bytes: a holds frames 0..4, b frames 5..7. The queue offers
// the unmoved frames in order and lets a buffer go once they are finished.
TEST_F(WaveTest, QueueOffersTheUnmovedFramesAndReleasesFinishedBuffers) {
  KWaveQueue queue;
  queue.Clear(2);
  KWaveBuffer c{memB.data(), 6}, odd{memC.data(), 3};
  EXPECT_FALSE(queue.Add(odd));
  ASSERT_TRUE(queue.Add(a));
  EXPECT_FALSE(queue.Add(a));  // already queued
  ASSERT_TRUE(queue.Add(b));
  EXPECT_FALSE(queue.Add(c));  // two at most
  EXPECT_EQ(std::tuple(c.InQueue, queue.Count(), a.End, b.End), std::tuple(false, 2, int64_t(5), int64_t(8)));
  const std::tuple<int64_t, uint8_t*, int64_t> moves[] = {
      {2, memA.data(), 5}, {3, memA.data() + 4, 3}, {10, memB.data(), 3}, {0, nullptr, 0}};
  for (auto [moved, data, frames] : moves) {
    EXPECT_EQ(std::pair(queue.Next().Data, queue.Next().Frames), std::pair(data, frames));
    queue.Moved(moved);
  }
  EXPECT_EQ(queue.MovedFrames(), 8);  // never past what was queued
  EXPECT_FALSE(queue.Release(a, 4) || queue.Release(b, 7));
  EXPECT_TRUE(a.InQueue);
  EXPECT_TRUE(queue.Release(a, 5));
  EXPECT_EQ(std::pair(a.InQueue, queue.OldestEnd()), std::pair(false, int64_t(8)));
  ASSERT_TRUE(queue.Add(a));  // a refilled buffer goes in behind the one still held
  EXPECT_EQ(std::pair(a.End, queue.Next().Data), std::pair(int64_t(13), memA.data()));
  EXPECT_TRUE(queue.Release(b, 8));
  EXPECT_EQ(queue.OldestEnd(), 13);
  queue.Clear(2);
  EXPECT_FALSE(a.InQueue || b.InQueue);
  EXPECT_EQ(queue.Count() + queue.MovedFrames() + queue.OldestEnd(), 0);
  EXPECT_TRUE(queue.Release(a, 0));  // no longer held: released at once
  ASSERT_TRUE(queue.Add(b));
  EXPECT_EQ(b.End, 3);
  // Frames heard: written less the delay, never going back.
  for (auto [delay, before, heard] :
       {std::tuple{300, 0, 700}, {0, 0, 1000}, {1500, 0, 0}, {300, 800, 800}, {-5, 0, 1000}, {300, 1200, 1000}})
    EXPECT_EQ(HeardFrames(1000, delay, before), heard) << delay << " " << before;
}

// Playable formats open a device once; the same format again resets it, any
// other closes and reopens it, and refused formats never reach the device.
TEST_F(WaveTest, FormatsOpenCloseAndReuseTheDevice) {
  struct Step {
    KWaveDirection direction;
    int channels, bits, rate;
    bool ok;
    int opens, closes, resets;
  };
  const Step steps[] = {
      {kOut, 1, 8, 8000, true, 1, 0, 1},   {kOut, 1, 8, 8000, true, 1, 0, 2},   {kOut, 2, 8, 8000, true, 2, 1, 3},
      {kOut, 2, 16, 8000, true, 3, 2, 4},  {kOut, 2, 16, 44100, true, 4, 3, 5}, {kOut, 1, 8, 3998, false, 4, 3, 5},
      {kOut, 1, 8, 44101, false, 4, 3, 5}, {kOut, 0, 8, 8000, false, 4, 3, 5},  {kOut, 3, 8, 8000, false, 4, 3, 5},
      {kOut, 1, 12, 8000, false, 4, 3, 5}, {kOut, 1, 24, 8000, false, 4, 3, 5}, {kOut, 2, 16, 44100, true, 4, 3, 6},
      {kIn, 1, 16, 3999, true, 1, 0, 1},   {kIn, 1, 8, 2100, false, 1, 0, 1},   {kOut, 1, 8, 3999, true, 5, 4, 7},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.channels << " " << s.bits << " " << s.rate);
    EXPECT_EQ(sim.Open(s.direction, s.channels, s.bits, s.rate), s.ok);
    EXPECT_TRUE(s.ok || !sim.Status().Message.empty());
    EXPECT_EQ(std::tuple(sim.Calls(KWaveOp::Open, s.direction), sim.Calls(KWaveOp::Close, s.direction),
                         sim.Calls(KWaveOp::Reset, s.direction)),
              std::tuple(s.opens, s.closes, s.resets));
  }
  testing::internal::CaptureStderr();
  EXPECT_TRUE(MxCloseAllWaveDeviceHandle(sim));
  EXPECT_FALSE(sim.CloseAll());  // says so once
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "MX MxCloseAllWaveDeviceHandle()\n");
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut) + sim.Calls(KWaveOp::Close, kIn), 6);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 6);
}

// A reset (also by opening the same format) returns every buffer and
// restarts the position; a failed open leaves no device.
TEST_F(WaveTest, ResetsReturnTheBuffersAndAFailedOpenLeavesNoDevice) {
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(PrepareAndQueue(kOut, a) && PrepareAndQueue(kOut, b));
    sim.Advance(kOut, 3);
    EXPECT_EQ(sim.Position(kOut), 3);
    ASSERT_TRUE(run == 0 ? sim.Reset(kOut) : sim.Open(kOut, 1, 8, 8000));
    EXPECT_EQ(std::tuple(a.InQueue, b.InQueue, sim.Position(kOut)), std::tuple(false, false, 0));
    EXPECT_EQ(sim.Unprepare(kOut, a), KWaveRelease::Done);
    sim.Advance(kOut, 20);
  }
  EXPECT_EQ(sim.Played().size(), 6u);
  sim.FailAt(KWaveOp::Open, kOut, 2);
  EXPECT_FALSE(sim.Open(kOut, 1, 16, 8000));
  EXPECT_EQ(sim.Status().Message, "simulated open failure");
  EXPECT_FALSE(sim.Prepare(kOut, a));
  EXPECT_TRUE(sim.Open(kOut, 1, 16, 8000) && sim.Prepare(kOut, a));
  EXPECT_EQ(std::pair(sim.Calls(KWaveOp::Open, kOut), sim.Calls(KWaveOp::Close, kOut)), std::pair(3, 1));
}

// Buffers must be whole frames, prepared and find room in the queue; output
// reads them when it plays them, lets them go once heard and idles when its
// queue runs dry; a wait moves the clock, and does nothing without a device.
TEST_F(WaveTest, OutputPlaysPreparedBuffersOfWholeFrames) {
  KWaveBuffer odd{memC.data(), 7}, none{nullptr, 4}, empty{memC.data(), 0}, c{memC.data(), 4};
  EXPECT_FALSE(sim.Prepare(kOut, c));  // no device open
  ASSERT_TRUE(sim.Open(kOut, 2, 8, 8000));
  for (KWaveBuffer* refused : {&odd, &none, &empty}) EXPECT_FALSE(sim.Prepare(kOut, *refused)) << refused->Bytes;
  EXPECT_FALSE(sim.Queue(kOut, c));
  ASSERT_TRUE(PrepareAndQueue(kOut, a) && PrepareAndQueue(kOut, b));
  EXPECT_FALSE(sim.Prepare(kOut, a));  // still in the queue
  EXPECT_FALSE(sim.Prepare(kOut, c) && sim.Queue(kOut, c));
  EXPECT_FALSE(c.InQueue);
  sim.Advance(kOut, 4);
  EXPECT_EQ(std::pair(sim.Unprepare(kOut, a), a.Prepared), std::pair(KWaveRelease::StillPlaying, true));
  memB.assign(6, 1);
  sim.Advance(kOut, 1);
  EXPECT_EQ(std::pair(sim.Unprepare(kOut, b), sim.Unprepare(kOut, a)),
            std::pair(KWaveRelease::StillPlaying, KWaveRelease::Done));
  EXPECT_FALSE(a.Prepared);
  ASSERT_TRUE(sim.Queue(kOut, c));
  sim.WhenWaiting = [this](KWaveDirection direction) { sim.Advance(direction, 2); };
  int waits = 0;
  for (; sim.Unprepare(kOut, c) == KWaveRelease::StillPlaying && waits < 10; ++waits) sim.Wait(kOut, 10);
  EXPECT_EQ(waits, 3);
  sim.Advance(kOut, 500);
  EXPECT_EQ(sim.Position(kOut), 10);
  std::vector<uint8_t> played = Counting(10, 0);
  played.insert(played.end(), {1, 1, 1, 1, 1, 1, 16, 17, 18, 19});
  EXPECT_EQ(sim.Played(), played);
  KSimulatedWaveAudio closed;
  closed.Wait(kOut, 10);
  EXPECT_EQ(closed.Calls(KWaveOp::Wait, kOut), 0);
}

// Input captures into the queued buffers in order once started, not before
// and not after a start that failed.
TEST_F(WaveTest, InputCapturesIntoTheQueuedBuffersOnceStarted) {
  KWaveBuffer c{memC.data(), 6};
  sim.SetInput(Counting(13, 1));
  sim.FailAt(KWaveOp::Start, kIn, 1);
  ASSERT_TRUE(sim.Open(kIn, 1, 16, 16000));
  ASSERT_TRUE(PrepareAndQueue(kIn, a) && PrepareAndQueue(kIn, c));
  sim.Advance(kIn, 2);
  EXPECT_FALSE(sim.Start(kIn));  // scripted to fail
  sim.Advance(kIn, 2);
  ASSERT_TRUE(sim.Start(kIn));
  sim.Advance(kIn, 2);
  EXPECT_EQ(std::pair(sim.Position(kIn), sim.Unprepare(kIn, a)), std::pair(int64_t(2), KWaveRelease::StillPlaying));
  sim.Advance(kIn, 3);
  EXPECT_EQ(std::pair(sim.Unprepare(kIn, a), sim.Unprepare(kIn, c)),
            std::pair(KWaveRelease::Done, KWaveRelease::StillPlaying));
  sim.Advance(kIn, 3);
  EXPECT_EQ(sim.Unprepare(kIn, c), KWaveRelease::Done);
  EXPECT_EQ(memA, Counting(10, 1));
  EXPECT_EQ(memC, (std::vector<uint8_t>{11, 12, 13, 0, 0, 0, 22}));
}

}  // namespace
