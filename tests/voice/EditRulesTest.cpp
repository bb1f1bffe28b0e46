// What every edit obeys (empty voice, refusals, swap folder, undo), and markers.
#include <climits>
#include <cmath>

#include "EditFixture.h"
#include "support/FileSizeLimit.h"

using EditRules = EditFixture;

// Each edit does nothing on an empty voice with an empty copy buffer, changes
// nothing while the swap folder is missing or full, else is undone by label.
TEST_F(EditRules, EachEdit) {
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

TEST_F(EditRules, TheOtherOperationsOnAnEmptyVoice) {
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
TEST_F(EditRules, RefusalsChangeNothing) {
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

// Goto leaves 32 frames before the marker; clicks clamp, crossed markers swap.
TEST_F(EditRules, GotoAndClicks) {
  FillMono8(Current(), std::vector<uint8_t>(1000, 1));
  Mark(Current(), 100, 700, 50);
  Current().GotoMkr();
  Current().SetMklAt(2000);
  Current().SetMkrAt(0);
  EXPECT_EQ(MarksOf(Current()), (Marks{1000, 1, 700, 50, 668}));
}
