#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "WaveFixture.h"
#include "resources/StringTable.h"
#include "support/FileSizeLimit.h"

namespace {

using Frames = std::vector<int32_t>;
using Marks = std::array<int32_t, 5>;  // END, MKL, MKR, FLG, ZiStart

class Recording : public WaveFixture {
 protected:
  // Everything of a voice a failed recording must leave as it was.
  using State = std::tuple<std::vector<uint8_t>, int32_t, int32_t, int32_t, Marks, int, std::string>;
  State Now() {
    KPcmFiles& v = Voice();
    return {Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate, MarksOf(v), v.UndoDepth(), v.FileName};
  }
  static Marks MarksOf(const KPcmFiles& v) { return {v.END, v.MKL, v.MKR, v.FLG, v.ZiStart}; }

  // A voice of 300 mono 8-bit frames at 11025 Hz with one undo snapshot.
  void Existing() {
    FillMono8(Voice(), Counting(300));
    Voice().SampleRate = 11025;
    Voice().MKL = 20;
    Voice().FLG = 30;
    ASSERT_TRUE(Voice().SaveUndo("Undo : Echo"));
  }
  // The take's bytes: the input's first `frames` frames.
  static std::vector<uint8_t> Prefix(const std::vector<uint8_t>& input, size_t bytes) {
    return {input.begin(), input.begin() + long(bytes)};
  }
  void ExpectProgressUpTo(int32_t last) {
    ASSERT_FALSE(percents_.empty());
    EXPECT_EQ(percents_.front(), 0);
    EXPECT_TRUE(std::is_sorted(percents_.begin(), percents_.end()));
    EXPECT_EQ(percents_.back(), last);
  }
};

TEST_F(Recording, AStereoSixteenBitSecondAt44100UsesThreeBuffers) {
  Existing();
  ui_.Cursors.clear();
  const std::string file = Voice().FileName;
  std::vector<uint8_t> input = Counting(44100 * 4 + 4000);
  Sim().SetInput(input);
  Pace(5000);
  EXPECT_TRUE(Voice().RecordVoice(2, 16, 44100, 44100));
  EXPECT_EQ(audio_.QueuedIn(), (Frames{16384, 16384, 11331}));
  EXPECT_EQ(Calls(KWaveOp::Start, kIn), 1);
  EXPECT_EQ(MarksOf(Voice()), (Marks{44100, 1, 44100, 1, 1}));
  EXPECT_EQ(std::tie(Voice().Channels, Voice().BitsPerSample, Voice().SampleRate), std::tuple(2, 16, 44100));
  // 44099 captured frames and a silent END frame.
  std::vector<uint8_t> expected = Prefix(input, 44099 * 4);
  expected.resize(44100 * 4, 0);
  EXPECT_EQ(Bytes(Voice()), expected);
  EXPECT_EQ(Voice().Storage->Size(), 44100 * 4);
  ExpectProgressUpTo(100);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Voice().UndoDepth(), 0);
  EXPECT_TRUE(Voice().OverviewStale);
  EXPECT_GE(Voice().Refreshes, 1);
  EXPECT_EQ(Voice().FileName, file);
  EXPECT_EQ(ui_.Cursors, std::vector<KCursorRole>{KCursorRole::Play});
  EXPECT_EQ(ui_.Depth, 0);
}

TEST_F(Recording, TheEndFrameIsSilenceInEightBitsToo) {
  Sim().SetInput(std::vector<uint8_t>(20000, 0x10));
  Pace(3000);
  EXPECT_TRUE(Voice().RecordVoice(1, 8, 16000, 16000));
  EXPECT_EQ(audio_.QueuedIn(), Frames{15999});
  // The buffer was silent when queued: frames a device counts but never writes stay silent.
  EXPECT_EQ(audio_.InputFill, std::vector<int>{0x80});
  std::vector<uint8_t> expected(15999, 0x10);
  expected.push_back(0x80);
  EXPECT_EQ(Bytes(Voice()), expected);
  // One frame: no buffer at all, only the silent END frame.
  EXPECT_TRUE(Voice().RecordVoice(2, 8, 1, 8000));
  EXPECT_EQ(audio_.QueuedIn(), Frames{15999});
  EXPECT_EQ(MarksOf(Voice()), (Marks{1, 1, 1, 1, 1}));
  EXPECT_EQ(Bytes(Voice()), (std::vector<uint8_t>{0x80, 0x80}));
}

// The take goes into a store of its own: until it ends the voice is the old one.
TEST_F(Recording, TheVoiceTakesTheRecordingOnlyAtTheEnd) {
  Existing();
  const State before = Now();
  int checks = 0;
  Sim().WhenWaiting = [&](KWaveDirection d) {
    EXPECT_EQ(Now(), before);
    ++checks;
    Sim().Advance(d, 2000);
  };
  EXPECT_TRUE(Voice().RecordVoice(1, 16, 10000, 8000));
  EXPECT_GE(checks, 5);
  EXPECT_EQ(MarksOf(Voice()), (Marks{10000, 1, 10000, 1, 1}));
  EXPECT_EQ(Bytes(Voice()), std::vector<uint8_t>(20000, 0));
}

TEST_F(Recording, AStopBeforeAnythingWasCapturedLeavesAnEmptyVoice) {
  Existing();
  ui_.Stop = [](int) { return true; };
  Pace(1000);
  EXPECT_TRUE(Voice().RecordVoice(2, 16, 44100, 22050));
  EXPECT_EQ(MarksOf(Voice()), (Marks{0, 0, 0, 0, 0}));
  EXPECT_EQ(Voice().Storage->Size(), 16);
  EXPECT_EQ(std::tie(Voice().Channels, Voice().BitsPerSample, Voice().SampleRate), std::tuple(2, 16, 22050));
  EXPECT_EQ(Voice().UndoDepth(), 0);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Calls(KWaveOp::Reset, kIn), 2);  // on opening and on stopping
  EXPECT_EQ(ui_.Depth, 0);
}

