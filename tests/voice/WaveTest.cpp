// Playback and recording on the simulated wave devices: the buffers queued, the frames heard, the play pointer,
// device failures, and what each leaves behind. (What a take holds and how a stop ends it: the front end's tests.)
#include "VoiceTests.h"
#include "platform/SimulatedWaveAudio.h"

namespace {

using Frames = std::vector<int32_t>;
using Raw = std::vector<uint8_t>;

// A window stand-in that counts cursors and logs the play pointer.
struct KTestUi final : KUiHooks {
  void PushCursor(KCursorRole) override { ++Depth; }
  void PopCursor() override { --Depth; }
  int Depth = 0;
  Frames Positions;
};

class KLoggingVoice final : public KHeadlessVoice {
 public:
  KLoggingVoice(KBankSet& set, int32_t bank, MessageSink sink, KTestUi& ui)
      : KHeadlessVoice(set, bank, std::move(sink)), ui_(ui) {}
  bool ShowPlayPosition(int32_t position) override { return ui_.Positions.push_back(position), true; }

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
                  set, index, [this](auto& text) { messages_.push_back(text); }, ui_);
            },
            &ui_, &sim_) {
    set_.SelectBank(1);
  }
  KPcmFiles& V() { return *set_.CurrentVoice; }
  // On every wait of a loop the device moves `frames` frames.
  void Pace(int64_t frames) {
    sim_.WhenWaiting = [this, frames](KWaveDirection d) { sim_.Advance(d, frames); };
  }
  int Calls(KWaveOp op, KWaveDirection d) const { return sim_.Calls(op, d); }
  // Bytes 0, 1, 2, ... (mod 251, so that no buffer boundary repeats a pattern).
  static std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i % 251);
    return bytes;
  }
  auto Now() { return std::make_tuple(Capture(V()), V().UndoDepth(), V().FileName); }
  // A voice of `frames` frames of counting bytes at 8000 Hz, ZiStart away from 1, with one undo snapshot; the logs
  // start afresh. Returns everything a failed recording must leave.
  auto Give(int32_t channels, int32_t bits, int32_t frames) {
    Fill(V(), channels, bits, Counting(size_t(frames) * size_t(channels * bits / 8)));
    V().SampleRate = 8000;
    V().ZiStart = 700;
    EXPECT_TRUE(V().SaveUndo("Undo : Echo"));
    messages_.clear(), ui_.Positions.clear();
    return Now();
  }
  std::vector<uint8_t> PlayedSince(size_t at) { return {sim_.Played().begin() + long(at), sim_.Played().end()}; }
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
  KSimulatedWaveAudio sim_;
  KTestUi ui_;
  KBankSet set_;
};

