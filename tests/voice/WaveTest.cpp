// Playback and recording on the simulated wave devices: the buffers queued,
// the frames heard or captured, the play pointer and record progress, stop
// requests, device failures, and what each leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "VoiceTests.h"
#include "platform/SimulatedWaveAudio.h"
#include "support/FileSizeLimit.h"

namespace {

using Frames = std::vector<int32_t>;

// The simulated devices, with the frames of each buffer queued in either
// direction and, for each input buffer, the value all its bytes held (or -1).
class KLoggedWaveAudio final : public KWaveAudio {
 public:
  bool Open(KWaveDirection d, int channels, int bits, int rate) override {
    frameBytes_[size_t(d)] = channels * bits / 8;
    return Sim.Open(d, channels, bits, rate);
  }
  bool CloseAll() override { return Sim.CloseAll(); }
  bool Reset(KWaveDirection d) override { return Sim.Reset(d); }
  bool Prepare(KWaveDirection d, KWaveBuffer& buffer) override { return Sim.Prepare(d, buffer); }
  bool Queue(KWaveDirection d, KWaveBuffer& buffer) override {
    const uint8_t* b = buffer.Data;
    if (d == KWaveDirection::Input)
      InputFill.push_back(std::all_of(b, b + buffer.Bytes, [&](uint8_t x) { return x == *b; }) ? *b : -1);
    if (!Sim.Queue(d, buffer)) return false;
    Queued[size_t(d)].push_back(buffer.Bytes / frameBytes_[size_t(d)]);
    return true;
  }
  bool Start(KWaveDirection d) override { return Sim.Start(d); }
  int64_t Position(KWaveDirection d) override { return Sim.Position(d); }
  KWaveRelease Unprepare(KWaveDirection d, KWaveBuffer& buffer) override { return Sim.Unprepare(d, buffer); }
  void Wait(KWaveDirection d, int ms) override { Sim.Wait(d, ms); }
  const KStatus& Status() const override { return Sim.Status(); }

  KSimulatedWaveAudio Sim;
  Frames Queued[2];
  std::vector<int> InputFill;

 private:
  int frameBytes_[2] = {1, 1};
};

// A window stand-in that counts cursors and answers the stop poll (given the
// number of the poll, from 1), and logs the play pointer and the progress.
struct KTestUi final : KUiHooks {
  void PushCursor(KCursorRole role) override { Cursors.push_back(role), ++Depth; }
  void PopCursor() override { --Depth; }
  bool StopRequested() override { return ++Polls, Stop && Stop(Polls); }
  std::vector<KCursorRole> Cursors;
  int Depth = 0, Polls = 0, Refreshes = 0;
  std::function<bool(int)> Stop;
  Frames Positions, Percents;
};

class KLoggingVoice final : public KHeadlessVoice {
 public:
  KLoggingVoice(KBankSet& set, int32_t bank, MessageSink sink, KTestUi& ui)
      : KHeadlessVoice(set, bank, std::move(sink)), ui_(ui) {}
  bool ShowPlayPosition(int32_t position) override { return ui_.Positions.push_back(position), true; }
  bool ShowRecordProgress(int32_t percent) override { return ui_.Percents.push_back(percent), true; }
  bool Refresh() override { return ++ui_.Refreshes, true; }

