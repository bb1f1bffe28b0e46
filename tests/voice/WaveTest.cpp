// Playback and recording on the simulated devices: buffers, frames, pointer, progress, stops, failures, what is left.
#include <algorithm>
#include <numeric>
#include <utility>

#include "VoiceTests.h"
#include "platform/SimulatedWaveAudio.h"

namespace {

using Frames = std::vector<int32_t>;
using Texts = std::vector<std::string>;
constexpr KWaveDirection kOut = KWaveDirection::Output, kIn = KWaveDirection::Input;
constexpr KWaveOp kNone = KWaveOp::Count;  // no call fails

// What the devices and the window saw: the frames of each buffer queued, whether every input buffer was silent when
// queued, the cursors, the play pointer and the record progress; the window asks to stop at poll StopAt (from 1).
struct KWaveSeen {
  Frames Queued[2], Positions, Percents;
  std::vector<KCursorRole> Cursors;
  bool Silent = true;
  int Depth = 0, Polls = 0, Refreshes = 0, StopAt = 0, FrameBytes[2] = {1, 1};
  uint8_t Silence = 0;
};

// The simulated devices and a window, logging into KWaveSeen.
class KWaveLog final : public KWaveAudio, public KUiHooks, public KWaveSeen {
 public:
  bool Open(KWaveDirection d, int channels, int bits, int rate) override {
    FrameBytes[size_t(d)] = channels * bits / 8;
    Silence = bits == 8 ? 0x80 : 0;
    return Sim.Open(d, channels, bits, rate);
  }
  bool CloseAll() override { return Sim.CloseAll(); }
  bool Reset(KWaveDirection d) override { return Sim.Reset(d); }
  bool Prepare(KWaveDirection d, KWaveBuffer& b) override { return Sim.Prepare(d, b); }
  bool Queue(KWaveDirection d, KWaveBuffer& b) override {
    if (d == kIn) Silent = Silent && std::all_of(b.Data, b.Data + b.Bytes, [&](uint8_t x) { return x == Silence; });
    if (!Sim.Queue(d, b)) return false;
    Queued[size_t(d)].push_back(b.Bytes / FrameBytes[size_t(d)]);
    return true;
  }
  bool Start(KWaveDirection d) override { return Sim.Start(d); }
  int64_t Position(KWaveDirection d) override { return Sim.Position(d); }
  KWaveRelease Unprepare(KWaveDirection d, KWaveBuffer& b) override { return Sim.Unprepare(d, b); }
  void Wait(KWaveDirection d, int ms) override { Sim.Wait(d, ms); }
  const KStatus& Status() const override { return Sim.Status(); }
  void PushCursor(KCursorRole role) override { Cursors.push_back(role), ++Depth; }
  void PopCursor() override { --Depth; }
  bool StopRequested() override { return ++Polls == StopAt; }

