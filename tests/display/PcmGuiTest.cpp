// The display layer of the voice: what SelectBank, the paints and the hooks
// draw and show, that only the current bank draws, and that the envelope is
// computed once per change of the samples, never by a paint.
#include <gtest/gtest.h>

#include "BoxFixture.h"
#include "display/MxVoc.h"
#include "support/VoiceFixture.h"

namespace {

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

// Only the current bank draws: an edit of another bank changes its samples
// but neither the boxes nor the readouts, and its envelope waits for the
// SelectBank that draws it, shows its readouts and makes it current.
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

// Paints, marker moves and shifts draw from the stored envelope and zoom
// window: the same calls after the samples changed behind the display's back.
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

// The zoom-in position follows ZiStart and the resolution; an overview click
// moves and refills the zoom-in window and redraws both boxes, not the readouts.
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