 private:
  KTestUi& ui_;
};

class Wave : public VoiceTests {
 protected:
  static constexpr KWaveDirection kOut = KWaveDirection::Output, kIn = KWaveDirection::Input;
  Wave()
      : set_(
            swap_,
            [this](KBankSet& set, int32_t index) -> std::unique_ptr<KPcmFiles> {
              return std::make_unique<KLoggingVoice>(
                  set, index, [this](const std::string& text) { messages_.push_back(text); }, ui_);
            },
            &ui_, &audio_) {
    set_.SelectBank(1);
  }
  KPcmFiles& V() { return *set_.CurrentVoice; }
  KSimulatedWaveAudio& Sim() { return audio_.Sim; }
  const Frames& QueuedOut() { return audio_.Queued[size_t(kOut)]; }
  const Frames& QueuedIn() { return audio_.Queued[size_t(kIn)]; }
  // On every wait of a loop the device moves `frames` frames.
  void Pace(int64_t frames) {
    Sim().WhenWaiting = [this, frames](KWaveDirection d) { Sim().Advance(d, frames); };
  }
  int Calls(KWaveOp op, KWaveDirection d) const { return audio_.Sim.Calls(op, d); }
  // Bytes 0, 1, 2, ... (mod 251, so that no buffer boundary repeats a pattern).
  static std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i % 251);
    return bytes;
  }
  // A voice of `frames` frames of counting bytes at 8000 Hz, ZiStart away from 1.
  std::vector<uint8_t> Give(int32_t channels, int32_t bits, int32_t frames) {
    std::vector<uint8_t> bytes = Counting(size_t(frames) * size_t(channels * bits / 8));
    Fill(V(), channels, bits, bytes);
    V().SampleRate = 8000;
    V().ZiStart = 700;
    return bytes;
  }
  // A voice of 300 mono 8-bit frames at 11025 Hz with one undo snapshot.
  void Existing() {
    FillMono8(V(), Counting(300));
    V().SampleRate = 11025;
    Mark(V(), 20, 300, 30);
    ASSERT_TRUE(V().SaveUndo("Undo : Echo"));
  }
  // Everything of a voice a failed recording must leave as it was.
  auto Now() { return std::make_tuple(Capture(V()), V().UndoDepth(), V().FileName); }
  // The bytes of frames from..to - 1 (1-based) of `bytes`.
  static std::vector<uint8_t> Range(const std::vector<uint8_t>& bytes, int32_t frameBytes, int32_t from, int32_t to) {
    return {bytes.begin() + (from - 1) * frameBytes, bytes.begin() + (to - 1) * frameBytes};
  }
  // What every play leaves: the pointer back at ZiStart, the cursor restored, none of the store's views held.
  void ExpectCleanEnd() {
    ASSERT_FALSE(ui_.Positions.empty());
    EXPECT_EQ(ui_.Positions.back(), V().ZiStart);
    EXPECT_EQ(ui_.Depth, 0);
    uint8_t* views[KPcmMMap::kMaxViews];
    bool all = true;
    for (uint8_t*& view : views) all = (view = V().Storage->MapView(0, 1)) != nullptr && all;
    for (uint8_t* view : views) V().Storage->UnmapView(view);
    EXPECT_TRUE(all);
  }
  void ExpectProgressUpTo(int32_t last) {
    ASSERT_FALSE(ui_.Percents.empty());
    EXPECT_EQ(ui_.Percents.front(), 0);
    EXPECT_TRUE(std::is_sorted(ui_.Percents.begin(), ui_.Percents.end()));
    EXPECT_EQ(ui_.Percents.back(), last);
  }

  KLoggedWaveAudio audio_;
  KTestUi ui_;
  KBankSet set_;
};

