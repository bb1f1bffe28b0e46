#include <gtest/gtest.h>

#include <algorithm>

#include "WaveFixture.h"
#include "resources/StringTable.h"

namespace {

using Frames = std::vector<int32_t>;

class Playback : public WaveFixture {
 protected:
  // A voice of `frames` frames of counting bytes at 8000 Hz, ZiStart away from 1.
  std::vector<uint8_t> Load(int32_t channels, int32_t bits, int32_t frames) {
    std::vector<uint8_t> bytes = Counting(size_t(frames) * size_t(channels * bits / 8));
    Fill(Voice(), channels, bits, bytes);
    Voice().SampleRate = 8000;
    Voice().ZiStart = 700;
    return bytes;
  }
  // The bytes of frames from..to - 1 (1-based) of `bytes`.
  static std::vector<uint8_t> Range(const std::vector<uint8_t>& bytes, int32_t frameBytes, int32_t from, int32_t to) {
    return {bytes.begin() + (from - 1) * frameBytes, bytes.begin() + (to - 1) * frameBytes};
  }
  // True when the store can give all four of its views: playback kept none.
  bool ViewsFree() {
    uint8_t* views[KPcmMMap::kMaxViews];
    bool all = true;
    for (uint8_t*& view : views) all = (view = Voice().Storage->MapView(0, 1)) != nullptr && all;
    for (uint8_t* view : views) Voice().Storage->UnmapView(view);
    return all;
  }
  // What every play leaves: the pointer back at ZiStart, the cursor restored, no view held.
  void ExpectCleanEnd() {
    ASSERT_FALSE(positions_.empty());
    EXPECT_EQ(positions_.back(), Voice().ZiStart);
    EXPECT_EQ(ui_.Depth, 0);
    EXPECT_TRUE(ViewsFree());
  }
};

TEST_F(Playback, AMonoEightBitVoiceOf100000FramesQueues65536Then34463) {
  std::vector<uint8_t> bytes = Load(1, 8, 100000);
  Pace(4000);
  EXPECT_TRUE(Voice().PlayRange(1, Voice().END));
  EXPECT_EQ(audio_.QueuedOut(), (Frames{65536, 34463}));
  // Frames 1..99999 were heard; the frame at `to` never is.
  EXPECT_EQ(Sim().Played(), Range(bytes, 1, 1, 100000));
  EXPECT_TRUE(messages_.empty());
  // The pointer runs from the start to the last frame heard, then returns to ZiStart.
  ASSERT_GE(positions_.size(), 4u);
  EXPECT_EQ(positions_.front(), 1);
  EXPECT_TRUE(std::is_sorted(positions_.begin(), positions_.end() - 1));
  EXPECT_EQ(positions_.end()[-2], 100000);
  ExpectCleanEnd();
  EXPECT_EQ(ui_.Cursors, std::vector<KCursorRole>{KCursorRole::Play});
  // One pass of the loop per wait on the device, but for the passes that refilled a buffer.
  EXPECT_GE(Calls(KWaveOp::Wait, kOut), 99999 / 4000);
  EXPECT_LE(ui_.Polls, Calls(KWaveOp::Wait, kOut) + 3);
  EXPECT_EQ(Bytes(Voice()), bytes);
}

TEST_F(Playback, BuffersHold65536BytesInEveryFormat) {
  struct Case {
    int32_t channels, bits;
    Frames queued;
  };
  for (const Case& c : {Case{1, 16, {32768, 7231}}, Case{2, 8, {32768, 7231}}, Case{2, 16, {16384, 16384, 7231}}}) {
    SCOPED_TRACE(c.channels * 100 + c.bits);
    std::vector<uint8_t> bytes = Load(c.channels, c.bits, 40000);
    size_t before = Sim().Played().size();
    audio_.Queued[size_t(kOut)].clear();
    Pace(3000);
    EXPECT_TRUE(Voice().PlayRange(1, 40000));
    EXPECT_EQ(audio_.QueuedOut(), c.queued);
    EXPECT_EQ(std::vector<uint8_t>(Sim().Played().begin() + long(before), Sim().Played().end()),
              Range(bytes, c.channels * c.bits / 8, 1, 40000));
  }
}

TEST_F(Playback, TheDeviceReadsTheStoreItselfNotACopy) {
  std::vector<uint8_t> bytes = Load(1, 8, 50000);
  Sim().WhenWaiting = [this](KWaveDirection d) {
    if (Sim().Played().empty()) {
      uint8_t* view = Voice().Storage->MapView(30000, 1);
      *view = 0xEE;
      Voice().Storage->UnmapView(view);
    }
    Sim().Advance(d, 10000);
  };
  EXPECT_TRUE(Voice().PlayRange(1, 50000));
  ASSERT_EQ(Sim().Played().size(), 49999u);
  EXPECT_EQ(Sim().Played()[30000], 0xEE);
  EXPECT_EQ(Sim().Played()[29999], bytes[29999]);
}

TEST_F(Playback, EmptyRefusedAndShortRanges) {
  EXPECT_TRUE(Voice().PlayRange(1, Voice().END));  // an empty voice
  std::vector<uint8_t> bytes = Load(1, 8, 100);
  EXPECT_TRUE(Voice().PlayRange(5, 5));
  const std::pair<int32_t, int32_t> refused[] = {{6, 5}, {0, 5}, {5, 0}, {-3, 10}, {-3, -1}, {1, 102}, {101, 200}};
  for (auto [from, to] : refused) EXPECT_FALSE(Voice().PlayRange(from, to)) << from << ".." << to;
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 0);
  EXPECT_TRUE(positions_.empty());

