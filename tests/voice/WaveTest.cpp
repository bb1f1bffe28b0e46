// Playback and recording on the simulated wave devices: the buffers queued, the frames heard or captured, the play
// pointer and the record progress, stop requests, device failures, and what each leaves behind.
#include <algorithm>
#include <numeric>
#include <utility>

#include "VoiceTests.h"
#include "platform/SimulatedWaveAudio.h"

namespace {

using Frames = std::vector<int32_t>;
constexpr KWaveDirection kOut = KWaveDirection::Output, kIn = KWaveDirection::Input;

// The simulated devices, with the frames of each buffer queued in either direction, and whether every input buffer
// was all silence when queued.
class KLoggedWaveAudio final : public KWaveAudio {
 public:
  bool Open(KWaveDirection d, int channels, int bits, int rate) override {
    frameBytes_[size_t(d)] = channels * bits / 8;
    silence_ = bits == 8 ? 0x80 : 0;
    return Sim.Open(d, channels, bits, rate);
  }
  bool CloseAll() override { return Sim.CloseAll(); }
  bool Reset(KWaveDirection d) override { return Sim.Reset(d); }
  bool Prepare(KWaveDirection d, KWaveBuffer& b) override { return Sim.Prepare(d, b); }
  bool Queue(KWaveDirection d, KWaveBuffer& b) override {
    if (d == kIn)
      InputSilent = InputSilent && std::all_of(b.Data, b.Data + b.Bytes, [&](uint8_t x) { return x == silence_; });
    if (!Sim.Queue(d, b)) return false;
    Queued[size_t(d)].push_back(b.Bytes / frameBytes_[size_t(d)]);
    return true;
  }
  bool Start(KWaveDirection d) override { return Sim.Start(d); }
  int64_t Position(KWaveDirection d) override { return Sim.Position(d); }
  KWaveRelease Unprepare(KWaveDirection d, KWaveBuffer& b) override { return Sim.Unprepare(d, b); }
  void Wait(KWaveDirection d, int ms) override { Sim.Wait(d, ms); }
  const KStatus& Status() const override { return Sim.Status(); }

  KSimulatedWaveAudio Sim;
  Frames Queued[2];
  bool InputSilent = true;

 private:
  int frameBytes_[2] = {1, 1};
  uint8_t silence_ = 0;
};

// A window stand-in that counts cursors, asks to stop at the poll numbered StopAt (from 1), and logs the play pointer
// and the record progress.
struct KTestUi final : KUiHooks {
  void PushCursor(KCursorRole role) override { Cursors.push_back(role), ++Depth; }
  void PopCursor() override { --Depth; }
  bool StopRequested() override { return ++Polls == StopAt; }
  std::vector<KCursorRole> Cursors;
  int Depth = 0, Polls = 0, Refreshes = 0, StopAt = 0;
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
  Frames& Queued(KWaveDirection d) { return audio_.Queued[size_t(d)]; }
  int Calls(KWaveOp op, KWaveDirection d) const { return audio_.Sim.Calls(op, d); }
  // On every wait of a loop the device moves `frames` frames.
  void Pace(int64_t frames) {
    Sim().WhenWaiting = [this, frames](KWaveDirection d) { Sim().Advance(d, frames); };
  }
  // A voice of `frames` patterned frames at 8000 Hz, ZiStart away from 1.
  std::vector<uint8_t> Give(int32_t channels, int32_t bits, int32_t frames) {
    std::vector<uint8_t> bytes = Pattern(size_t(frames) * size_t(channels * bits / 8), uint32_t(frames));
    Fill(V(), channels, bits, bytes);
    V().SampleRate = 8000;
    V().ZiStart = 700;
    return bytes;
  }
  // A voice of 300 mono 8-bit frames at 11025 Hz with one undo snapshot.
  void Existing() {
    FillMono8(V(), Pattern(300));
    V().SampleRate = 11025;
    Mark(V(), 20, 300, 30);
    ASSERT_TRUE(V().SaveUndo("Undo : Echo"));
  }
  // Everything of a voice a failed recording must leave as it was.
  auto Now() { return std::make_tuple(Capture(V()), V().UndoDepth(), V().FileName); }
  // The bytes of frames from..to - 1 (1-based) of `bytes`, and those the device played since `played` bytes.
  static std::vector<uint8_t> Range(const std::vector<uint8_t>& bytes, int32_t frameBytes, int32_t from, int32_t to) {
    return {bytes.begin() + (from - 1) * frameBytes, bytes.begin() + (to - 1) * frameBytes};
  }
  std::vector<uint8_t> PlayedSince(size_t played) {
    return {Sim().Played().begin() + long(played), Sim().Played().end()};
  }
  // What every play leaves: the pointer back at ZiStart, the cursor restored, none of the store's views held.
  void ExpectCleanEnd() {
    ASSERT_FALSE(ui_.Positions.empty());
    EXPECT_EQ(std::make_pair(ui_.Positions.back(), ui_.Depth), std::make_pair(V().ZiStart, 0));
    uint8_t* views[KPcmMMap::kMaxViews];
    bool all = true;
    for (uint8_t*& view : views) all = (view = V().Storage->MapView(0, 1)) != nullptr && all;
    for (uint8_t* view : views) V().Storage->UnmapView(view);
    EXPECT_TRUE(all);
  }

