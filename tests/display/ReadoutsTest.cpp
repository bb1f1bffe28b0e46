// The readouts and the controls they go to, what pointer presses mean, and what the voice draws and shows through its
// display layer.
#include <gtest/gtest.h>

#include <clocale>

#include "BoxFixture.h"
#include "display/MxVoc.h"
#include "display/PointerClicks.h"
#include "display/Readouts.h"
#include "support/VoiceFixture.h"

namespace {

using Strings = std::vector<std::string>;
using Ints = std::vector<int32_t>;
using Positions = std::vector<std::optional<int32_t>>;
using B = KPointerButton;
constexpr auto kNone = std::nullopt;

TEST(ReadoutTexts, PositionsRatesAndLengths) {
  // Seconds at the rate the field shows (held within 2100..44100, never 0); hex as eight digits.
  EXPECT_EQ(Strings({PositionText(16000, 16000, false), PositionText(0, 16000, false), PositionText(8000, 16000, false),
                     PositionText(4200, 3, false), PositionText(2100, 0, false), PositionText(22050, 44100, false),
                     PositionText(2147483647, 44100, false), PositionText(0x12345, 16000, true),
                     PositionText(0, 16000, true), PositionText(0xABCDEF, 16000, true), PositionText(-1, 16000, true)}),
            Strings({"1.0000 Sec", "0.0000 Sec", "0.5000 Sec", "2.0000 Sec", "1.0000 Sec", "0.5000 Sec",
                     "48695.7743 Sec", "00012345 Hex", "00000000 Hex", "00ABCDEF Hex", "FFFFFFFF Hex"}));
  // Rates: down to a multiple of 25; marked lengths: MKR - MKL + 1, nothing marked at 0 and 0.
  EXPECT_EQ(
      Ints({NormaliseRate(22222), NormaliseRate(1000), NormaliseRate(48000), NormaliseRate(2124), NormaliseRate(11049),
            NormaliseRate(-30000), MarkedLength(0, 0), MarkedLength(5, 5), MarkedLength(11, 20)}),
      Ints({22200, 2100, 44100, 2100, 11025, 2100, 0, 1, 10}));
  // Lengths in bytes, without a 32-bit overflow, for the four formats only.
  EXPECT_EQ(
      std::vector({LengthText(2, 16, 1000), LengthText(1, 8, 1000), LengthText(1, 16, 1000), LengthText(2, 8, 1000),
                   LengthText(3, 16, 1000), LengthText(1, 24, 1000), LengthText(2, 16, 2147483647)}),
      std::vector<std::optional<std::string>>({"LEN = 4000 Bytes", "LEN = 1000 Bytes", "LEN = 2000 Bytes",
                                               "LEN = 2000 Bytes", kNone, kNone, "LEN = 8589934588 Bytes"}));
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {  // a locale with a decimal comma changes nothing
    const std::string text = PositionText(16000, 16000, false) + ", " + *LengthText(2, 16, 1000000);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "1.0000 Sec, LEN = 4000000 Bytes");
  }
}

TEST(VoiceReadouts, EveryControlInTheWindowsOrder) {
  KReadoutValues cleared, hex;
  std::tie(cleared.FileName, cleared.AliasName) = std::tuple("C:/Bank001.MXV", "Alias Name");
  std::tie(hex.Channels, hex.BitsPerSample, hex.SampleRate, hex.END, hex.MKL, hex.MKR, hex.FLG) =
      std::tuple(2, 16, 22222, 0x12345, 5, 5, 0x100);
  std::tie(hex.UndoAvailable, hex.UndoLabel) = std::tuple(true, "Undo : Echo");
  KDisplayOptions hexOptions;
  hexOptions.LocationHex = 1;
  RecordingView view;
  EXPECT_EQ(ShowVoiceReadouts(view, cleared, KDisplayOptions{}), 16000);
  EXPECT_EQ(view.Log, Strings({"END=0.0000 Sec", "MRK=0.0000 Sec", "MKL=0.0000 Sec", "MKR=0.0000 Sec", "FLG=0.0000 Sec",
                               "SR=16000 Hz", "Info=Ch 1 :: Bit 8", "Undo=Undo|off", "Panel2=LEN = 0 Bytes",
                               "Panel0=File = C:/Bank001.MXV", "Panel1=Alias = Alias Name"}));
  view.Log.clear();
  EXPECT_EQ(ShowVoiceReadouts(view, hex, hexOptions), 22200);
  EXPECT_EQ(view.Log, Strings({"END=00012345 Hex", "MRK=00000001 Hex", "MKL=00000005 Hex", "MKR=00000005 Hex",
                               "FLG=00000100 Hex", "SR=22200 Hz", "Info=Ch 2 :: Bit 16", "Undo=Undo : Echo|on",
                               "Panel2=LEN = 298260 Bytes", "Panel0=File = ", "Panel1=Alias = "}));
  // The narrow readouts write only their own controls.
  view.Log.clear();
  EXPECT_EQ(ShowRateReadout(view, 48000), 44100);
  ShowMarkReadouts(view, 11, 20, 16000, hexOptions);
  ShowFlagReadout(view, 16000, 16000, KDisplayOptions{});
  hex.Channels = 4;  // an unknown format leaves the length panel as it is
  ShowStatusBar(view, hex);
  EXPECT_EQ(view.Log, Strings({"SR=44100 Hz", "MKL=0000000B Hex", "MKR=00000014 Hex", "MRK=0000000A Hex",
                               "FLG=1.0000 Sec", "Panel0=File = ", "Panel1=Alias = "}));
  ShowBankButtons(view, 3);
  ShowBankButtons(view, 12);
  EXPECT_EQ(view.Banks,
            (std::map<int, int>{
                {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}, {10, 0}, {11, 0}, {12, 1}}));
}