// Buffers of 65536 bytes; the frame at `to` is never heard; the pointer runs
// from the start to the last frame heard, then returns to ZiStart; one pass of
// the loop per wait on the device, but for the passes that refilled a buffer.
TEST_F(Wave, PlayQueuesBuffersOf65536BytesInEveryFormat) {
  for (auto [channels, bits, frames, queued] : {std::tuple{1, 8, 100000, Frames{65536, 34463}},
                                                {1, 16, 40000, Frames{32768, 7231}},
                                                {2, 8, 40000, Frames{32768, 7231}},
                                                {2, 16, 40000, Frames{16384, 16384, 7231}}}) {
    SCOPED_TRACE(channels * 100 + bits);
    const std::vector<uint8_t> bytes = Give(channels, bits, frames);
    const size_t before = Sim().Played().size();
    audio_.Queued[size_t(kOut)].clear();
    ui_.Positions.clear(), ui_.Cursors.clear(), ui_.Polls = 0;
    Pace(4000);
    const int waits = Calls(KWaveOp::Wait, kOut);
    EXPECT_TRUE(V().PlayRange(1, V().END));
    EXPECT_EQ(QueuedOut(), queued);
    EXPECT_EQ(std::vector<uint8_t>(Sim().Played().begin() + long(before), Sim().Played().end()),
              Range(bytes, channels * bits / 8, 1, frames));
    EXPECT_TRUE(messages_.empty());
    ASSERT_GE(ui_.Positions.size(), 4u);
    EXPECT_EQ(ui_.Positions.front(), 1);
    EXPECT_TRUE(std::is_sorted(ui_.Positions.begin(), ui_.Positions.end() - 1));
    EXPECT_EQ(ui_.Positions.end()[-2], frames);
    ExpectCleanEnd();
    EXPECT_EQ(ui_.Cursors, std::vector<KCursorRole>{KCursorRole::Play});
    EXPECT_GE(Calls(KWaveOp::Wait, kOut) - waits, (frames - 1) / 4000);
    EXPECT_LE(ui_.Polls, Calls(KWaveOp::Wait, kOut) - waits + int(queued.size()) + 1);
    EXPECT_EQ(Bytes(V()), bytes);
  }
}

TEST_F(Wave, TheDeviceReadsTheStoreItselfNotACopy) {
  std::vector<uint8_t> bytes = Give(1, 8, 50000);
  Sim().WhenWaiting = [this](KWaveDirection d) {
    if (Sim().Played().empty()) {
      uint8_t* view = V().Storage->MapView(30000, 1);
      *view = 0xEE;
      V().Storage->UnmapView(view);
    }
    Sim().Advance(d, 10000);
  };
  EXPECT_TRUE(V().PlayRange(1, 50000));
  ASSERT_EQ(Sim().Played().size(), 49999u);
  EXPECT_EQ(Sim().Played()[30000], 0xEE);
  EXPECT_EQ(Sim().Played()[29999], bytes[29999]);
}

TEST_F(Wave, PlayOfEmptyRefusedAndShortRanges) {
  EXPECT_TRUE(V().PlayRange(1, V().END));  // an empty voice
  std::vector<uint8_t> bytes = Give(1, 8, 100);
  EXPECT_TRUE(V().PlayRange(5, 5));
  for (auto [from, to] : {std::pair{6, 5}, {0, 5}, {5, 0}, {-3, 10}, {-3, -1}, {1, 102}, {101, 200}})
    EXPECT_FALSE(V().PlayRange(from, to)) << from << ".." << to;
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 0);
  EXPECT_TRUE(ui_.Positions.empty());
  // 16 frames: the device is opened and reset, but nothing is queued.
  Pace(5);
  EXPECT_TRUE(V().PlayRange(10, 26));
  EXPECT_EQ(std::make_tuple(Calls(KWaveOp::Open, kOut), Calls(KWaveOp::Reset, kOut), ui_.Depth), std::tuple(1, 1, 0));
  EXPECT_TRUE(QueuedOut().empty());
  EXPECT_EQ(ui_.Positions, (Frames{10, 700}));
  EXPECT_TRUE(V().PlayRange(10, 27));
  EXPECT_EQ(QueuedOut(), Frames{17});
  EXPECT_EQ(Sim().Played(), Range(bytes, 1, 10, 27));
  EXPECT_TRUE(V().PlayRange(1, 101));  // up to END + 1: the last frame too
  EXPECT_EQ(QueuedOut(), (Frames{17, 100}));
  EXPECT_TRUE(messages_.empty());
  ExpectCleanEnd();
}