  KSimulatedWaveAudio Sim;
};

class KLoggingVoice final : public KHeadlessVoice {
 public:
  KLoggingVoice(KBankSet& set, int32_t bank, MessageSink sink, KWaveSeen& seen)
      : KHeadlessVoice(set, bank, std::move(sink)), seen_(seen) {}
  bool ShowPlayPosition(int32_t position) override { return seen_.Positions.push_back(position), true; }
  bool ShowRecordProgress(int32_t percent) override { return seen_.Percents.push_back(percent), true; }
  bool Refresh() override { return ++seen_.Refreshes, true; }
  KWaveSeen& seen_;
};

class Wave : public VoiceTests {
 protected:
  Wave() { set_.SelectBank(1); }
  std::unique_ptr<KPcmFiles> Make(KBankSet& set, int32_t bank) {
    return std::make_unique<KLoggingVoice>(
        set, bank, [this](const std::string& t) { messages_.push_back(t); }, ui_);
  }
  KPcmFiles& V() { return *set_.CurrentVoice; }
  KSimulatedWaveAudio& Sim() { return ui_.Sim; }
  int Calls(KWaveOp op, KWaveDirection d) const { return ui_.Sim.Calls(op, d); }
  // Clears the logs; the `call`-th next call of `op` fails, and the window asks to stop at poll `stopAt`.
  void Arm(KWaveDirection d, KWaveOp op, int call, int stopAt) {
    if (call) Sim().FailAt(op, d, Calls(op, d) + call);
    messages_.clear(), static_cast<KWaveSeen&>(ui_) = {}, ui_.StopAt = stopAt;
  }
  static Texts Shown(int message) { return message ? Texts{KLoadMessageText(message)} : Texts{}; }
  // The bytes of frames from..to - 1 (1-based) of `bytes`, and those the device played since `played` bytes.
  static std::vector<uint8_t> Range(const std::vector<uint8_t>& bytes, int32_t frameBytes, int32_t from, int32_t to) {
    return {bytes.begin() + (from - 1) * frameBytes, bytes.begin() + (to - 1) * frameBytes};
  }
  std::vector<uint8_t> PlayedSince(size_t n) { return {Sim().Played().begin() + long(n), Sim().Played().end()}; }
  // Everything of a voice a failed recording must leave as it was, and a voice of 300 frames with a snapshot.
  auto Now() { return std::make_tuple(Capture(V()), V().UndoDepth(), V().FileName); }
  auto Existing() {
    GiveVoice(V(), 1, 8, 300, 11025);
    EXPECT_TRUE(V().SaveUndo("Undo : Echo"));
    V().OverviewStale = false;
    return Now();
  }

