#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "platform/SimulatedWaveAudio.h"

namespace {

constexpr KWaveDirection kOut = KWaveDirection::Output;
constexpr KWaveDirection kIn = KWaveDirection::Input;

// A buffer over `memory`, ready to prepare.
KWaveBuffer Over(std::vector<uint8_t>& memory) { return {memory.data(), int32_t(memory.size())}; }

std::vector<uint8_t> Counting(size_t n, uint8_t first) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

class SimulatedWaveAudioTest : public ::testing::Test {
 protected:
  bool PrepareAndQueue(KWaveDirection direction, KWaveBuffer& buffer) {
    return sim.Prepare(direction, buffer) && sim.Queue(direction, buffer);
  }

  KSimulatedWaveAudio sim;
};

TEST_F(SimulatedWaveAudioTest, AcceptsOnlyPlayableFormats) {
  EXPECT_TRUE(sim.Open(kOut, 1, 8, 3999));
  EXPECT_TRUE(sim.Open(kOut, 2, 16, 44100));
  EXPECT_TRUE(sim.Open(kIn, 1, 16, 3999));
  int opens = sim.Calls(KWaveOp::Open, kOut) + sim.Calls(KWaveOp::Open, kIn);
  EXPECT_FALSE(sim.Open(kOut, 1, 8, 3998));
  EXPECT_FALSE(sim.Open(kIn, 1, 8, 2100));
  EXPECT_FALSE(sim.Open(kOut, 1, 8, 44101));
  EXPECT_FALSE(sim.Open(kOut, 0, 8, 8000));
  EXPECT_FALSE(sim.Open(kOut, 3, 8, 8000));
  EXPECT_FALSE(sim.Open(kOut, 1, 12, 8000));
  EXPECT_FALSE(sim.Open(kOut, 1, 24, 8000));
  EXPECT_FALSE(sim.Status().Message.empty());
  // Refused formats never reach the devices, and the cached ones stay.
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut) + sim.Calls(KWaveOp::Open, kIn), opens);
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut), 1);
  EXPECT_TRUE(sim.Open(kOut, 2, 16, 44100));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 2);
}

TEST_F(SimulatedWaveAudioTest, SameFormatResetsAndReusesTheDevice) {
  std::vector<uint8_t> memory(64);
  KWaveBuffer a = Over(memory);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  ASSERT_TRUE(PrepareAndQueue(kOut, a));
  sim.Advance(kOut, 10);
  EXPECT_EQ(sim.Position(kOut), 10);

  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 1);
  EXPECT_EQ(sim.Calls(KWaveOp::Reset, kOut), 2);
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut), 0);
  EXPECT_FALSE(a.InQueue);
  EXPECT_EQ(sim.Position(kOut), 0);
  EXPECT_EQ(sim.Unprepare(kOut, a), KWaveRelease::Done);
}

TEST_F(SimulatedWaveAudioTest, AnotherFormatClosesAndReopens) {
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  ASSERT_TRUE(sim.Open(kOut, 2, 8, 8000));
  ASSERT_TRUE(sim.Open(kOut, 2, 16, 8000));
  ASSERT_TRUE(sim.Open(kOut, 2, 16, 8001));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 4);
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut), 3);
  // Each direction keeps its own device.
  ASSERT_TRUE(sim.Open(kIn, 1, 8, 8000));
  ASSERT_TRUE(sim.Open(kOut, 2, 16, 8001));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kIn), 1);
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 4);
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut), 3);
}

TEST_F(SimulatedWaveAudioTest, AFailedOpenLeavesNoDevice) {
  std::vector<uint8_t> memory(8);
  KWaveBuffer a = Over(memory);
  sim.FailAt(KWaveOp::Open, kOut, 2);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  EXPECT_FALSE(sim.Open(kOut, 1, 16, 8000));
  EXPECT_EQ(sim.Status().Message, "simulated open failure");
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut), 1);
  EXPECT_FALSE(sim.Prepare(kOut, a));
  // The failed format is not taken for a cached one: the next open tries again.
  EXPECT_TRUE(sim.Open(kOut, 1, 16, 8000));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 3);
  EXPECT_TRUE(sim.Prepare(kOut, a));
}