// Zoom-in: the frame under x, each frame's first pixel moved one to the left; overview: starts on multiples of END div
// 543, at least 1, only for the left button in the interior of a voice; the alias panel.
TEST(PointerClicks, ZoomInOverviewAndAliasPanel) {
  EXPECT_EQ(Positions({ZoomInPosition(64, 100, 608, 2, 100), ZoomInPosition(66, 100, 608, 2, 100),
                       ZoomInPosition(67, 100, 608, 2, 100), ZoomInPosition(70, 100, 608, 8, 100),
                       ZoomInPosition(607, 272, 608, 2, 100), ZoomInPosition(607, 17, 608, 2, 1),
                       ZoomInPosition(100, 16, 608, 2, 1), ZoomInPosition(100, 273, 608, 2, 1),
                       ZoomInPosition(608, 100, 608, 2, 1), ZoomInPosition(500, 100, 500, 2, 1)}),
            Positions({100, 101, 102, 100, 372, 273, kNone, kNone, kNone, kNone}));
  EXPECT_EQ(Positions({OverviewStart(B::Left, 65, 100, false, 10000), OverviewStart(B::Left, 64, 100, false, 10000),
                       OverviewStart(B::Left, 607, 100, false, 542), OverviewStart(B::Left, 607, 100, false, 1086),
                       OverviewStart(B::Left, 100, 150, true, 10000), OverviewStart(B::Left, 100, 150, false, 10000),
                       OverviewStart(B::Left, 608, 100, false, 10000), OverviewStart(B::Left, 100, 100, false, 0),
                       OverviewStart(B::Middle, 100, 100, false, 10000)}),
            Positions({18, 1, 1, 1086, 18 * 36, kNone, kNone, kNone, kNone}));
  EXPECT_EQ(std::vector({InAliasPanel(370), InAliasPanel(371), InAliasPanel(629), InAliasPanel(630)}),
            std::vector({false, true, true, false}));
}

class Gui : public VoiceFixture {
 protected:
  Gui() { std::tie(display_.View, display_.ZoomIn, display_.Overview) = std::tuple(&view_, &zi_, &zo_); }
  KPcmGui& Bank(int n) { return static_cast<KPcmGui&>(gui_.Bank(n)); }
  // Selects bank 1 after filling it with mono 8-bit frames of byte values i * step.
  KPcmGui& Selected(size_t frames, int step) {
    std::vector<uint8_t> bytes(frames);
    for (size_t i = 0; i < frames; ++i) bytes[i] = uint8_t(i * size_t(step));
    Fill(Bank(1), 1, 8, bytes);
    gui_.SelectBank(1);
    return Bank(1);
  }
  int Changes() const { return zi_.Changes + zo_.Changes; }

  KDisplay display_{0xC0C0C0};
  RecordingView view_;
  RecordingCanvas zi_{KDisplay::kBoxWidth, KDisplay::kZoomInHeight},
      zo_{KDisplay::kBoxWidth, KDisplay::kOverviewHeight};
  KBankSet gui_{swap_, KMxVoc::Factory(display_)};
};

