// What the edits make of frames and markers, the rules every edit obeys
// (empty voice, refusals, swap folder, undo), the mixer, split and merge,
// format translation, and the undo store.
#include <climits>
#include <cmath>

#include "VoiceTests.h"
#include "support/FileSizeLimit.h"

namespace {

using Edits = VoiceTests;

// Ten frames 10, 20 .. 100 marked 3..5, FLG = F, a copy buffer of two frames
// (values 200 and 210): pastes give MKL = F, MKR = F + L - 1.
TEST_F(Edits, WorkedPositions) {
  const std::tuple<Run, int32_t, std::vector<uint8_t>, Marks> rows[] = {
      {&KPcmFiles::PasteByCover, 3, {10, 20, 200, 210}, {4, 3, 4, 1, 1}},
      {&KPcmFiles::PasteByCover, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90, 200, 210}, {11, 10, 11, 1, 1}},
      {&KPcmFiles::PasteByInsert, 3, {10, 20, 30, 200, 210, 40, 50, 60, 70, 80, 90, 100}, {12, 3, 4, 1, 1}},
      {&KPcmFiles::PasteByMix, 3, {10, 20, 102, 122, 50, 60, 70, 80, 90, 100}, {10, 3, 4, 1, 1}},
      // Past the END the buffer is appended as it is.
      {&KPcmFiles::PasteByMix, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90, 172, 210}, {11, 10, 11, 1, 1}},
      {&KPcmFiles::CutMarked, 8, {10, 20, 60, 70, 80, 90, 100}, {7, 1, 7, 1, 1}},
      {&KPcmFiles::CutUnmark, 8, {30, 40, 50}, {3, 1, 3, 1, 1}},
      {&KPcmFiles::MuteMarked, 8, {10, 20, 128, 128, 128, 60, 70, 80, 90, 100}, {10, 3, 5, 8, 1}},
      {&KPcmFiles::MuteUnmark, 8, {128, 128, 30, 40, 50, 128, 128, 128, 128, 128}, {10, 3, 5, 8, 1}},
      // END moves to FLG only with more than two frames behind it.
      {&KPcmFiles::SetEndAtFlg, 8, Ramp(10), {10, 3, 5, 8, 1}},
      {&KPcmFiles::SetEndAtFlg, 7, Ramp(7), {7, 1, 7, 1, 1}},
      {[](KPcmFiles& v) { return v.InsertMute(3); },
       8,
       {10, 20, 30, 40, 50, 60, 70, 80, 128, 128, 128, 90, 100},
       {13, 8, 10, 1, 1}},
      // MKL = FLG, MKR = FLG + count - 1 up to END.
      {[](KPcmFiles& v) { return v.AutoMark(2); }, 8, Ramp(10), {10, 8, 9, 8, 1}},
      {[](KPcmFiles& v) { return v.AutoMark(INT32_MAX); }, 8, Ramp(10), {10, 8, 10, 8, 1}},
  };
  FillMono8(Buffer(), {200, 210});
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    const auto& [run, flg, result, marks] = row;
    FillMono8(Current(), Ramp(10));
    Mark(Current(), 3, 5, flg);
    ASSERT_TRUE(run(Current()));
    EXPECT_EQ(Bytes(Current()), result);
    EXPECT_EQ(MarksOf(Current()), marks);
  }
  FillMono8(Current(), std::vector<uint8_t>(1000, 1));
  Mark(Current(), 100, 700, 50);
  Current().GotoMkr();  // 32 frames before the marker; clicks clamp, crossed markers swap
  Current().SetMklAt(2000);
  Current().SetMkrAt(0);
  EXPECT_EQ(MarksOf(Current()), (Marks{1000, 1, 700, 50, 668}));
  // Cutting the whole voice leaves it empty with the smallest store.
  Mark(Current(), 1, Current().END, 1);
  ASSERT_TRUE(Current().CutMarked());
  EXPECT_EQ(Capture(Current()), Whole(1, 8, 16000, {}));
  EXPECT_EQ(Current().Storage->Size(), 16);
}