  KLoggedWaveAudio audio_;
  KTestUi ui_;
  KBankSet set_;
};

// Buffers of 65536 bytes in every format, read by the device from the store itself (a byte written while it plays is
// heard); a remainder of up to 16 frames is not played; the pointer runs from `from` to the last frame heard, then
// returns to ZiStart; one pass of the loop per wait but for the passes that refilled a buffer. The device is reused for
// the same format and opened anew for another, and after a close-all.
TEST_F(Wave, PlayQueuesBuffersOf65536BytesFromTheStore) {
  struct Row {
    int32_t channels, bits, frames, from, to;
    Frames queued;
    int opens;
  };
  for (const auto& [channels, bits, frames, from, to, queued, opens] :
       {Row{1, 8, 100000, 1, 100000, {65536, 34463}, 1}, Row{1, 8, 100, 10, 26, {}, 0}, Row{1, 8, 100, 10, 27, {17}, 0},
        Row{1, 8, 100, 1, 101, {100}, 0}, Row{1, 16, 40000, 1, 40000, {32768, 7231}, 1},
        Row{2, 8, 40000, 1, 40000, {32768, 7231}, 1}, Row{2, 16, 40000, 1, 40000, {16384, 16384, 7231}, 1}}) {
    SCOPED_TRACE(testing::Message() << channels << "x" << bits << " " << from << ".." << to);
    const int32_t frameBytes = channels * bits / 8, heard = std::accumulate(queued.begin(), queued.end(), 0);
    std::vector<uint8_t> bytes = Give(channels, bits, frames);
    const size_t played = Sim().Played().size();
    const int waits = Calls(KWaveOp::Wait, kOut), opened = Calls(KWaveOp::Open, kOut);
    Queued(kOut).clear();
    ui_ = KTestUi{};
    bool touched = false;
    Sim().WhenWaiting = [&, at = size_t(to - 2) * size_t(frameBytes)](KWaveDirection d) {
      if (!std::exchange(touched, true)) {
        uint8_t* view = V().Storage->MapView(int32_t(at), 1);
        *view = bytes[at] = 0xEE;
        V().Storage->UnmapView(view);
      }
      Sim().Advance(d, 4000);
    };
    EXPECT_TRUE(V().PlayRange(from, to));
    EXPECT_EQ(Queued(kOut), queued);
    EXPECT_EQ(PlayedSince(played), Range(bytes, frameBytes, from, from + heard));
    EXPECT_EQ(std::make_tuple(Bytes(V()), messages_.size(), ui_.Cursors, Calls(KWaveOp::Open, kOut) - opened),
              std::make_tuple(bytes, size_t(0), std::vector<KCursorRole>{KCursorRole::Play}, opens));
    ASSERT_GE(ui_.Positions.size(), 2u);
    EXPECT_EQ(std::make_pair(ui_.Positions.front(), ui_.Positions.end()[-2]), std::make_pair(from, from + heard));
    EXPECT_TRUE(std::is_sorted(ui_.Positions.begin(), ui_.Positions.end() - 1));
    ExpectCleanEnd();
    EXPECT_GE(Calls(KWaveOp::Wait, kOut) - waits, heard / 4000);
    EXPECT_LE(ui_.Polls, Calls(KWaveOp::Wait, kOut) - waits + int(queued.size()) + 1);
  }
  Pace(4000);
  testing::internal::CaptureStderr();
  MxCloseAllWaveDeviceHandle(audio_);
  testing::internal::GetCapturedStderr();
  const int opened = Calls(KWaveOp::Open, kOut);
  EXPECT_TRUE(V().PlayRange(1, 100));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut), opened + 1);
}

