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
    V().OverviewStale = false;
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

constexpr KWaveOp kNone = KWaveOp::Count;  // no call fails

// Buffers of 65536 bytes in every format, read by the device from the store itself (a byte written while it plays is
// heard); a remainder of up to 16 frames is not played; the pointer runs from `from` to the last frame heard, then back
// to ZiStart. A failure (with the device's message), a stop (two waits heard before the third poll) or a view it cannot
// map (the display holds two of the store's four) ends the play at once: nothing more is heard, every buffer and view
// is given back, and the next play works. The device is reused for the same format, opened anew for another, and
// never for a rate no device takes.
TEST_F(Wave, PlayQueuesBuffersOf65536BytesAndEndsCleanly) {
  struct Row {
    int32_t channels, bits, frames, from, to;
    KWaveOp fail;
    int call, message, stopAt, held;
    Frames queued;
    int opens;
  };
  for (const auto& [channels, bits, frames, from, to, fail, call, message, stopAt, held, queued, opens] :
       {Row{1, 8, 100000, 1, 100000, KWaveOp::Open, 1, msg::kWaveOutOpen, 0, 0, {}, 1},
        Row{1, 8, 100000, 1, 100000, kNone, 0, 0, 0, 0, {65536, 34463}, 1},
        Row{1, 8, 100000, 1, 100000, KWaveOp::Prepare, 1, msg::kWaveOutPrepare, 0, 0, {}, 0},
        Row{1, 8, 100000, 1, 100000, KWaveOp::Prepare, 2, msg::kWaveOutPrepare, 0, 0, {65536}, 0},
        Row{1, 8, 100000, 1, 100000, KWaveOp::Queue, 1, msg::kWaveOutWrite, 0, 0, {}, 0},
        Row{1, 8, 100000, 1, 100000, KWaveOp::Queue, 2, msg::kWaveOutWrite, 0, 0, {65536}, 0},
        Row{1, 8, 100000, 1, 100000, kNone, 0, 0, 3, 0, {65536, 34463}, 0},
        Row{1, 8, 100000, 1, 100000, kNone, 0, 0, 0, 3, {65536}, 0}, Row{1, 8, 100, 10, 26, kNone, 0, 0, 0, 0, {}, 0},
        Row{1, 8, 100, 10, 27, kNone, 0, 0, 0, 0, {17}, 0}, Row{1, 8, 100, 1, 101, kNone, 0, 0, 0, 0, {100}, 0},
        Row{1, 16, 40000, 1, 40000, kNone, 0, 0, 0, 0, {32768, 7231}, 1},
        Row{2, 8, 40000, 1, 40000, kNone, 0, 0, 0, 0, {32768, 7231}, 1},
        Row{2, 16, 40000, 1, 40000, kNone, 0, 0, 0, 0, {16384, 16384, 7231}, 1}}) {
    SCOPED_TRACE(testing::Message() << channels << "x" << bits << " " << from << ".." << to << " fail " << int(fail)
                                    << "/" << call << " stop " << stopAt << " held " << held);
    const bool ok = !message && !stopAt && !held;
    const int32_t frameBytes = channels * bits / 8;
    const int32_t heard = ok ? std::accumulate(queued.begin(), queued.end(), 0) : stopAt ? 2000 : 0;
    std::vector<uint8_t> bytes = Give(channels, bits, frames);
    const size_t played = Sim().Played().size();
    const int waits = Calls(KWaveOp::Wait, kOut), opened = Calls(KWaveOp::Open, kOut);
    Queued(kOut).clear(), messages_.clear(), ui_ = KTestUi{}, ui_.StopAt = stopAt;
    if (call) Sim().FailAt(fail, kOut, Calls(fail, kOut) + call);
    bool touched = false;
    Sim().WhenWaiting = [&, at = size_t(to - 2) * size_t(frameBytes)](KWaveDirection d) {
      if (!std::exchange(touched, true)) {
        uint8_t* view = V().Storage->MapView(int32_t(at), 1);
        *view = bytes[at] = 0xEE;
        V().Storage->UnmapView(view);
      }
      Sim().Advance(d, 1000);
    };
    std::vector<uint8_t*> views;
    for (int k = 0; k < held; ++k) views.push_back(V().Storage->MapView(k, 1));
    EXPECT_EQ(V().PlayRange(from, to), ok);
    for (uint8_t* view : views) V().Storage->UnmapView(view);
    Sim().Advance(kOut, 100000);  // a play that ended leaves nothing to play
    EXPECT_EQ(std::make_tuple(Queued(kOut), PlayedSince(played), Calls(KWaveOp::Open, kOut) - opened),
              std::make_tuple(queued, Range(bytes, frameBytes, from, from + heard), opens));
    EXPECT_EQ(std::make_pair(messages_, Bytes(V())),
              std::make_pair(message ? std::vector<std::string>{KLoadMessageText(message)} : std::vector<std::string>{},
                             bytes));
    if (fail == KWaveOp::Open) continue;  // no device: no cursor, no pointer
    ExpectCleanEnd();
    const Frames& at = ui_.Positions;
    if (ok || heard) {
      ASSERT_GE(at.size(), 2u);
      EXPECT_EQ(std::make_tuple(at.front(), at.end()[-2], std::is_sorted(at.begin(), at.end() - 1)),
                std::make_tuple(from, from + heard, true));
    } else {
      EXPECT_EQ(at, Frames{V().ZiStart});
    }
    EXPECT_EQ(ui_.Cursors, std::vector<KCursorRole>{KCursorRole::Play});
    EXPECT_GE(Calls(KWaveOp::Wait, kOut) - waits, heard / 1000);
    EXPECT_LE(ui_.Polls, Calls(KWaveOp::Wait, kOut) - waits + int(queued.size()) + 1);
    if (ok) continue;
    const size_t before = Sim().Played().size();
    EXPECT_TRUE(V().PlayRange(from, to));
    EXPECT_EQ(PlayedSince(before), Range(bytes, frameBytes, from, to));
  }
  Give(1, 8, 100);
  V().SampleRate = 3000;
  const int opened = Calls(KWaveOp::Open, kOut);
  EXPECT_FALSE(V().PlayRange(1, 100));
  EXPECT_EQ(std::make_pair(LastMessage(), Calls(KWaveOp::Open, kOut)),
            std::make_pair(std::string(KLoadMessageText(msg::kWaveOutOpen)), opened));
}