// An empty copy buffer is refused with a warning; a copy takes the voice's
// format and rate; a buffer of another format is converted to the voice's,
// and its rate is never applied; other banks stay as they were.
TEST_F(Edits, CopyAndPasteAcrossBanksAndFormats) {
  banks_.SelectBank(3);
  FillMono8(Current(), {100, 200, 150});
  Mark(Current(), 1, 3, 2);
  const State original = Capture(Current());
  for (Run paste : {&KPcmFiles::PasteByCover, &KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix})
    EXPECT_FALSE(paste(Current()));
  EXPECT_EQ(messages_,
            std::vector<std::string>(3, "Warn 001 \n\nYou must run the Copy instruction \nAnd then to do Paste !!!"));
  EXPECT_EQ(Capture(Current()), original);
  FillMono8(Voice(2), Ramp(5));
  Voice(2).SampleRate = 11025;
  Mark(Voice(2), 2, 3, 1);
  const State bank2 = Capture(Voice(2));
  ASSERT_TRUE(Voice(2).CopyMarked());
  EXPECT_EQ(Capture(Buffer()), Whole(1, 8, 11025, {20, 30}));
  for (auto [paste, flg, bytes] :
       {std::tuple{&KPcmFiles::PasteByInsert, 2, std::vector<uint8_t>{100, 200, 20, 30, 150}},
        {&KPcmFiles::PasteByMix, 5, {100, 200, 20, 30, 42, 30}},
        {&KPcmFiles::PasteByCover, 1, {20, 30}}}) {
    Current().FLG = flg;
    ASSERT_TRUE((Current().*paste)());
    EXPECT_EQ(Bytes(Current()), bytes);
  }
  EXPECT_EQ(Capture(Voice(2)), bank2);
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(Current().LoadUndo());
  EXPECT_EQ(Capture(Current()), original);
  Fill16(Current(), 2, {100, -100, 200, -200});
  Current().SampleRate = 8000;
  Current().FLG = 2;
  FillMono8(Buffer(), {255, 0});
  Buffer().SampleRate = 44100;
  ASSERT_TRUE(Current().PasteByInsert());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{100, -100, 200, -200, 32512, 32512, -32768, -32768}));
  EXPECT_EQ(Current().SampleRate, 8000);
}

// Each edit does nothing on an empty voice with an empty copy buffer, changes
// nothing while the swap folder is missing or full, else is undone by label.
TEST_F(Edits, EachEditEmptyRefusedAndUndone) {
  const std::tuple<Run, const char*, bool> rows[] = {
      {&KPcmFiles::PasteByCover, "Undo : Paste by cover", false},
      {&KPcmFiles::PasteByInsert, "Undo : Paste by insert", false},
      {&KPcmFiles::PasteByMix, "Undo : Paste by mix", false},
      {&KPcmFiles::CutMarked, "Undo : Cut marked area", false},
      {&KPcmFiles::CutUnmark, "Undo : Cut unmark area", false},
      {&KPcmFiles::MuteMarked, "Undo : Fill mute marked area", false},
      {&KPcmFiles::MuteUnmark, "Undo : Fill mute unmark area", false},
      {&KPcmFiles::FadeIn, "Undo : Linear Fade-in", false},
      {&KPcmFiles::FadeOut, "Undo : Linear Fade-out", false},
      {&KPcmFiles::SetEndAtFlg, "Undo : Set voice END at FLG position", true},
      {[](KPcmFiles& v) { return v.InsertMute(v.END == 0 ? 0 : 100); }, "Undo : Insert mute", true},
      {[](KPcmFiles& v) { return v.MathAmplifier(150); }, "Undo : Mathematical Amplifier", true},
      {[](KPcmFiles& v) { return v.Echo(100, 50); }, "Undo : Echo", true},
      {&KPcmFiles::CopyMarked, nullptr, false},
      {[](KPcmFiles& v) {
         return v.MixBanks({1, 0, 15, -1});
       },
       nullptr, true},
  };
  for (const auto& [run, label, onEmpty] : rows) {
    SCOPED_TRACE(label ? label : "no snapshot");
    Current().ClearBank();
    Buffer().ClearBank();
    EXPECT_EQ(run(Current()), onEmpty);
    EXPECT_EQ(Capture(Current()), Whole(1, 8, 16000, {}));
    Fill(Current(), 2, 16, Ramp(800, 7));
    Mark(Current(), 21, 70, 30);
    Current().ZiStart = 5;
    FillMono8(Buffer(), {140, 150, 160});
    const State before = Capture(Current());
    messages_.clear();
    std::filesystem::rename(swap_, swap_ + ".away");
    EXPECT_FALSE(run(Current()));
    std::filesystem::rename(swap_ + ".away", swap_);
    {
      FileSizeLimit limit(100);
      EXPECT_FALSE(run(Current()));
    }
    ASSERT_EQ(messages_.size(), 2u);
    for (const std::string& message : messages_) EXPECT_NE(message.find(swap_), std::string::npos);
    EXPECT_EQ(Capture(Current()), before);
    EXPECT_EQ(Bytes(Buffer()), (std::vector<uint8_t>{140, 150, 160}));
    EXPECT_EQ(Current().UndoDepth(), 0);
    ASSERT_TRUE(run(Current()));
    std::string text;
    ASSERT_EQ(Current().UndoLabel(text), label != nullptr);
    if (!label) continue;
    EXPECT_EQ(text, label);
    ASSERT_TRUE(Current().LoadUndo());
    EXPECT_EQ(Capture(Current()), before);
  }
}