// Either device is reused for the same format and reopened for another, and
// after the close-all of a deactivation.
TEST_F(Wave, TheDevicesAreReusedForTheSameFormat) {
  Give(1, 8, 1000);
  Pace(10000);
  ASSERT_TRUE(V().PlayRange(1, 1000) && V().PlayRange(1, 1000));
  EXPECT_EQ(std::make_tuple(Calls(KWaveOp::Open, kOut), Calls(KWaveOp::Reset, kOut)), std::tuple(1, 2));
  Give(2, 16, 1000);
  ASSERT_TRUE(V().PlayRange(1, 1000));
  EXPECT_EQ(std::make_tuple(Calls(KWaveOp::Open, kOut), Calls(KWaveOp::Close, kOut)), std::tuple(2, 1));
  testing::internal::CaptureStderr();
  MxCloseAllWaveDeviceHandle(audio_);
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(V().PlayRange(1, 1000));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), 3);
  EXPECT_EQ(Sim().Played().size(), 999u * 2 + 999u * 4 * 2);
  ASSERT_TRUE(V().RecordVoice(1, 8, 5000, 8000) && V().RecordVoice(1, 8, 9000, 8000));
  EXPECT_EQ(Calls(KWaveOp::Open, kIn), 1);
  ASSERT_TRUE(V().RecordVoice(1, 8, 9000, 8025));
  EXPECT_EQ(std::make_tuple(Calls(KWaveOp::Open, kIn), Calls(KWaveOp::Close, kIn)), std::tuple(2, 1));
}

// A rate no device takes never reaches it; each failure shows its message
// once, stops the device, gives back every buffer and leaves the voice as it
// was; the next play works.
TEST_F(Wave, PlayFailuresShowTheirMessageAndLeaveNothingBehind) {
  const std::vector<uint8_t> bytes = Give(1, 8, 100000);
  V().SampleRate = 3000;
  EXPECT_FALSE(V().PlayRange(1, 1000));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveOutOpen)});
  EXPECT_EQ(Calls(KWaveOp::Open, kOut) + Calls(KWaveOp::Reset, kOut), 0);
  V().SampleRate = 8000;
  Pace(20000);
  for (auto [op, call, message] : {std::tuple{KWaveOp::Open, 1, msg::kWaveOutOpen},
                                   {KWaveOp::Prepare, 1, msg::kWaveOutPrepare},
                                   {KWaveOp::Prepare, 2, msg::kWaveOutPrepare},
                                   {KWaveOp::Queue, 1, msg::kWaveOutWrite},
                                   {KWaveOp::Queue, 2, msg::kWaveOutWrite}}) {
    SCOPED_TRACE(message * 10 + call);
    messages_.clear(), ui_.Positions.clear(), ui_.Cursors.clear();
    const size_t played = Sim().Played().size();
    Sim().FailAt(op, kOut, Calls(op, kOut) + call);
    EXPECT_FALSE(V().PlayRange(1, 100000));
    EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(message)});
    EXPECT_EQ(Sim().Played().size(), played);
    if (op == KWaveOp::Open) {
      EXPECT_TRUE(ui_.Positions.empty() && ui_.Cursors.empty());
    } else {
      ExpectCleanEnd();
    }
    EXPECT_EQ(std::make_tuple(Bytes(V()), V().END), std::make_tuple(bytes, 100000));
    messages_.clear();
    EXPECT_TRUE(V().PlayRange(1, 100000));
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(std::vector<uint8_t>(Sim().Played().begin() + long(played), Sim().Played().end()),
              Range(bytes, 1, 1, 100000));
  }
}

TEST_F(Wave, AStopRequestEndsThePlayWithinOnePass) {
  std::vector<uint8_t> bytes = Give(1, 8, 100000);
  Pace(1000);
  ui_.Stop = [](int poll) { return poll == 3; };
  EXPECT_FALSE(V().PlayRange(1, 100000));
  EXPECT_TRUE(messages_.empty());
  // Two waits were heard before the third poll stopped it.
  EXPECT_EQ(Sim().Played(), Range(bytes, 1, 1, 2001));
  EXPECT_EQ(ui_.Positions, (Frames{1, 1001, 2001, 700}));
  EXPECT_EQ(Calls(KWaveOp::Reset, kOut), 2);
  ExpectCleanEnd();
  ui_.Stop = nullptr;
  Sim().Advance(kOut, 100000);  // the reset queue has nothing left to play
  EXPECT_EQ(Sim().Played().size(), 2000u);
  EXPECT_TRUE(V().PlayRange(1, 100000));
  EXPECT_EQ(Sim().Played().size(), 2000u + 99999u);
}

