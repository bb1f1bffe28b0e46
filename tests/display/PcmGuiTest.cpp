// The display layer of the voice: what SelectBank, the paints and the hooks
// draw and show, that only the current bank draws, and that the envelope is
// computed once per change of the samples, never by a paint.
#include <gtest/gtest.h>

#include "BoxFixture.h"
#include "display/MxVoc.h"
#include "support/VoiceFixture.h"

namespace {

using Strings = std::vector<std::string>;

class Surface : public KBoxSurface {
 public:
  Surface(int width, int height) : canvas(width, height), width_(width), height_(height) {}
  KCanvas& Canvas() override { return canvas; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Changed() override { ++changes; }
  RecordingCanvas canvas;
  int changes = 0;

 private:
  int width_, height_;
};

class Gui : public VoiceFixture {
 protected:
  Gui() : display_{0xC0C0C0} {
    std::tie(display_.View, display_.ZoomIn, display_.Overview) = std::tuple(&view_, &zi_, &zo_);
  }
  KPcmGui& Bank(int n) { return static_cast<KPcmGui&>(gui_.Bank(n)); }
  // Selects bank `n` after filling it with `bytes` of mono 8-bit frames.
  KPcmGui& Selected(int n, const std::vector<uint8_t>& bytes) {
    Fill(Bank(n), 1, 8, bytes);
    gui_.SelectBank(n);
    return Bank(n);
  }