TEST_F(Edits, TheOtherOperationsOnAnEmptyVoice) {
  EXPECT_FALSE(Current().SplitChannels(2, 3));  // mono: the window reports it
  EXPECT_FALSE(Current().AutoMark(10));
  EXPECT_TRUE(Current().MergeChannels(1, 2));
  for (auto command :
       {&KPcmFiles::MarkAll, &KPcmFiles::ResetMKL, &KPcmFiles::ResetMKR, &KPcmFiles::ResetFLG, &KPcmFiles::GotoHead,
        &KPcmFiles::GotoEnd, &KPcmFiles::GotoFlg, &KPcmFiles::GotoMkl, &KPcmFiles::GotoMkr})
    (Current().*command)();
  for (auto click : {&KPcmFiles::SetMklAt, &KPcmFiles::SetMkrAt, &KPcmFiles::SetFlgAt}) (Current().*click)(5);
  EXPECT_EQ(Capture(Current()), Whole(1, 8, 16000, {}));
  EXPECT_TRUE(messages_.empty());
  // Paste in any mode covers from frame 1, in the buffer's format and rate.
  Fill16(Buffer(), 2, {1, -1, 2, -2, 3, -3});
  Buffer().SampleRate = 22050;
  for (Run paste : {&KPcmFiles::PasteByCover, &KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix}) {
    Current().ClearBank();
    ASSERT_TRUE(paste(Current()));
    EXPECT_EQ(Capture(Current()), Capture(Buffer()));
    EXPECT_EQ(Current().UndoDepth(), 0);
  }
  // Splitting an empty stereo voice gives empty mono voices.
  Current().ClearBank();
  Current().Channels = 2;
  FillMono8(Voice(3), {1, 2, 3});
  ASSERT_TRUE(Current().SplitChannels(3, 4));
  EXPECT_EQ(Capture(Voice(3)), Whole(1, 8, 16000, {}));
  EXPECT_EQ(Voice(3).Storage->Size(), 16);
  // Insert mute gives silent frames in the voice's format.
  Current().BitsPerSample = 16;
  ASSERT_TRUE(Current().InsertMute(2));
  EXPECT_EQ(Capture(Current()), Whole(2, 16, 16000, std::vector<uint8_t>(8, 0)));
}