  // 16 frames: the device is opened and reset, but nothing is queued.
  Pace(5);
  EXPECT_TRUE(Voice().PlayRange(10, 26));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 1);
  EXPECT_EQ(Calls(KWaveOp::Reset, kOut), 1);
  EXPECT_TRUE(audio_.QueuedOut().empty());
  EXPECT_EQ(positions_, (Frames{10, 700}));
  EXPECT_EQ(ui_.Depth, 0);

  EXPECT_TRUE(Voice().PlayRange(10, 27));
  EXPECT_EQ(audio_.QueuedOut(), Frames{17});
  EXPECT_EQ(Sim().Played(), Range(bytes, 1, 10, 27));
  // Up to END + 1: the last frame too.
  EXPECT_TRUE(Voice().PlayRange(1, 101));
  EXPECT_EQ(audio_.QueuedOut(), (Frames{17, 100}));
  EXPECT_TRUE(messages_.empty());
  ExpectCleanEnd();
}

TEST_F(Playback, TheDeviceIsReusedForTheSameFormatAndReopenedForAnother) {
  Load(1, 8, 1000);
  Pace(1000);
  ASSERT_TRUE(Voice().PlayRange(1, 1000));
  ASSERT_TRUE(Voice().PlayRange(1, 1000));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 1);
  EXPECT_EQ(Calls(KWaveOp::Reset, kOut), 2);
  Load(2, 16, 1000);
  ASSERT_TRUE(Voice().PlayRange(1, 1000));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 2);
  EXPECT_EQ(Calls(KWaveOp::Close, kOut), 1);
  // After the close-all of a deactivation the next play opens it again.
  testing::internal::CaptureStderr();
  MxCloseAllWaveDeviceHandle(audio_);
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(Voice().PlayRange(1, 1000));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 3);
  EXPECT_EQ(Sim().Played().size(), 999u * 2 + 999u * 4 * 2);
}