// A play that fails (with the device's message), is stopped (within one pass: two waits heard before the third poll)
// or cannot map a view (the display holds two of the store's four; no message) ends at once: nothing more is heard,
// every buffer and view is given back, the pointer returns to ZiStart and the voice is as it was; the next play works.
// A rate no device takes never reaches one.
TEST_F(Wave, PlayEndsCleanlyOnAFailureAStopOrAViewItCannotMap) {
  const std::vector<uint8_t> bytes = Give(1, 8, 100000);
  V().SampleRate = 3000;
  EXPECT_FALSE(V().PlayRange(1, 1000));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveOutOpen)});
  EXPECT_EQ(Calls(KWaveOp::Open, kOut) + Calls(KWaveOp::Reset, kOut), 0);
  V().SampleRate = 8000;
  Pace(1000);
  struct Row {
    KWaveOp op;
    int call, message, stopAt, held;
    Frames positions;
  };
  for (const auto& [op, call, message, stopAt, held, positions] :
       {Row{KWaveOp::Open, 1, msg::kWaveOutOpen, 0, 0, {}}, Row{KWaveOp::Prepare, 1, msg::kWaveOutPrepare, 0, 0, {700}},
        Row{KWaveOp::Prepare, 2, msg::kWaveOutPrepare, 0, 0, {700}},
        Row{KWaveOp::Queue, 1, msg::kWaveOutWrite, 0, 0, {700}},
        Row{KWaveOp::Queue, 2, msg::kWaveOutWrite, 0, 0, {700}}, Row{KWaveOp::Count, 0, 0, 3, 0, {1, 1001, 2001, 700}},
        Row{KWaveOp::Count, 0, 0, 0, 3, {700}}}) {
    SCOPED_TRACE(testing::Message() << int(op) << " " << call << " " << stopAt << " " << held);
    messages_.clear();
    ui_ = KTestUi{};
    ui_.StopAt = stopAt;
    const size_t played = Sim().Played().size();
    if (call) Sim().FailAt(op, kOut, Calls(op, kOut) + call);
    std::vector<uint8_t*> views;
    for (int k = 0; k < held; ++k) views.push_back(V().Storage->MapView(k, 1));
    EXPECT_FALSE(V().PlayRange(1, 100000));
    for (uint8_t* view : views) V().Storage->UnmapView(view);
    EXPECT_EQ(messages_, message ? std::vector<std::string>{KLoadMessageText(message)} : std::vector<std::string>{});
    Sim().Advance(kOut, 100000);  // a stopped device has nothing left to play
    EXPECT_EQ(PlayedSince(played), Range(bytes, 1, 1, 1 + (stopAt ? 2000 : 0)));
    EXPECT_EQ(ui_.Positions, positions);
    if (op != KWaveOp::Open) ExpectCleanEnd();
    EXPECT_EQ(Bytes(V()), bytes);
    messages_.clear();
    ui_.StopAt = 0;
    const size_t before = Sim().Played().size();
    EXPECT_TRUE(V().PlayRange(1, 100000));
    EXPECT_EQ(std::make_pair(messages_.size(), PlayedSince(before)),
              std::make_pair(size_t(0), Range(bytes, 1, 1, 100000)));
  }
}