// Results past 2^31 - 1 bytes and bad arguments are refused before any change.
TEST_F(Edits, RefusalsChangeNothing) {
  Fill16(Current(), 2, {1, 2, 3, 4});
  Current().SampleRate = 20'000'000;  // an echo delay of 2 s is 40 million frames
  for (KPcmFiles* v : {&Buffer(), &Voice(2)}) {
    FillMono8(*v, {1});
    v->END = 600'000'000;  // 2.4e9 bytes once stereo 16-bit
  }
  FillMono8(Voice(3), {1});
  Fill16(Voice(4), 1, {1});
  const State before = Capture(Current());
  const std::pair<Run, std::string> rows[] = {
      {&KPcmFiles::PasteByInsert, msg::TooLong("the paste")},
      {[](KPcmFiles& v) { return v.InsertMute(INT32_MAX); }, msg::TooLong("the insert")},
      {[](KPcmFiles& v) { return v.Echo(2000, 99); }, msg::TooLong("the echo")},
      {[](KPcmFiles& v) {
         return v.MixBanks({2, 1, 0, 0});
       },
       msg::TooLong("the mix")},
      {[](KPcmFiles& v) { return v.InsertMute(-1); }, KLoadMessageText(msg::kNegativeInsert)},
      {[](KPcmFiles& v) { return v.AutoMark(0); }, KLoadMessageText(msg::kAutoMarkLength)},
      {[](KPcmFiles& v) { return v.SplitChannels(2, 2); }, KLoadMessageText(msg::kSplitSameBank)},
      {[](KPcmFiles& v) { return v.MergeChannels(1, 3); }, KLoadMessageText(msg::kMergeStereoSource)},
      {[](KPcmFiles& v) { return v.MergeChannels(3, 4); }, KLoadMessageText(msg::kMergeWidths)},
      {[](KPcmFiles& v) { return v.MathAmplifier(NAN) || v.MathAmplifier(INFINITY); }, ""},
      {[](KPcmFiles& v) { return v.Echo(280, NAN) || v.Echo(2001, 60) || v.Echo(280, 99.5); }, ""},
  };
  for (const auto& [run, message] : rows) {
    SCOPED_TRACE(message);
    messages_.clear();
    EXPECT_FALSE(run(Current()));
    EXPECT_EQ(messages_, message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
  }
  EXPECT_EQ(Capture(Current()), before);
  EXPECT_EQ(Current().UndoDepth(), 0);
  EXPECT_EQ(MarksOf(Voice(2)), (Marks{600'000'000, 1, 1, 1, 1}));
}

// Fade-in scales by (p - MKL) / n and needs n = MKR - MKL + 1 > 16; fade-out
// by 1 - (p - MKL) / (MKR - MKL), truncated, and needs MKR > MKL. The
// amplifier scales MKL..MKR when MKR - MKL >= 10, clips and truncates.
TEST_F(Edits, FadesAndAmplifier) {
  Fill16(Current(), 2, std::vector<int16_t>(40, 1700));
  Mark(Current(), 1, 16, 1);
  EXPECT_FALSE(Current().FadeIn());
  Current().MKR = 17;
  ASSERT_TRUE(Current().FadeIn());
  const std::vector<int16_t> s = Samples16(Current());  // frames 1, 9, 17 and 18
  EXPECT_EQ((std::vector<int16_t>{s[0], s[17], s[32], s[35]}), (std::vector<int16_t>{0, 800, 1600, 1700}));
  FillMono8(Current(), {228, 228, 28, 28, 228});
  Mark(Current(), 5, 5, 1);
  EXPECT_FALSE(Current().FadeOut());
  Current().MKL = 1;
  ASSERT_TRUE(Current().FadeOut());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{228, 203, 78, 103, 128}));
  FillMono8(Current(), {1, 2});  // two frames: too short to fade
  EXPECT_FALSE(Current().FadeOut());
  FillMono8(Current(), {200, 200, 200, 100, 200, 200, 200, 200, 200, 200, 200, 200, 200});
  Mark(Current(), 2, 12, 5);
  ASSERT_TRUE(Current().MathAmplifier(200));
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{200, 255, 255, 72, 255, 255, 255, 255, 255, 255, 255, 255, 200}));
  Fill16(Current(), 1, {20000, -20000, -3, 3, 3, 3, 3, 3, 3, 3, 3});
  ASSERT_TRUE(Current().MathAmplifier(200));
  ASSERT_TRUE(Current().MathAmplifier(25));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{8191, -8192, -1, 1, 1, 1, 1, 1, 1, 1, 1}));
  Current().MKR = 10;  // ten frames apart: left alone
  EXPECT_TRUE(Current().MathAmplifier(50));
  EXPECT_EQ(Samples16(Current())[2], -1);
}