  KWaveLog ui_;
  KBankSet set_{swap_, [this](KBankSet& set, int32_t bank) { return Make(set, bank); }, &ui_, &ui_};
};

// Buffers of 65536 bytes read from the store itself (a byte written while it plays is heard); 16 frames left are not
// played; the pointer runs from `from` to the last frame heard, then to ZiStart. A failure, a stop (two waits heard by
// the third poll) or a view it cannot map ends the play at once, gives back every buffer and view, and the next works.
TEST_F(Wave, PlayQueuesBuffersOf65536BytesAndEndsCleanly) {
  using namespace msg;
  using enum KWaveOp;
  for (const auto& [channels, bits, frames, from, to, fail, call, message, stopAt, held, queued, opens] :
       {std::tuple{1, 8, 100000, 1, 100000, Open, 1, int(kWaveOutOpen), 0, 0, Frames{}, 1},
        {1, 8, 100000, 1, 100000, kNone, 0, 0, 0, 0, {65536, 34463}, 1},
        {1, 8, 100000, 1, 100000, Prepare, 1, kWaveOutPrepare, 0, 0, {}, 0},
        {1, 8, 100000, 1, 100000, Prepare, 2, kWaveOutPrepare, 0, 0, {65536}, 0},
        {1, 8, 100000, 1, 100000, Queue, 1, kWaveOutWrite, 0, 0, {}, 0},
        {1, 8, 100000, 1, 100000, kNone, 0, 0, 3, 0, {65536, 34463}, 0},
        {1, 8, 100000, 1, 100000, kNone, 0, 0, 0, 2, {65536}, 0},
        {1, 8, 100, 10, 26, kNone, 0, 0, 0, 0, {}, 0},
        {1, 8, 100, 10, 27, kNone, 0, 0, 0, 0, {17}, 0},
        {1, 8, 100, 1, 101, kNone, 0, 0, 0, 0, {100}, 0},
        {1, 16, 40000, 1, 40000, kNone, 0, 0, 0, 0, {32768, 7231}, 1},
        {2, 16, 40000, 1, 40000, kNone, 0, 0, 0, 0, {16384, 16384, 7231}, 1}}) {
    SCOPED_TRACE(testing::Message() << channels << "x" << bits << " to " << to << " " << int(fail) << call << stopAt
                                    << held);
    const bool ok = !message && !stopAt && !held;
    const int32_t frameBytes = channels * bits / 8, sum = std::accumulate(queued.begin(), queued.end(), 0);
    const int32_t heard = ok ? sum : stopAt ? 2000 : 0;
    GiveVoice(V(), channels, bits, frames, 8000);
    V().ZiStart = 700;
    std::vector<uint8_t> bytes = Bytes(V());
    const size_t played = Sim().Played().size();
    const int waits = Calls(Wait, kOut), opened = Calls(Open, kOut);
    Arm(kOut, fail, call, stopAt);
    // A view like the display's writes the last frame at the first wait; the display may hold two of the four.
    const size_t last = size_t(to - 2) * size_t(frameBytes);
    std::vector<uint8_t*> views(size_t(held) + 1, V().Storage->MapView(int32_t(last), 1));
    Sim().WhenWaiting = [&, touched = false](KWaveDirection d) mutable {
      if (!std::exchange(touched, true) && views[0]) *views[0] = bytes[last] = 0xEE;
      Sim().Advance(d, 1000);
    };
    for (size_t k = 1; k < views.size(); ++k) views[k] = V().Storage->MapView(0, 1);
    EXPECT_EQ(V().PlayRange(from, to), ok);
    for (uint8_t* view : views) V().Storage->UnmapView(view);
    Sim().Advance(kOut, 100000);  // a play that ended leaves nothing to play
    EXPECT_EQ(std::make_tuple(ui_.Queued[size_t(kOut)], PlayedSince(played), Calls(Open, kOut) - opened, messages_),
              std::make_tuple(queued, Range(bytes, frameBytes, from, from + heard), opens, Shown(message)));
    EXPECT_EQ(Bytes(V()), bytes);  // with the byte written while it played
    if (fail == Open) continue;    // no device: no cursor, no pointer
    const Frames& at = ui_.Positions;
    EXPECT_EQ(at.size() < 2 ? at : (Frames{at.front(), at.end()[-2], at.back()}),
              ok || heard ? (Frames{from, from + heard, 700}) : Frames{700});
    EXPECT_EQ(std::make_tuple(at.empty() || std::is_sorted(at.begin(), at.end() - 1), ui_.Cursors, ui_.Depth),
              std::make_tuple(true, std::vector{KCursorRole::Play}, 0));
    const int passes = Calls(Wait, kOut) - waits;  // one pass of the loop per wait, but for those that refilled
    EXPECT_TRUE(passes >= heard / 1000 && ui_.Polls <= passes + int(queued.size()) + 1) << passes << " " << ui_.Polls;
    Sim().WhenWaiting = [&](KWaveDirection d) { Sim().Advance(d, 1000); };  // its views are unmapped now
    const size_t before = Sim().Played().size();
    EXPECT_TRUE(ok || V().PlayRange(from, to));
    EXPECT_EQ(PlayedSince(before), ok ? std::vector<uint8_t>{} : Range(bytes, frameBytes, from, to));
  }
}

// A take fills a store of its own in buffers of 65536 bytes, silent when queued; then the voice holds what was captured
// up to the end (and a silent END frame), a stop or a failure, with no snapshots; a failure before any capture, a rate
// no device takes or a store too long or unable to grow leave it and its undo. Progress: 0 to the share, up to 100.
TEST_F(Wave, ARecordingKeepsWhatWasCaptured) {
  using namespace msg;
  using enum KWaveOp;
  Existing();
  V().SampleRate = 3000;
  const auto old = Now();
  EXPECT_FALSE(V().PlayRange(1, 100) || V().RecordVoice(1, 8, 100, 3000) || V().RecordVoice(2, 16, 600000000, 8000));
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(V().RecordVoice(1, 8, 100000, 8000));
  }
  ASSERT_EQ(messages_.size(), 4u);
  EXPECT_EQ(Texts(messages_.begin(), messages_.begin() + 3),
            (Texts{KLoadMessageText(kWaveOutOpen), KLoadMessageText(kWaveInOpen), TooLong("the recording")}));
  EXPECT_EQ(std::make_tuple(Calls(Open, kOut), ui_.Queued[size_t(kIn)].size(), Now()),
            std::make_tuple(0, size_t(0), old));
  EXPECT_EQ(messages_[3].rfind("Swap file error \n\nThe swap folder : " + swap_ + " \n", 0), 0u) << messages_[3];
  // The third buffer fails once the first is back, after four waits: 20000 frames were captured by then.
  for (const auto& [channels, bits, frames, pace, fail, call, message, stopAt, captured, percent, queued] :
       {std::tuple{2, 16, 44100, 5000, kNone, 0, 0, 0, 44099, 100, Frames{16384, 16384, 11331}},
        {2, 16, 44100, 1000, kNone, 0, 0, 1, 0, 0, {16384, 16384}},
        {1, 16, 40000, 1000, kNone, 0, 0, 4, 3000, 3001 * 100 / 40000, {32768, 7231}},
        {1, 8, 16000, 3000, kNone, 0, 0, 0, 15999, 100, {15999}},
        {2, 8, 1, 1000, kNone, 0, 0, 0, 0, 100, {}},
        {1, 8, 25000000, 1000000, kNone, 0, 0, 0, 24999999, 100, {65536, 65536}},
        {2, 16, 44100, 5000, Open, 1, kWaveInOpen, 0, 0, -1, {}},
        {2, 16, 44100, 5000, Prepare, 1, kWaveInPrepare, 0, 0, 0, {}},
        {2, 16, 44100, 5000, Queue, 1, kWaveInAddBuffer, 0, 0, 0, {}},
        {2, 16, 44100, 5000, Start, 1, kWaveInStart, 0, 0, 0, {16384, 16384}},
        {2, 16, 44100, 5000, Prepare, 3, kWaveInPrepare, 0, 20000, 20001 * 100 / 44100, {16384, 16384}}}) {
    SCOPED_TRACE(testing::Message() << channels << bits << " " << frames << " " << int(fail) << call << stopAt);
    const bool kept = message && !captured, whole = !message && !stopAt;
    const int32_t frameBytes = channels * bits / 8, waits = Calls(Wait, kIn);
    const auto before = Existing();
    std::vector<uint8_t> bytes = Pattern(size_t(frames) * size_t(frameBytes) / 2, uint32_t(frames));
    Sim().SetInput(bytes);
    Sim().WhenWaiting = [&, pace](KWaveDirection d) {
      EXPECT_EQ(Now(), before);
      Sim().Advance(d, pace);
    };
    Arm(kIn, fail, call, stopAt);
    EXPECT_EQ(V().RecordVoice(channels, bits, frames, 8000), !kept);
    const Frames& q = ui_.Queued[size_t(kIn)];
    EXPECT_EQ(Frames(q.begin(), q.begin() + long(std::min(q.size(), queued.size()))), queued);
    EXPECT_EQ(std::accumulate(q.begin(), q.end(), 0),
              whole ? frames - 1 : std::accumulate(queued.begin(), queued.end(), 0));
    bytes.resize(size_t(captured) * size_t(frameBytes), 0);  // past the input the device captured silence
    if (whole) bytes.resize(bytes.size() + size_t(frameBytes), bits == 8 ? 0x80 : 0);
    EXPECT_EQ(Now(), kept ? before : std::make_tuple(Whole(channels, bits, 8000, bytes), 0, std::get<2>(before)));
    const int32_t size = kept ? 300 : bytes.empty() ? 16 : int32_t(bytes.size());  // the store sized to the take
    EXPECT_EQ(std::make_tuple(V().Storage->Size(), messages_, ui_.Silent, V().OverviewStale, ui_.Refreshes, ui_.Depth),
              std::make_tuple(size, Shown(message), true, !kept, int(!kept), 0));
    const Frames& p = ui_.Percents;  // none without a device
    EXPECT_EQ(
        std::make_pair(ui_.Cursors, p.empty() ? p : (Frames{p.front(), p.back()})),
        std::make_pair(std::vector(p.empty() ? 0u : 1u, KCursorRole::Play), percent < 0 ? p : (Frames{0, percent})));
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()) && int(p.size()) >= Calls(Wait, kIn) - waits);
  }
}

}  // namespace