// A take goes into a store of its own, in buffers of 65536 bytes each silent when queued: until it ends the voice is
// the old one; then it holds the frames captured up to the end or a stop (a stop before any leaves an empty voice)
// and, for a whole take, a silent END frame; marked whole, with no snapshots and its file name kept. The progress runs
// from 0 up to the share captured, within 0..100 where frames x 100 passes 32 bits. The device is reused for the same
// format.
TEST_F(Wave, ARecordingKeepsWhatWasCaptured) {
  struct Row {
    int32_t channels, bits, frames, rate, pace, stopAt, captured, percent;
    Frames queued;
    int opens;
  };
  for (const auto& [channels, bits, frames, rate, pace, stopAt, captured, percent, queued, opens] :
       {Row{2, 16, 44100, 44100, 5000, 0, 44099, 100, {16384, 16384, 11331}, 1},
        Row{2, 16, 44100, 44100, 1000, 1, 0, 0, {16384, 16384}, 0},
        Row{1, 16, 40000, 8000, 1000, 4, 3000, 3001 * 100 / 40000, {32768, 7231}, 1},
        Row{1, 8, 16000, 16000, 3000, 0, 15999, 100, {15999}, 1}, Row{2, 8, 1, 8000, 1000, 0, 0, 100, {}, 1},
        Row{1, 8, 25000000, 44100, 1000000, 0, 24999999, 100, {65536, 65536}, 1}}) {
    SCOPED_TRACE(testing::Message() << channels << "x" << bits << " " << frames << " stop " << stopAt);
    Existing();
    const auto before = Now();
    const std::string file = V().FileName;
    const int32_t frameBytes = channels * bits / 8, waits = Calls(KWaveOp::Wait, kIn);
    const int opened = Calls(KWaveOp::Open, kIn);
    std::vector<uint8_t> bytes = Pattern(size_t(frames) * size_t(frameBytes) / 2, uint32_t(frames));
    Sim().SetInput(bytes);
    Sim().WhenWaiting = [&, pace](KWaveDirection d) {
      EXPECT_EQ(Now(), before);
      Sim().Advance(d, pace);
    };
    ui_ = KTestUi{};
    ui_.StopAt = stopAt;
    Queued(kIn).clear();
    EXPECT_TRUE(V().RecordVoice(channels, bits, frames, rate));
    const Frames& q = Queued(kIn);
    EXPECT_EQ(Frames(q.begin(), q.begin() + long(std::min(q.size(), queued.size()))), queued);
    EXPECT_EQ(std::accumulate(q.begin(), q.end(), 0),
              stopAt ? std::accumulate(queued.begin(), queued.end(), 0) : frames - 1);
    bytes.resize(size_t(captured) * size_t(frameBytes), 0);  // past the input the device captured silence
    if (!stopAt) bytes.resize(bytes.size() + size_t(frameBytes), bits == 8 ? 0x80 : 0);
    EXPECT_EQ(Capture(V()), Whole(channels, bits, rate, bytes));
    EXPECT_EQ(V().Storage->Size(), bytes.empty() ? 16 : int32_t(bytes.size()));
    EXPECT_EQ(std::make_tuple(V().UndoDepth(), V().OverviewStale, V().FileName, messages_.size(), audio_.InputSilent),
              std::make_tuple(0, true, file, size_t(0), true));
    EXPECT_EQ(std::make_tuple(ui_.Cursors, ui_.Depth, ui_.Refreshes > 0, Calls(KWaveOp::Open, kIn) - opened),
              std::make_tuple(std::vector<KCursorRole>{KCursorRole::Play}, 0, true, opens));
    ASSERT_FALSE(ui_.Percents.empty());
    EXPECT_EQ(std::make_pair(ui_.Percents.front(), ui_.Percents.back()), std::make_pair(0, percent));
    EXPECT_TRUE(std::is_sorted(ui_.Percents.begin(), ui_.Percents.end()));
    EXPECT_GE(int(ui_.Percents.size()), Calls(KWaveOp::Wait, kIn) - waits);
  }
}