TEST_F(SimulatedWaveAudioTest, CloseAllClosesBothAndSaysSoOnce) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(sim.CloseAll());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  ASSERT_TRUE(sim.Open(kIn, 2, 16, 22050));
  testing::internal::CaptureStderr();
  EXPECT_TRUE(MxCloseAllWaveDeviceHandle(sim));
  EXPECT_FALSE(sim.CloseAll());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "MX MxCloseAllWaveDeviceHandle()\n");
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut), 1);
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kIn), 1);

  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 2);
}

TEST_F(SimulatedWaveAudioTest, BuffersNeedWholeFramesAndAPreparation) {
  std::vector<uint8_t> memory(7);
  KWaveBuffer odd = Over(memory);
  KWaveBuffer none{nullptr, 4};
  KWaveBuffer empty{memory.data(), 0};
  KWaveBuffer whole{memory.data(), 4};
  EXPECT_FALSE(sim.Prepare(kOut, whole));  // no device open
  ASSERT_TRUE(sim.Open(kOut, 2, 8, 8000));
  EXPECT_FALSE(sim.Prepare(kOut, odd));
  EXPECT_FALSE(sim.Prepare(kOut, none));
  EXPECT_FALSE(sim.Prepare(kOut, empty));
  EXPECT_FALSE(sim.Queue(kOut, whole));
  EXPECT_FALSE(whole.InQueue);
  ASSERT_TRUE(sim.Prepare(kOut, whole));
  ASSERT_TRUE(sim.Queue(kOut, whole));
  EXPECT_FALSE(sim.Prepare(kOut, whole));  // still in the queue
}

TEST_F(SimulatedWaveAudioTest, TheQueueHoldsTwoAndFreesThemInTurn) {
  std::vector<uint8_t> memA = Counting(100, 0), memB = Counting(50, 100), memC = Counting(30, 150);
  KWaveBuffer a = Over(memA), b = Over(memB), c = Over(memC);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  ASSERT_TRUE(PrepareAndQueue(kOut, a));
  ASSERT_TRUE(PrepareAndQueue(kOut, b));
  ASSERT_TRUE(sim.Prepare(kOut, c));
  EXPECT_FALSE(sim.Queue(kOut, c));

  sim.Advance(kOut, 99);
  EXPECT_EQ(sim.Position(kOut), 99);
  EXPECT_EQ(sim.Unprepare(kOut, a), KWaveRelease::StillPlaying);
  EXPECT_TRUE(a.Prepared);
  sim.Advance(kOut, 1);
  EXPECT_EQ(sim.Unprepare(kOut, b), KWaveRelease::StillPlaying);
  EXPECT_EQ(sim.Unprepare(kOut, a), KWaveRelease::Done);
  EXPECT_FALSE(a.Prepared);
  ASSERT_TRUE(sim.Queue(kOut, c));

  // The device idles once its queue runs dry: the position stops at the end.
  sim.Advance(kOut, 500);
  EXPECT_EQ(sim.Position(kOut), 180);
  EXPECT_EQ(sim.Unprepare(kOut, b), KWaveRelease::Done);
  EXPECT_EQ(sim.Unprepare(kOut, c), KWaveRelease::Done);
  EXPECT_EQ(sim.Played(), Counting(180, 0));
}

TEST_F(SimulatedWaveAudioTest, OutputReadsTheCallersMemoryWhenPlayed) {
  std::vector<uint8_t> memory(8, 1);
  KWaveBuffer a = Over(memory);
  ASSERT_TRUE(sim.Open(kOut, 2, 16, 8000));
  ASSERT_TRUE(PrepareAndQueue(kOut, a));
  sim.Advance(kOut, 1);
  memory.assign(8, 2);  // same storage, new contents
  sim.Advance(kOut, 1);
  EXPECT_EQ(sim.Played(), (std::vector<uint8_t>{1, 1, 1, 1, 2, 2, 2, 2}));
}