// Buffers of 65536 bytes; frames from..to - 1 are heard, so up to END + 1 the last frame too; 16 frames open and reset
// the device but queue nothing; ranges outside 1..END + 1 are refused before any device opens. The pointer runs from
// the start to the end of the range, then returns to ZiStart. The store's four views: the display may hold two,
// playback needs the other two.
TEST_F(Wave, PlayQueuesBuffersOf65536BytesInEveryFormat) {
  EXPECT_TRUE(V().PlayRange(1, V().END));  // an empty voice
  for (auto [channels, bits, from, to, buffers] : {std::tuple{1, 8, 1, 100001, 2},
                                                   {1, 16, 1, 40000, 2},
                                                   {2, 8, 1, 40000, 2},
                                                   {2, 16, 1, 40000, 3},
                                                   {1, 8, 10, 26, 0},
                                                   {1, 8, 10, 27, 1},
                                                   {1, 8, 5, 5, 0}}) {
    SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << from << ".." << to);
    Give(channels, bits, 100000);
    const std::vector<uint8_t> bytes = Bytes(V());
    const size_t before = sim_.Played().size();
    const int queued = Calls(KWaveOp::Queue, kOut), opened = Calls(KWaveOp::Reset, kOut);
    Pace(4000);
    EXPECT_TRUE(V().PlayRange(from, to));
    const int frameBytes = channels * bits / 8;
    const auto first = bytes.begin() + (from - 1) * frameBytes;
    EXPECT_EQ(PlayedSince(before), to - from > 16 ? Raw(first, first + (to - from) * frameBytes) : Raw());
    EXPECT_EQ(std::make_pair(Calls(KWaveOp::Queue, kOut) - queued, Calls(KWaveOp::Reset, kOut) - opened),
              std::make_pair(buffers, int(to - from >= 16)));
    EXPECT_TRUE(messages_.empty());
    if (to - from < 16) continue;
    EXPECT_EQ(ui_.Positions.front(), from);
    EXPECT_TRUE(std::is_sorted(ui_.Positions.begin(), ui_.Positions.end() - 1));
    if (to - from > 1000) EXPECT_EQ(ui_.Positions.end()[-2], to);
    ExpectCleanEnd();
  }
  for (auto [from, to] : {std::pair{6, 5}, {0, 5}, {5, 0}, {-3, 10}, {-3, -1}, {1, 100002}, {100001, 100200}})
    EXPECT_FALSE(V().PlayRange(from, to)) << from << ".." << to;
  Pace(50000);
  uint8_t* held[3] = {V().Storage->MapView(0, 1), V().Storage->MapView(1, 1), nullptr};
  EXPECT_TRUE(V().PlayRange(1, 100000));
  held[2] = V().Storage->MapView(2, 1);
  EXPECT_FALSE(V().PlayRange(1, 100000));
  for (uint8_t* view : held) V().Storage->UnmapView(view);
  EXPECT_TRUE(messages_.empty());
  ExpectCleanEnd();
}

// A rate no device takes never reaches it; each device failure shows its message once, stops the device, gives back
// every buffer and leaves the voice as it was (a recording that fails before it captured anything too, undo included);
// the next play or recording works.
TEST_F(Wave, DeviceFailuresShowTheirMessageAndLeaveNothingBehind) {
  Give(1, 8, 100000);
  V().SampleRate = 3000;  // loads from files and passes the dialog
  EXPECT_FALSE(V().PlayRange(1, 1000) || V().RecordVoice(1, 8, 100, 3000));
  EXPECT_EQ(messages_,
            (std::vector<std::string>{KLoadMessageText(msg::kWaveOutOpen), KLoadMessageText(msg::kWaveInOpen)}));
  EXPECT_EQ(Calls(KWaveOp::Open, kOut) + Calls(KWaveOp::Open, kIn), 0);
  Pace(20000);
  for (auto [d, op, call, message] : {std::tuple{kOut, KWaveOp::Open, 1, msg::kWaveOutOpen},
                                      {kOut, KWaveOp::Prepare, 2, msg::kWaveOutPrepare},
                                      {kOut, KWaveOp::Queue, 1, msg::kWaveOutWrite},
                                      {kOut, KWaveOp::Queue, 2, msg::kWaveOutWrite},
                                      {kIn, KWaveOp::Open, 1, msg::kWaveInOpen},
                                      {kIn, KWaveOp::Prepare, 1, msg::kWaveInPrepare},
                                      {kIn, KWaveOp::Prepare, 2, msg::kWaveInPrepare},
                                      {kIn, KWaveOp::Queue, 2, msg::kWaveInAddBuffer},
                                      {kIn, KWaveOp::Start, 1, msg::kWaveInStart}}) {
    SCOPED_TRACE(message * 10 + call);
    const auto existing = Give(1, 8, 100000);
    const size_t played = sim_.Played().size();
    sim_.FailAt(op, d, Calls(op, d) + call);
    auto run = [&, d = d] { return d == kOut ? V().PlayRange(1, 100000) : V().RecordVoice(2, 16, 44100, 44100); };
    EXPECT_FALSE(run());
    EXPECT_EQ(messages_, std::vector<std::string>{KLoadMessageText(message)});
    EXPECT_EQ(std::make_tuple(Now(), sim_.Played().size(), ui_.Depth), std::make_tuple(existing, played, 0));
    if (d == kOut && op != KWaveOp::Open) ExpectCleanEnd();
    EXPECT_TRUE(run());
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(d == kOut ? PlayedSince(played).size() : size_t(V().END), d == kOut ? 99999u : 44100u);
  }
}

}  // namespace