// Refused arguments and rates, a take too long for a store or one whose store cannot grow (the message names the swap
// folder; nothing is queued), and a device that fails before it captured anything leave the voice and its undo as
// they were, with the device's message; the next take works. A failure after capture began keeps what was captured.
TEST_F(Wave, RecordFailures) {
  Existing();
  const auto before = Now();
  for (auto [channels, bits, frames] : {std::tuple{3, 16, 100}, {0, 8, 100}, {1, 12, 100}, {1, 8, 0}, {2, 8, -5}})
    EXPECT_FALSE(V().RecordVoice(channels, bits, frames, 16000));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(V().RecordVoice(1, 8, 100, 3000));
  EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(msg::kWaveInOpen)});
  EXPECT_EQ(Calls(KWaveOp::Open, kIn), 0);
  EXPECT_FALSE(V().RecordVoice(2, 16, 600000000, 8000));
  EXPECT_EQ(LastMessage(), msg::TooLong("the recording"));
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(V().RecordVoice(1, 8, 100000, 8000));
  }
  EXPECT_EQ(LastMessage().rfind("Swap file error \n\nThe swap folder : " + swap_ + " \n", 0), 0u) << LastMessage();
  EXPECT_EQ(std::make_tuple(Queued(kIn).size(), messages_.size(), Now()),
            std::make_tuple(size_t(0), size_t(3), before));
  Pace(5000);
  // The third buffer fails once the first is back, after four waits: 20000 frames were captured by then.
  for (auto [op, call, message, captured] : {std::tuple{KWaveOp::Open, 1, msg::kWaveInOpen, 0},
                                             {KWaveOp::Prepare, 1, msg::kWaveInPrepare, 0},
                                             {KWaveOp::Prepare, 2, msg::kWaveInPrepare, 0},
                                             {KWaveOp::Queue, 1, msg::kWaveInAddBuffer, 0},
                                             {KWaveOp::Queue, 2, msg::kWaveInAddBuffer, 0},
                                             {KWaveOp::Start, 1, msg::kWaveInStart, 0},
                                             {KWaveOp::Prepare, 3, msg::kWaveInPrepare, 20000}}) {
    SCOPED_TRACE(testing::Message() << int(op) << " " << call);
    Existing();
    const auto existing = Now();
    std::vector<uint8_t> input = Pattern(44100 * 4, uint32_t(call));
    Sim().SetInput(input);
    messages_.clear();
    Sim().FailAt(op, kIn, Calls(op, kIn) + call);
    EXPECT_EQ(V().RecordVoice(2, 16, 44100, 44100), captured > 0);
    EXPECT_EQ(std::make_pair(messages_, ui_.Depth),
              std::make_pair(std::vector<std::string>{KLoadMessageText(message)}, 0));
    input.resize(size_t(captured) * 4);
    const auto expected = captured ? std::make_tuple(Whole(2, 16, 44100, input), 0, std::get<2>(existing)) : existing;
    EXPECT_EQ(Now(), expected);
    messages_.clear();
    EXPECT_TRUE(V().RecordVoice(2, 16, 44100, 44100));
    EXPECT_EQ(std::make_pair(messages_.size(), V().END), std::make_pair(size_t(0), 44100));
  }
}

}  // namespace