TEST_F(SimulatedWaveAudioTest, ResetReturnsEveryBuffer) {
  std::vector<uint8_t> memA(40), memB(40);
  KWaveBuffer a = Over(memA), b = Over(memB);
  ASSERT_TRUE(sim.Open(kOut, 2, 16, 8000));
  ASSERT_TRUE(PrepareAndQueue(kOut, a));
  ASSERT_TRUE(PrepareAndQueue(kOut, b));
  sim.Advance(kOut, 3);
  ASSERT_TRUE(sim.Reset(kOut));
  EXPECT_FALSE(a.InQueue);
  EXPECT_FALSE(b.InQueue);
  EXPECT_EQ(sim.Position(kOut), 0);
  EXPECT_EQ(sim.Unprepare(kOut, a), KWaveRelease::Done);
  EXPECT_EQ(sim.Unprepare(kOut, b), KWaveRelease::Done);
  sim.Advance(kOut, 20);
  EXPECT_EQ(sim.Played().size(), 12u);
}

TEST_F(SimulatedWaveAudioTest, InputCapturesIntoTheQueuedBuffersOnceStarted) {
  std::vector<uint8_t> memA(6), memB(6);
  KWaveBuffer a = Over(memA), b = Over(memB);
  sim.SetInput(Counting(9, 1));
  ASSERT_TRUE(sim.Open(kIn, 1, 16, 16000));
  ASSERT_TRUE(PrepareAndQueue(kIn, a));
  ASSERT_TRUE(PrepareAndQueue(kIn, b));
  sim.Advance(kIn, 2);
  EXPECT_EQ(sim.Position(kIn), 0);
  ASSERT_TRUE(sim.Start(kIn));
  sim.Advance(kIn, 2);
  EXPECT_EQ(sim.Position(kIn), 2);
  EXPECT_EQ(sim.Unprepare(kIn, a), KWaveRelease::StillPlaying);
  sim.Advance(kIn, 1);
  EXPECT_EQ(sim.Unprepare(kIn, a), KWaveRelease::Done);
  EXPECT_EQ(sim.Unprepare(kIn, b), KWaveRelease::StillPlaying);
  sim.Advance(kIn, 3);
  EXPECT_EQ(sim.Unprepare(kIn, b), KWaveRelease::Done);
  EXPECT_EQ(memA, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(memB, (std::vector<uint8_t>{7, 8, 9, 0, 0, 0}));
}

TEST_F(SimulatedWaveAudioTest, ScriptedFaultsFailTheirCallOnly) {
  std::vector<uint8_t> memA(4), memB(4);
  KWaveBuffer a = Over(memA), b = Over(memB);
  sim.FailAt(KWaveOp::Prepare, kOut, 2);
  sim.FailAt(KWaveOp::Queue, kIn, 1);
  sim.FailAt(KWaveOp::Start, kIn, 1);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  ASSERT_TRUE(sim.Open(kIn, 1, 8, 8000));
  EXPECT_TRUE(sim.Prepare(kOut, a));
  EXPECT_FALSE(sim.Prepare(kOut, b));
  EXPECT_EQ(sim.Status().Message, "simulated prepare failure");
  EXPECT_FALSE(b.Prepared);
  EXPECT_TRUE(sim.Prepare(kOut, b));
  EXPECT_TRUE(sim.Queue(kOut, a));

  EXPECT_TRUE(sim.Prepare(kIn, b));
  EXPECT_FALSE(sim.Queue(kIn, b));
  EXPECT_EQ(sim.Status().Message, "simulated queue failure");
  EXPECT_FALSE(b.InQueue);
  EXPECT_FALSE(sim.Start(kIn));
  EXPECT_TRUE(sim.Start(kIn));
}

TEST_F(SimulatedWaveAudioTest, WaitLetsTheScriptMoveTheClock) {
  std::vector<uint8_t> memory(100);
  KWaveBuffer a = Over(memory);
  sim.WhenWaiting = [this](KWaveDirection direction) { sim.Advance(direction, 30); };
  sim.Wait(kOut, 10);  // nothing open: returns at once
  EXPECT_EQ(sim.Calls(KWaveOp::Wait, kOut), 0);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  ASSERT_TRUE(PrepareAndQueue(kOut, a));
  int waits = 0;
  while (sim.Unprepare(kOut, a) == KWaveRelease::StillPlaying && waits < 10) {
    sim.Wait(kOut, 10);
    ++waits;
  }
  EXPECT_EQ(waits, 4);
  EXPECT_EQ(sim.Position(kOut), 100);
}

}  // namespace