// A take goes into a store of its own, in buffers of 65536 bytes each silent when queued; until it ends the voice is
// the old one. Then it holds the frames captured up to the end, a stop (none: an empty voice) or a device failure and,
// for a whole take, a silent END frame; marked whole, with no snapshots and its file name kept. A device failure
// before any capture, a take too long for a store or a store that cannot grow leave the voice and its undo as they
// were. The progress runs from 0 to the share captured, within 0..100 where frames x 100 passes 32 bits.
TEST_F(Wave, ARecordingKeepsWhatWasCaptured) {
  Existing();
  for (auto [channels, bits, frames] : {std::tuple{3, 16, 100}, {0, 8, 100}, {1, 12, 100}, {1, 8, 0}, {2, 8, -5}})
    EXPECT_FALSE(V().RecordVoice(channels, bits, frames, 16000));
  EXPECT_FALSE(V().RecordVoice(1, 8, 100, 3000) || V().RecordVoice(2, 16, 600000000, 8000));
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(V().RecordVoice(1, 8, 100000, 8000));
  }
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(
      std::make_tuple(messages_[0], messages_[1], Calls(KWaveOp::Open, kIn), Queued(kIn).size()),
      std::make_tuple(std::string(KLoadMessageText(msg::kWaveInOpen)), msg::TooLong("the recording"), 2, size_t(0)));
  EXPECT_EQ(messages_[2].rfind("Swap file error \n\nThe swap folder : " + swap_ + " \n", 0), 0u) << messages_[2];
  struct Row {
    int32_t channels, bits, frames, rate, pace;
    KWaveOp fail;
    int call, message, stopAt, captured, percent;
    Frames queued;
    int opens;
  };
  for (const auto& [channels, bits, frames, rate, pace, fail, call, message, stopAt, captured, percent, queued, opens] :
       {Row{2, 16, 44100, 44100, 5000, kNone, 0, 0, 0, 44099, 100, {16384, 16384, 11331}, 1},
        Row{2, 16, 44100, 44100, 1000, kNone, 0, 0, 1, 0, 0, {16384, 16384}, 0},
        Row{1, 16, 40000, 8000, 1000, kNone, 0, 0, 4, 3000, 3001 * 100 / 40000, {32768, 7231}, 1},
        Row{1, 8, 16000, 16000, 3000, kNone, 0, 0, 0, 15999, 100, {15999}, 1},
        Row{2, 8, 1, 8000, 1000, kNone, 0, 0, 0, 0, 100, {}, 1},
        Row{1, 8, 25000000, 44100, 1000000, kNone, 0, 0, 0, 24999999, 100, {65536, 65536}, 1},
        Row{2, 16, 44100, 44100, 5000, KWaveOp::Open, 1, msg::kWaveInOpen, 0, 0, -1, {}, 1},
        Row{2, 16, 44100, 44100, 5000, KWaveOp::Prepare, 1, msg::kWaveInPrepare, 0, 0, 0, {}, 1},
        Row{2, 16, 44100, 44100, 5000, KWaveOp::Prepare, 2, msg::kWaveInPrepare, 0, 0, 0, {16384}, 0},
        Row{2, 16, 44100, 44100, 5000, KWaveOp::Queue, 1, msg::kWaveInAddBuffer, 0, 0, 0, {}, 0},
        Row{2, 16, 44100, 44100, 5000, KWaveOp::Queue, 2, msg::kWaveInAddBuffer, 0, 0, 0, {16384}, 0},
        Row{2, 16, 44100, 44100, 5000, KWaveOp::Start, 1, msg::kWaveInStart, 0, 0, 0, {16384, 16384}, 0},
        // The third buffer fails once the first is back, after four waits: 20000 frames were captured by then.
        Row{2,
            16,
            44100,
            44100,
            5000,
            KWaveOp::Prepare,
            3,
            msg::kWaveInPrepare,
            0,
            20000,
            20001 * 100 / 44100,
            {16384, 16384},
            0}}) {
    SCOPED_TRACE(testing::Message() << channels << "x" << bits << " " << frames << " fail " << int(fail) << "/" << call
                                    << " stop " << stopAt);
    const bool kept = message && !captured, whole = !message && !stopAt;
    const int32_t frameBytes = channels * bits / 8, waits = Calls(KWaveOp::Wait, kIn),
                  opened = Calls(KWaveOp::Open, kIn);
    Existing();
    const auto before = Now();
    std::vector<uint8_t> bytes = Pattern(size_t(frames) * size_t(frameBytes) / 2, uint32_t(frames));
    Sim().SetInput(bytes);
    Sim().WhenWaiting = [&, pace](KWaveDirection d) {
      EXPECT_EQ(Now(), before);
      Sim().Advance(d, pace);
    };
    if (call) Sim().FailAt(fail, kIn, Calls(fail, kIn) + call);
    Queued(kIn).clear(), messages_.clear(), ui_ = KTestUi{}, ui_.StopAt = stopAt;
    EXPECT_EQ(V().RecordVoice(channels, bits, frames, rate), !kept);
    const Frames& q = Queued(kIn);
    EXPECT_EQ(Frames(q.begin(), q.begin() + long(std::min(q.size(), queued.size()))), queued);
    EXPECT_EQ(std::accumulate(q.begin(), q.end(), 0),
              whole ? frames - 1 : std::accumulate(queued.begin(), queued.end(), 0));
    bytes.resize(size_t(captured) * size_t(frameBytes), 0);  // past the input the device captured silence
    if (whole) bytes.resize(bytes.size() + size_t(frameBytes), bits == 8 ? 0x80 : 0);
    EXPECT_EQ(Now(), kept ? before : std::make_tuple(Whole(channels, bits, rate, bytes), 0, std::get<2>(before)));
    EXPECT_EQ(V().Storage->Size(), kept ? 300 : bytes.empty() ? 16 : int32_t(bytes.size()));
    EXPECT_EQ(
        std::make_tuple(messages_, audio_.InputSilent, V().OverviewStale, ui_.Refreshes > 0, ui_.Depth),
        std::make_tuple(message ? std::vector<std::string>{KLoadMessageText(message)} : std::vector<std::string>{},
                        true, !kept, !kept, 0));
    EXPECT_EQ(std::make_pair(ui_.Cursors.size(), Calls(KWaveOp::Open, kIn) - opened),
              std::make_pair(size_t(percent >= 0), opens));
    if (percent < 0) continue;  // no device: no progress
    ASSERT_FALSE(ui_.Percents.empty());
    EXPECT_EQ(std::make_tuple(ui_.Percents.front(), ui_.Percents.back(), ui_.Cursors[0]),
              std::make_tuple(0, percent, KCursorRole::Play));
    EXPECT_TRUE(std::is_sorted(ui_.Percents.begin(), ui_.Percents.end()));
    EXPECT_GE(int(ui_.Percents.size()), Calls(KWaveOp::Wait, kIn) - waits);
  }
}

}  // namespace