TEST_F(Playback, ADeviceThatDoesNotOpenShowsErrorSix) {
  const std::vector<std::string> errorSix{KLoadMessageText(msg::kWaveOutOpen)};
  Load(1, 8, 1000);
  Pace(1000);
  // A rate the device cannot take never reaches it.
  Voice().SampleRate = 3000;
  EXPECT_FALSE(Voice().PlayRange(1, 1000));
  EXPECT_EQ(messages_, errorSix);
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 0);
  EXPECT_EQ(Calls(KWaveOp::Reset, kOut), 0);

  messages_.clear();
  Voice().SampleRate = 8000;
  Sim().FailAt(KWaveOp::Open, kOut, 1);
  EXPECT_FALSE(Voice().PlayRange(1, 1000));
  EXPECT_EQ(messages_, errorSix);
  EXPECT_TRUE(positions_.empty());
  EXPECT_TRUE(ui_.Cursors.empty());
  EXPECT_TRUE(Voice().PlayRange(1, 1000));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 2);
  EXPECT_EQ(Sim().Played().size(), 999u);
}

struct Fault {
  KWaveOp Op;
  int Call;
  int Message;
};

class PlaybackFaults : public Playback, public testing::WithParamInterface<Fault> {};

// Each failure shows its message once, stops the device, gives back every
// buffer and leaves the voice as it was; the next play works.
TEST_P(PlaybackFaults, ShowTheirMessageAndLeaveNothingBehind) {
  const Fault fault = GetParam();
  std::vector<uint8_t> bytes = Load(1, 8, 100000);
  Sim().FailAt(fault.Op, kOut, fault.Call);
  Pace(20000);
  EXPECT_FALSE(Voice().PlayRange(1, 100000));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(fault.Message)});
  EXPECT_TRUE(Sim().Played().empty());
  ExpectCleanEnd();
  EXPECT_EQ(Bytes(Voice()), bytes);
  EXPECT_EQ(Voice().END, 100000);

  messages_.clear();
  EXPECT_TRUE(Voice().PlayRange(1, 100000));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Sim().Played(), Range(bytes, 1, 1, 100000));
}

INSTANTIATE_TEST_SUITE_P(Each, PlaybackFaults,
                         testing::Values(Fault{KWaveOp::Prepare, 1, msg::kWaveOutPrepare},
                                         Fault{KWaveOp::Prepare, 2, msg::kWaveOutPrepare},
                                         Fault{KWaveOp::Queue, 1, msg::kWaveOutWrite},
                                         Fault{KWaveOp::Queue, 2, msg::kWaveOutWrite}));

TEST_F(Playback, AStopRequestEndsThePlayWithinOnePass) {
  std::vector<uint8_t> bytes = Load(1, 8, 100000);
  Pace(1000);
  ui_.Stop = [](int poll) { return poll == 3; };
  EXPECT_FALSE(Voice().PlayRange(1, 100000));
  EXPECT_TRUE(messages_.empty());
  // Two waits were heard before the third poll stopped it.
  EXPECT_EQ(Sim().Played(), Range(bytes, 1, 1, 2001));
  EXPECT_EQ(positions_, (Frames{1, 1001, 2001, 700}));
  EXPECT_EQ(Calls(KWaveOp::Reset, kOut), 2);
  ExpectCleanEnd();

  ui_.Stop = nullptr;
  Sim().Advance(kOut, 100000);  // the reset queue has nothing left to play
  EXPECT_EQ(Sim().Played().size(), 2000u);
  EXPECT_TRUE(Voice().PlayRange(1, 100000));
  EXPECT_EQ(Sim().Played().size(), 2000u + 99999u);
}

// The display may hold two of the store's four views; playback needs the other two.
TEST_F(Playback, AViewThatCannotBeMappedStopsWithoutAMessage) {
  std::vector<uint8_t> bytes = Load(1, 8, 100000);
  Pace(50000);
  uint8_t* held[3] = {Voice().Storage->MapView(0, 1), Voice().Storage->MapView(1, 1), nullptr};
  EXPECT_TRUE(Voice().PlayRange(1, 100000));
  held[2] = Voice().Storage->MapView(2, 1);
  EXPECT_FALSE(Voice().PlayRange(1, 100000));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(audio_.QueuedOut(), (Frames{65536, 34463, 65536}));
  EXPECT_EQ(Sim().Played().size(), 99999u);
  for (uint8_t* view : held) Voice().Storage->UnmapView(view);
  ExpectCleanEnd();
}

}  // namespace