// An echo while a^k >= 0.1, at most 63; at 10 Hz 100 ms are one frame. The
// result is marked whole; frame 3 + 0.99 frame 2 + 0.99^2 frame 1 clips in both channels.
TEST_F(Edits, EchoCount) {
  for (auto [attenuation, n] : {std::pair{5.0, 0}, {9.9, 0}, {10.0, 1}, {60.0, 4}, {99.0, 63}}) {
    Fill(Current(), 2, 8, {250, 5, 128, 128, 250, 5});
    Current().SampleRate = 10;
    Mark(Current(), 2, 2, 3);
    ASSERT_TRUE(Current().Echo(100, attenuation));
    EXPECT_EQ(MarksOf(Current()), (Marks{3 + n, 1, 3 + n, 1, 1})) << attenuation;
  }
  const std::vector<uint8_t> bytes = Bytes(Current());
  EXPECT_EQ((std::vector<uint8_t>{bytes[4], bytes[5]}), (std::vector<uint8_t>{255, 0}));
}

// The mixer: the longest length and the highest rate of the sources that have
// frames, without resampling; shorter sources end in silence; sources of
// another format are converted first; each is read on its own, so a bank may
// be chosen twice and the current voice may be one. Snapshots stay.
TEST_F(Edits, MixLengthRateFormatAndClipping) {
  FillMono8(Voice(2), {130, 140, 150});
  Voice(2).SampleRate = 11025;
  FillMono8(Voice(3), {129, 127});
  Voice(3).SampleRate = 8000;
  Voice(4).Channels = 2;  // empty, at 16000 Hz
  Voice(4).BitsPerSample = 16;
  FillMono8(Current(), {1, 2});
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MixBanks({2, 4, 3, 0}));
  EXPECT_EQ(Capture(Current()), Whole(1, 8, 11025, {131, 139, 150}));
  EXPECT_EQ(Current().UndoDepth(), 1);
  FillMono8(Voice(2), {129, 127});  // 1 and -1, scaled, in both channels
  Fill16(Voice(3), 2, {100, -100, 5, 7});
  ASSERT_TRUE(Current().MixBanks({3, 2, 0, 0}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{356, 156, -251, -249}));
  Fill16(Current(), 1, {10, 20, 30});
  Fill16(Voice(2), 1, {1, 2, 3, 4});
  ASSERT_TRUE(Current().MixBanks({2, 1, 2, 0}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{12, 24, 36, 8}));
  Fill16(Voice(2), 1, {30000, -30000});
  ASSERT_TRUE(Current().MixBanks({2, 2, 2, 2}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{32767, -32768}));
}

// Split gives each channel to a mono bank in the voice's width and rate; merge
// makes two mono banks of one width the voice's channels, the shorter ending
// in silence, at the first one's rate. Both drop the snapshots they replace.
TEST_F(Edits, SplitAndMergeChannels) {
  Fill(Current(), 2, 8, {1, 2, 3, 4, 5, 6});
  Current().SampleRate = 11025;
  FillMono8(Voice(6), {9});
  ASSERT_TRUE(Voice(6).SnapshotForEdit("Undo : Echo"));
  const State before = Capture(Current());
  ASSERT_TRUE(Current().SplitChannels(5, 6));
  EXPECT_EQ(Capture(Current()), before);
  EXPECT_EQ(Capture(Voice(5)), Whole(1, 8, 11025, {1, 3, 5}));
  EXPECT_EQ(Capture(Voice(6)), Whole(1, 8, 11025, {2, 4, 6}));
  EXPECT_EQ(Voice(6).UndoDepth(), 0);
  FillMono8(Voice(6), {2, 4, 6, 8});
  Voice(6).SampleRate = 8000;
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MergeChannels(5, 6));
  EXPECT_EQ(Capture(Current()), Whole(2, 8, 11025, {1, 2, 3, 4, 5, 6, 128, 8}));
  EXPECT_EQ(Current().UndoDepth(), 0);
  // The current bank may be a destination, or a source.
  Fill16(Current(), 2, {1, -1, 2, -2});
  ASSERT_TRUE(Current().SplitChannels(1, 2));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(Samples16(Voice(2)), (std::vector<int16_t>{-1, -2}));
  ASSERT_TRUE(Current().MergeChannels(2, 1));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{-1, 1, -2, 2}));
}