  KDisplay display_;
  RecordingView view_;
  Surface zi_{KDisplay::kBoxWidth, KDisplay::kZoomInHeight}, zo_{KDisplay::kBoxWidth, KDisplay::kOverviewHeight};
  KBankSet gui_{swap_, KMxVoc::Factory(display_)};
};

TEST_F(Gui, SelectBankDrawsThisVoiceThenMakesItCurrent) {
  Fill(Bank(3), 2, 16, std::vector<uint8_t>(4000, 7));
  Bank(3).SampleRate = 22222;
  gui_.SelectBank(3);
  EXPECT_TRUE(gui_.CurrentVoice == &Bank(3) && gui_.CurrentBankNumber == 3);
  EXPECT_EQ(std::pair(view_.Banks[3], view_.Banks[1]), std::pair(1, 0));
  EXPECT_EQ(Bank(3).SampleRate, 22200);  // the rate shown is the rate kept
  for (const char* shown : {"SR=22200 Hz", "Info=Ch 2 :: Bit 16", "Undo=Undo|off", "Panel2=LEN = 4000 Bytes"})
    EXPECT_NE(std::find(view_.Log.begin(), view_.Log.end(), shown), view_.Log.end()) << shown;
  EXPECT_TRUE(zi_.changes >= 1 && zo_.changes >= 1);
  EXPECT_EQ(Bank(3).Overview.Reductions(), 1);
}

// Only the current bank draws: an edit of another bank changes its samples
// but neither the boxes nor the readouts; its envelope waits for its next drawing.
TEST_F(Gui, OnlyTheCurrentBankDraws) {
  gui_.SelectBank(1);
  Fill(Bank(2), 1, 8, std::vector<uint8_t>(100, 200));
  const int before = zi_.changes + zo_.changes;
  view_.Log.clear();
  EXPECT_FALSE(Bank(2).Refresh() || Bank(2).RedrawAll());
  EXPECT_TRUE(Bank(2).MathAmplifier(50));
  Bank(2).ShowPlayPosition(50);
  Bank(2).ShowRate();
  EXPECT_FALSE(Bank(2).OverviewClick(KPointerButton::Left, 300, 100));
  EXPECT_EQ(zi_.changes + zo_.changes, before);
  EXPECT_TRUE(view_.Log.empty() && Bank(2).OverviewStale);
  gui_.SelectBank(2);
  EXPECT_TRUE(!Bank(2).OverviewStale && Bank(2).Overview.Reductions() == 1);
}

// Paints and shifts draw from the stored envelope and zoom window: the same
// calls after the samples changed behind the display's back.
TEST_F(Gui, TheEnvelopeIsComputedOncePerChangeNeverByAPaint) {
  std::vector<uint8_t> bytes(10000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 37);
  KPcmGui& v = Selected(1, bytes);
  ASSERT_EQ(v.Overview.Reductions(), 1);
  const auto zi = zi_.canvas.Calls, zo = zo_.canvas.Calls;
  uint8_t* view = v.Storage->MapView(0, int32_t(bytes.size()));
  std::fill(view, view + bytes.size(), uint8_t(0));
  v.Storage->UnmapView(view);
  zi_.canvas.Calls.clear();
  zo_.canvas.Calls.clear();
  v.PaintZoomIn();
  v.PaintOverview();
  EXPECT_TRUE(zi_.canvas.Calls == zi && zo_.canvas.Calls == zo);
  v.SetMklAt(100);
  v.SetMkrAt(4000);
  v.SetFlgAt(50);
  EXPECT_TRUE(v.ShiftWaveform(+1) && v.ShiftWaveform(-1));
  v.GotoEnd();
  EXPECT_EQ(v.Overview.Reductions(), 1);
  ASSERT_TRUE(v.MathAmplifier(150));
  EXPECT_EQ(v.Overview.Reductions(), 2);
  EXPECT_EQ(view_.Undo, "Undo : Mathematical Amplifier|on");
}

// The play pointer is redrawn only when its column changes, and a paint keeps
// it; messages (ids as their texts), the record bar, the rate and the alias
// reach only their own controls.
TEST_F(Gui, HooksReachTheView) {
  KPcmGui& v = Selected(1, std::vector<uint8_t>(54400, 128));
  const int boxes = zi_.changes, changes = zo_.changes;
  v.ShowPlayPosition(1);
  v.ShowPlayPosition(50);  // 100 frames per column: still the first column
  EXPECT_EQ(zo_.changes, changes);
  v.ShowPlayPosition(27200);
  EXPECT_EQ(zo_.changes, changes + 1);
  const int32_t playing = v.Overview.PointerX;
  v.PaintOverview();
  EXPECT_EQ(v.Overview.PointerX, playing);
  v.ShowMessageId(msg::kWarnCopyFirst);
  v.ShowNotice("notice");
  EXPECT_EQ(view_.Messages, Strings({std::string(KLoadMessageText(msg::kWarnCopyFirst)), "notice"}));
  view_.Log.clear();
  v.ShowRecordProgress(42);
  v.SampleRate = 11111;
  v.ShowRate();
  v.SetAlias("new name");
  v.ShowAlias();
  view_.Log.erase(view_.Log.begin() + 3);  // the file panel, with the voice's file name
  EXPECT_EQ(view_.Log, Strings({"Record=42", "SR=11100 Hz", "Panel2=LEN = 54400 Bytes", "Panel1=Alias = new name"}));
  EXPECT_EQ(std::pair(v.SampleRate, zi_.changes), std::pair(11100, boxes));
}

// The zoom-in position follows ZiStart and the resolution; an overview click
// moves the window and redraws both boxes, but not the readouts.
TEST_F(Gui, PointerPressesInTheBoxes) {
  KPcmGui& v = Selected(1, std::vector<uint8_t>(10000, 128));
  EXPECT_EQ(v.ZoomInPositionAt(65, 100), 2);
  display_.Options.ZiResolution = 8;
  EXPECT_EQ(v.ZoomInPositionAt(71, 100), 2);
  EXPECT_EQ(v.ZoomInPositionAt(63, 100), std::nullopt);
  view_.Log.clear();
  const int zi = zi_.changes, zo = zo_.changes;
  EXPECT_TRUE(v.OverviewClick(KPointerButton::Left, 607, 100));
  EXPECT_FALSE(v.OverviewClick(KPointerButton::Right, 300, 100));
  EXPECT_EQ(std::tuple(v.ZiStart, zi_.changes, zo_.changes), std::tuple(18 * 543, zi + 1, zo + 1));
  EXPECT_TRUE(view_.Log.empty());
  gui_.SelectBank(2);  // an empty voice: nothing moves
  EXPECT_FALSE(Bank(2).OverviewClick(KPointerButton::Left, 300, 100));
  EXPECT_EQ(Bank(2).ZiStart, 0);
}

}  // namespace