// The display may hold two of the store's four views; playback needs the other two.
TEST_F(Wave, AViewThatCannotBeMappedStopsThePlayWithoutAMessage) {
  Give(1, 8, 100000);
  Pace(50000);
  uint8_t* held[3] = {V().Storage->MapView(0, 1), V().Storage->MapView(1, 1), nullptr};
  EXPECT_TRUE(V().PlayRange(1, 100000));
  held[2] = V().Storage->MapView(2, 1);
  EXPECT_FALSE(V().PlayRange(1, 100000));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(QueuedOut(), (Frames{65536, 34463, 65536}));
  EXPECT_EQ(Sim().Played().size(), 99999u);
  for (uint8_t* view : held) V().Storage->UnmapView(view);
  ExpectCleanEnd();
}

// A take goes into a store of its own: until it ends the voice is the old one;
// then it holds the captured frames and a silent END frame, marked whole, with
// no snapshots and its file name kept.
TEST_F(Wave, RecordingsInBuffersOf65536Bytes) {
  Existing();
  ui_.Cursors.clear();
  const std::string file = V().FileName;
  const auto before = Now();
  std::vector<uint8_t> input = Counting(44100 * 4 + 4000);
  Sim().SetInput(input);
  int checks = 0;
  Sim().WhenWaiting = [&](KWaveDirection d) {
    EXPECT_EQ(Now(), before);
    Sim().Advance(d, 5000), ++checks;
  };
  EXPECT_TRUE(V().RecordVoice(2, 16, 44100, 44100));
  EXPECT_GE(checks, 5);
  EXPECT_EQ(QueuedIn(), (Frames{16384, 16384, 11331}));
  EXPECT_EQ(Calls(KWaveOp::Start, kIn), 1);
  input.resize(44099 * 4);
  input.resize(44100 * 4, 0);
  EXPECT_EQ(Capture(V()), Whole(2, 16, 44100, input));
  EXPECT_EQ(V().Storage->Size(), 44100 * 4);
  ExpectProgressUpTo(100);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(std::make_tuple(V().UndoDepth(), V().OverviewStale, V().FileName), std::make_tuple(0, true, file));
  EXPECT_GE(ui_.Refreshes, 1);
  EXPECT_EQ(ui_.Cursors, std::vector<KCursorRole>{KCursorRole::Play});
  EXPECT_EQ(ui_.Depth, 0);
  // The buffer is silent when queued: frames a device counts but never writes stay silent.
  Sim().SetInput(std::vector<uint8_t>(20000, 0x10));
  Pace(3000);
  EXPECT_TRUE(V().RecordVoice(1, 8, 16000, 16000));
  EXPECT_EQ(audio_.InputFill.back(), 0x80);
  std::vector<uint8_t> expected(15999, 0x10);
  expected.push_back(0x80);
  EXPECT_EQ(Bytes(V()), expected);
  // One frame: no buffer at all, only the silent END frame.
  const size_t queued = QueuedIn().size();
  EXPECT_TRUE(V().RecordVoice(2, 8, 1, 8000));
  EXPECT_EQ(QueuedIn().size(), queued);
  EXPECT_EQ(Capture(V()), Whole(2, 8, 8000, {0x80, 0x80}));
}

// A stop keeps what was captured up to it: nothing leaves an empty voice.
TEST_F(Wave, AStopEndsTheRecordingWithWhatWasCaptured) {
  Existing();
  ui_.Stop = [](int) { return true; };
  Pace(1000);
  EXPECT_TRUE(V().RecordVoice(2, 16, 44100, 22050));
  EXPECT_EQ(Capture(V()), Whole(2, 16, 22050, {}));
  EXPECT_EQ(std::make_tuple(V().Storage->Size(), V().UndoDepth(), ui_.Depth), std::tuple(16, 0, 0));
  EXPECT_EQ(Calls(KWaveOp::Reset, kIn), 2);  // on opening and on stopping
  std::vector<uint8_t> input = Counting(100000);
  Sim().SetInput(input);
  ui_.Polls = 0, ui_.Percents.clear();
  ui_.Stop = [](int poll) { return poll == 4; };
  EXPECT_TRUE(V().RecordVoice(1, 16, 40000, 8000));
  // Three waits captured 1000 frames each before the fourth poll stopped it.
  input.resize(3000 * 2);
  EXPECT_EQ(Capture(V()), Whole(1, 16, 8000, input));
  EXPECT_EQ(V().Storage->Size(), 3000 * 2);
  ExpectProgressUpTo(3001 * 100 / 40000);
  EXPECT_TRUE(messages_.empty());
}