// Translation keeps rate, length and markers and takes no snapshot; the same
// format reports false, an empty voice just takes the format; with no new
// store to be had the voice stays as it was, not silence.
TEST_F(Edits, TranslateFormat) {
  EXPECT_FALSE(Current().TranslateFormat(1, 8));
  EXPECT_FALSE(Current().TranslateFormat(2, 16));
  EXPECT_EQ(Capture(Current()), Whole(2, 16, 16000, {}));
  FillMono8(Current(), {0, 128, 255});
  Current().SampleRate = 11025;
  Mark(Current(), 2, 3, 3);
  Current().ZiStart = 2;
  ASSERT_TRUE(Current().TranslateFormat(1, 16));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{-32768, 0, 32512}));
  EXPECT_EQ(std::make_tuple(MarksOf(Current()), Current().SampleRate, Current().UndoDepth()),
            std::make_tuple(Marks{3, 2, 3, 3, 2}, 11025, 0));
  Fill16(Current(), 2, {100, -100, -20000, 20000});
  ASSERT_TRUE(Current().TranslateFormat(1, 8));
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{128, 128}));  // the channels cancel out
  const State before = Capture(Current());
  messages_.clear();
  std::filesystem::rename(swap_, swap_ + ".away");  // the voice's own file stays open
  EXPECT_FALSE(Current().TranslateFormat(1, 16));
  std::filesystem::rename(swap_ + ".away", swap_);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(LastMessageNames(swap_));
  EXPECT_EQ(Capture(Current()), before);
}

// Five snapshots keep the newest four, each bank its own; four undos walk back
// to the state the second one saved (format and markers, never the names), a
// fifth finds nothing. Labels keep 63 characters through the shifts.
TEST_F(Edits, UndoKeepsTheNewestFourSnapshots) {
  KPcmFiles& v = Current();
  EXPECT_FALSE(v.SaveUndo("Undo : Echo"));        // an empty voice gets none
  EXPECT_TRUE(v.SnapshotForEdit("Undo : Echo"));  // nothing due, nothing failed
  std::string label;
  EXPECT_FALSE(v.UndoLabel(label));
  EXPECT_EQ(label, "Undo");
  std::vector<State> states;
  for (int step = 1; step <= 5; ++step) {
    Fill16(v, 3 - step % 2, std::vector<int16_t>(size_t(step * 2), int16_t(step * 1000)));
    v.SampleRate = 8000 + step;
    Mark(v, 1, step / 2 + 1, step / 2 + 1);
    v.ZiStart = step / 2 + 1;
    states.push_back(Capture(v));
    ASSERT_TRUE(v.SaveUndo(step == 2 ? std::string(63, 'x') + "tail" : "Undo : step " + std::to_string(step)));
  }
  FillMono8(Voice(2), {2});
  ASSERT_TRUE(v.TranslateFormat(1, 8));  // takes no snapshot
  std::tie(v.AliasName, v.FileName) = std::make_pair("renamed"s, "/renamed.mxv"s);
  EXPECT_FALSE(Voice(2).LoadUndo());
  for (int step = 5; step >= 2; --step) {
    ASSERT_TRUE(v.UndoLabel(label));
    EXPECT_EQ(label, step == 2 ? std::string(63, 'x') : "Undo : step " + std::to_string(step));
    ASSERT_TRUE(v.LoadUndo());
    EXPECT_EQ(Capture(v), states[size_t(step - 1)]);
  }
  EXPECT_FALSE(v.LoadUndo() || v.UndoLabel(label));
  EXPECT_EQ(std::tie(v.AliasName, v.FileName, v.OverviewStale), std::make_tuple("renamed"s, "/renamed.mxv"s, true));
}

// A full disk while the snapshot is copied: the message names the swap
// folder, the undo store and the voice stay as they were.
TEST_F(Edits, ASnapshotThatCannotBeWrittenChangesNothing) {
  FillMono8(Current(), std::vector<uint8_t>(300000, 7));
  ASSERT_TRUE(Current().SaveUndo("Undo : first"));
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(Current().SnapshotForEdit("Undo : second"));
  }
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(LastMessageNames(swap_));
  std::string label;
  EXPECT_TRUE(Current().UndoLabel(label));
  EXPECT_EQ(std::make_tuple(label, Current().UndoDepth(), Current().END), std::make_tuple("Undo : first"s, 1, 300000));
}

}  // namespace