// Only the current bank draws: an edit of another bank changes its samples but neither the boxes nor the readouts, and
// its envelope waits for the SelectBank that draws it, shows its readouts and makes it current.
TEST_F(Gui, SelectBankDrawsThisVoiceThenMakesItCurrent) {
  Fill(Bank(3), 2, 16, std::vector<uint8_t>(4000, 7));
  Bank(3).SampleRate = 22222;
  const int before = Changes();
  EXPECT_FALSE(Bank(3).Refresh() || Bank(3).RedrawAll());
  EXPECT_TRUE(Bank(3).MathAmplifier(50));
  Bank(3).ShowPlayPosition(50);
  Bank(3).ShowRate();
  EXPECT_FALSE(Bank(3).OverviewClick(KPointerButton::Left, 300, 100));
  EXPECT_TRUE(Changes() == before && view_.Log.empty() && Bank(3).OverviewStale);
  gui_.SelectBank(3);
  EXPECT_TRUE(gui_.CurrentVoice == &Bank(3) && gui_.CurrentBankNumber == 3 && !Bank(3).OverviewStale);
  EXPECT_EQ(std::tuple(view_.Banks[3], view_.Banks[1], Bank(3).SampleRate, Bank(3).Overview.Reductions()),
            std::tuple(1, 0, 22200, int64_t(1)));  // the rate shown is the rate kept
  EXPECT_NE(std::find(view_.Log.begin(), view_.Log.end(), "Undo=Undo : Mathematical Amplifier|on"), view_.Log.end());
  EXPECT_TRUE(zi_.Changes >= 1 && zo_.Changes >= 1);
  Bank(3).SampleRate = 11111;
  Bank(3).ShowRate();
  EXPECT_EQ(std::pair(Bank(3).SampleRate, view_.Log.back()), std::pair(11100, std::string("SR=11100 Hz")));
}

// Paints, marker moves and shifts draw from the stored envelope and zoom window: the same calls after the samples
// changed behind the display's back.
TEST_F(Gui, TheEnvelopeIsComputedOncePerChangeNeverByAPaint) {
  KPcmGui& v = Selected(10000, 37);
  ASSERT_EQ(v.Overview.Reductions(), 1);
  const auto zi = zi_.Calls, zo = zo_.Calls;
  uint8_t* view = v.Storage->MapView(0, 10000);
  std::fill(view, view + 10000, uint8_t(0));
  v.Storage->UnmapView(view);
  zi_.Calls.clear();
  zo_.Calls.clear();
  v.PaintZoomIn();
  v.PaintOverview();
  EXPECT_TRUE(zi_.Calls == zi && zo_.Calls == zo);
  v.SetMklAt(100);
  v.SetFlgAt(50);
  EXPECT_TRUE(v.ShiftWaveform(+1) && v.ShiftWaveform(-1));
  v.GotoEnd();
  EXPECT_EQ(v.Overview.Reductions(), 1);
  EXPECT_TRUE(v.MathAmplifier(150) && v.Overview.Reductions() == 2);
}

// The zoom-in position follows ZiStart and the resolution; an overview click moves and refills the zoom-in window and
// redraws both boxes, not the readouts.
TEST_F(Gui, PointerPressesInTheBoxes) {
  KPcmGui& v = Selected(10000, 7);
  EXPECT_EQ(v.ZoomInPositionAt(65, 100), 2);
  display_.Options.ZiResolution = 8;
  EXPECT_TRUE(v.ZoomInPositionAt(71, 100) == 2 && !v.ZoomInPositionAt(63, 100));
  view_.Log.clear();
  const int zi = zi_.Changes, zo = zo_.Changes;
  EXPECT_TRUE(v.OverviewClick(KPointerButton::Left, 607, 100));
  EXPECT_FALSE(v.OverviewClick(KPointerButton::Right, 300, 100));
  EXPECT_EQ(std::tuple(v.ZiStart, zi_.Changes, zo_.Changes), std::tuple(18 * 543, zi + 1, zo + 1));
  EXPECT_EQ(ZiLevel(v.Zoom.ZiColumns[0][0], 8), uint8_t((18 * 543 - 1) * 7));  // the frame at ZiStart
  EXPECT_TRUE(view_.Log.empty());
  gui_.SelectBank(2);  // an empty voice: nothing moves
  EXPECT_FALSE(Bank(2).OverviewClick(KPointerButton::Left, 300, 100));
  EXPECT_EQ(Bank(2).ZiStart, 0);
}

}  // namespace