TEST_F(Recording, AStopKeepsWhatWasCapturedUpToIt) {
  std::vector<uint8_t> input = Counting(100000);
  Sim().SetInput(input);
  Pace(1000);
  ui_.Stop = [](int poll) { return poll == 4; };
  EXPECT_TRUE(Voice().RecordVoice(1, 16, 40000, 8000));
  // Three waits captured 1000 frames each before the fourth poll stopped it.
  EXPECT_EQ(MarksOf(Voice()), (Marks{3000, 1, 3000, 1, 1}));
  EXPECT_EQ(Bytes(Voice()), Prefix(input, 3000 * 2));
  EXPECT_EQ(Voice().Storage->Size(), 3000 * 2);
  ExpectProgressUpTo(3001 * 100 / 40000);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Recording, RefusedArgumentsAndRatesTouchNothing) {
  Existing();
  const State before = Now();
  const std::tuple<int32_t, int32_t, int32_t> refused[] = {
      {3, 16, 100}, {0, 8, 100}, {1, 12, 100}, {1, 8, 0}, {2, 8, -5}};
  for (auto [channels, bits, frames] : refused) EXPECT_FALSE(Voice().RecordVoice(channels, bits, frames, 16000));
  EXPECT_TRUE(messages_.empty());
  // 2100..3998 Hz load from files and pass the dialog, but no device takes them.
  EXPECT_FALSE(Voice().RecordVoice(1, 8, 100, 3000));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveInOpen)});
  EXPECT_EQ(Calls(KWaveOp::Open, kIn), 0);
  EXPECT_EQ(Now(), before);
}

struct Fault {
  KWaveOp Op;
  int Call;
  int Message;
};

class RecordingFaults : public Recording, public testing::WithParamInterface<Fault> {};

// A device that fails before it captured anything leaves the voice and its
// undo as they were; the next recording works.
TEST_P(RecordingFaults, BeforeCaptureLeaveTheVoiceAsItWas) {
  const Fault fault = GetParam();
  Existing();
  const State before = Now();
  Sim().FailAt(fault.Op, kIn, fault.Call);
  Pace(5000);
  EXPECT_FALSE(Voice().RecordVoice(2, 16, 44100, 44100));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(fault.Message)});
  EXPECT_EQ(Now(), before);
  EXPECT_EQ(ui_.Depth, 0);

  messages_.clear();
  EXPECT_TRUE(Voice().RecordVoice(2, 16, 44100, 44100));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Voice().END, 44100);
}

INSTANTIATE_TEST_SUITE_P(
    Each, RecordingFaults,
    testing::Values(Fault{KWaveOp::Open, 1, msg::kWaveInOpen}, Fault{KWaveOp::Prepare, 1, msg::kWaveInPrepare},
                    Fault{KWaveOp::Prepare, 2, msg::kWaveInPrepare}, Fault{KWaveOp::Queue, 1, msg::kWaveInAddBuffer},
                    Fault{KWaveOp::Queue, 2, msg::kWaveInAddBuffer}, Fault{KWaveOp::Start, 1, msg::kWaveInStart}));

TEST_F(Recording, AFailureAfterCaptureBeganKeepsWhatWasCaptured) {
  Existing();
  std::vector<uint8_t> input = Counting(44100 * 4);
  Sim().SetInput(input);
  Sim().FailAt(KWaveOp::Prepare, kIn, 3);  // the third buffer, once A is back
  Pace(5000);
  EXPECT_TRUE(Voice().RecordVoice(2, 16, 44100, 44100));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveInPrepare)});
  // A came back after the fourth wait: 20000 frames were captured by then.
  EXPECT_EQ(MarksOf(Voice()), (Marks{20000, 1, 20000, 1, 1}));
  EXPECT_EQ(Bytes(Voice()), Prefix(input, 20000 * 4));
  EXPECT_EQ(Voice().UndoDepth(), 0);
}

TEST_F(Recording, AStoreThatCannotGrowChangesNothing) {
  Existing();
  const State before = Now();
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(Voice().RecordVoice(1, 8, 100000, 8000));
  }
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind("Swap file error \n\nThe swap folder : " + swap_ + " \n", 0), 0u) << messages_[0];
  EXPECT_TRUE(audio_.QueuedIn().empty());
  EXPECT_EQ(Now(), before);
}

TEST_F(Recording, TheDeviceIsReusedForTheSameFormat) {
  Pace(10000);
  ASSERT_TRUE(Voice().RecordVoice(1, 8, 5000, 8000));
  ASSERT_TRUE(Voice().RecordVoice(1, 8, 9000, 8000));
  EXPECT_EQ(Calls(KWaveOp::Open, kIn), 1);
  ASSERT_TRUE(Voice().RecordVoice(1, 8, 9000, 8025));
  EXPECT_EQ(Calls(KWaveOp::Open, kIn), 2);
  EXPECT_EQ(Calls(KWaveOp::Close, kIn), 1);
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 0);
}

// 25 million frames: recorded x 100 passes 32 bits long before the end.
TEST_F(Recording, TheProgressOfALongTakeStaysWithinZeroToHundred) {
  Pace(1000000);
  ASSERT_TRUE(Voice().RecordVoice(1, 8, 25000000, 44100));
  EXPECT_EQ(Voice().END, 25000000);
  ExpectProgressUpTo(100);
  EXPECT_GE(percents_.size(), 25u);
}

}  // namespace