// Refused arguments and rates, a device that fails before it captured
// anything and a store that cannot grow leave the voice and its undo as they
// were; the next recording works. A failure after capture began keeps what
// was captured.
TEST_F(Wave, RecordFailures) {
  Existing();
  const auto before = Now();
  for (auto [channels, bits, frames] : {std::tuple{3, 16, 100}, {0, 8, 100}, {1, 12, 100}, {1, 8, 0}, {2, 8, -5}})
    EXPECT_FALSE(V().RecordVoice(channels, bits, frames, 16000));
  EXPECT_TRUE(messages_.empty());
  // 2100..3998 Hz load from files and pass the dialog, but no device takes them.
  EXPECT_FALSE(V().RecordVoice(1, 8, 100, 3000));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveInOpen)});
  EXPECT_EQ(Calls(KWaveOp::Open, kIn), 0);
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(V().RecordVoice(1, 8, 100000, 8000));
  }
  EXPECT_EQ(LastMessage().rfind("Swap file error \n\nThe swap folder : " + swap_ + " \n", 0), 0u) << LastMessage();
  EXPECT_TRUE(QueuedIn().empty());
  EXPECT_EQ(Now(), before);
  Pace(5000);
  for (auto [op, call, message] : {std::tuple{KWaveOp::Open, 1, msg::kWaveInOpen},
                                   {KWaveOp::Prepare, 1, msg::kWaveInPrepare},
                                   {KWaveOp::Prepare, 2, msg::kWaveInPrepare},
                                   {KWaveOp::Queue, 1, msg::kWaveInAddBuffer},
                                   {KWaveOp::Queue, 2, msg::kWaveInAddBuffer},
                                   {KWaveOp::Start, 1, msg::kWaveInStart}}) {
    SCOPED_TRACE(message * 10 + call);
    Existing();
    const auto existing = Now();
    messages_.clear();
    Sim().FailAt(op, kIn, Calls(op, kIn) + call);
    EXPECT_FALSE(V().RecordVoice(2, 16, 44100, 44100));
    EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(message)});
    EXPECT_EQ(Now(), existing);
    EXPECT_EQ(ui_.Depth, 0);
    messages_.clear();
    EXPECT_TRUE(V().RecordVoice(2, 16, 44100, 44100));
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(V().END, 44100);
  }
  Existing();
  std::vector<uint8_t> input = Counting(44100 * 4);
  Sim().SetInput(input);
  Sim().FailAt(KWaveOp::Prepare, kIn, Calls(KWaveOp::Prepare, kIn) + 3);  // the third buffer, once A is back
  messages_.clear();
  EXPECT_TRUE(V().RecordVoice(2, 16, 44100, 44100));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveInPrepare)});
  // A came back after the fourth wait: 20000 frames were captured by then.
  input.resize(20000 * 4);
  EXPECT_EQ(Capture(V()), Whole(2, 16, 44100, input));
  EXPECT_EQ(V().UndoDepth(), 0);
}

// 25 million frames: recorded x 100 passes 32 bits long before the end.
TEST_F(Wave, TheProgressOfALongTakeStaysWithinZeroToHundred) {
  Pace(1000000);
  ASSERT_TRUE(V().RecordVoice(1, 8, 25000000, 44100));
  EXPECT_EQ(V().END, 25000000);
  ExpectProgressUpTo(100);
  EXPECT_GE(ui_.Percents.size(), 25u);
}

}  // namespace
