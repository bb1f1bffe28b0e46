// The display layer of the voice: what Refresh, RedrawAll, SelectBank and the
// hooks draw and show, that only the current bank draws, and that the
// envelope is computed once per change of the samples, never by a paint.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "RecordingCanvas.h"
#include "display/MxVoc.h"
#include "support/VoiceFixture.h"

namespace {

class RecordingView : public KVoiceView {
 public:
  void SetReadout(KReadoutField field, std::string_view text) override { Readouts[field] = text; }
  void SetStatusPanel(KStatusPanel panel, std::string_view text) override { Panels[panel] = text; }
  void SetUndoItem(std::string_view caption, bool enabled) override {
    Undo = caption;
    UndoEnabled = enabled;
  }
  void SetBankImage(int bank, int imageIndex) override { BankImages[bank] = imageIndex; }
  void SetRecordProgress(int percent) override { RecordPercent = percent; }
  void ShowMessage(std::string_view text) override { Messages.emplace_back(text); }

  std::map<KReadoutField, std::string> Readouts;
  std::map<KStatusPanel, std::string> Panels;
  std::string Undo;
  bool UndoEnabled = false;
  std::map<int, int> BankImages;
  int RecordPercent = -1;
  std::vector<std::string> Messages;
};

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
  Gui() {
    display_.View = &view_;
    display_.ZoomIn = &zoomIn_;
    display_.Overview = &overview_;
  }
  KPcmGui& Bank(int n) { return static_cast<KPcmGui&>(gui_.Bank(n)); }

  KDisplay display_{0xC0C0C0};
  RecordingView view_;
  Surface zoomIn_{KDisplay::kBoxWidth, KDisplay::kZoomInHeight};
  Surface overview_{KDisplay::kBoxWidth, KDisplay::kOverviewHeight};
  KBankSet gui_{swap_, KMxVoc::Factory(display_)};
};

TEST_F(Gui, SelectBankDrawsThisVoiceThenMakesItCurrent) {
  Fill(Bank(3), 2, 16, std::vector<uint8_t>(4000, 7));
  Bank(3).SampleRate = 22222;
  gui_.SelectBank(3);
  EXPECT_EQ(gui_.CurrentVoice, &Bank(3));
  EXPECT_EQ(gui_.CurrentBankNumber, 3);
  EXPECT_EQ(view_.BankImages[3], 1);
  EXPECT_EQ(view_.BankImages[1], 0);
  EXPECT_EQ(view_.Readouts[KReadoutField::SampleRate], "22200 Hz");
  EXPECT_EQ(Bank(3).SampleRate, 22200);  // the rate shown is the rate kept
  EXPECT_EQ(view_.Panels[KStatusPanel::Length], "LEN = 4000 Bytes");
  EXPECT_EQ(view_.Readouts[KReadoutField::VoiceInfo], "Ch 2 :: Bit 16");
  EXPECT_EQ(view_.Undo, "Undo");
  EXPECT_FALSE(view_.UndoEnabled);
  EXPECT_GE(zoomIn_.changes, 1);
  EXPECT_GE(overview_.changes, 1);
  EXPECT_EQ(Bank(3).Overview.Reductions(), 1);
}

// Only the current bank draws: an edit of another bank changes its samples
// but neither the boxes nor the readouts.
TEST_F(Gui, OnlyTheCurrentBankDraws) {
  gui_.SelectBank(1);
  Fill(Bank(2), 1, 8, std::vector<uint8_t>(100, 200));
  const int before = zoomIn_.changes;
  view_.Readouts.clear();
  EXPECT_FALSE(Bank(2).Refresh());
  EXPECT_FALSE(Bank(2).RedrawAll());
  EXPECT_TRUE(Bank(2).MathAmplifier(50));
  EXPECT_EQ(zoomIn_.changes, before);
  EXPECT_TRUE(view_.Readouts.empty());
  EXPECT_TRUE(Bank(2).OverviewStale);  // recomputed when it is drawn next
  gui_.SelectBank(2);
  EXPECT_FALSE(Bank(2).OverviewStale);
  EXPECT_EQ(Bank(2).Overview.Reductions(), 1);
}

TEST_F(Gui, TheEnvelopeIsComputedOncePerChangeNeverByAPaint) {
  Fill(Bank(1), 1, 16, std::vector<uint8_t>(2 * 5000, 0x40));
  Bank(1).OverviewStale = true;
  gui_.SelectBank(1);
  KPcmGui& v = Bank(1);
  ASSERT_EQ(v.Overview.Reductions(), 1);
  for (int k = 0; k < 3; ++k) {
    v.PaintZoomIn();
    v.PaintOverview();
  }
  v.SetMklAt(100);
  v.SetMkrAt(4000);
  v.SetFlgAt(50);
  EXPECT_TRUE(v.ShiftWaveform(+1));
  EXPECT_TRUE(v.ShiftWaveform(-1));
  v.GotoEnd();
  EXPECT_EQ(v.Overview.Reductions(), 1);
  ASSERT_TRUE(v.MathAmplifier(150));
  EXPECT_EQ(v.Overview.Reductions(), 2);
  EXPECT_EQ(view_.Undo, "Undo : Mathematical Amplifier");
  EXPECT_TRUE(view_.UndoEnabled);
}

// The play pointer is redrawn only when its column changes; a message goes to
// the view (ids as their texts) and the record bar follows the recording.
TEST_F(Gui, HooksReachTheView) {
  Fill(Bank(1), 1, 8, std::vector<uint8_t>(54400, 128));
  gui_.SelectBank(1);
  KPcmGui& v = Bank(1);
  int changes = overview_.changes;
  v.ShowPlayPosition(1);
  v.ShowPlayPosition(50);  // 100 frames per column: still the first column
  EXPECT_EQ(overview_.changes, changes);
  v.ShowPlayPosition(27200);
  EXPECT_EQ(overview_.changes, changes + 1);
  const int32_t playing = v.Overview.PointerX;
  v.PaintOverview();  // a paint request during the play keeps the play position
  EXPECT_EQ(v.Overview.PointerX, playing);
  v.ShowMessageId(msg::kWarnCopyFirst);
  v.ShowNotice("notice");
  ASSERT_EQ(view_.Messages.size(), 2u);
  EXPECT_EQ(view_.Messages[0], KLoadMessageText(msg::kWarnCopyFirst));
  EXPECT_EQ(view_.Messages[1], "notice");
  v.ShowRecordProgress(42);
  EXPECT_EQ(view_.RecordPercent, 42);
}

TEST_F(Gui, TheRateAndAliasRewriteOnlyTheirOwnReadouts) {
  Fill(Bank(1), 1, 8, std::vector<uint8_t>(100, 128));
  gui_.SelectBank(1);
  KPcmGui& v = Bank(1);
  view_.Readouts.clear();
  view_.Panels.clear();
  const int boxes = zoomIn_.changes + overview_.changes;
  v.SampleRate = 11111;
  v.ShowRate();
  EXPECT_EQ(view_.Readouts.size(), 1u);
  EXPECT_EQ(view_.Readouts[KReadoutField::SampleRate], "11100 Hz");
  v.SetAlias("new name");
  v.ShowAlias();
  EXPECT_EQ(view_.Panels[KStatusPanel::Alias], "Alias = new name");
  EXPECT_EQ(view_.Readouts.size(), 1u);
  EXPECT_EQ(zoomIn_.changes + overview_.changes, boxes);
}

// The zoom-in position follows ZiStart and the resolution; an overview click
// moves the window and redraws both boxes, but not the readouts.
TEST_F(Gui, PointerPressesInTheBoxes) {
  Fill(Bank(1), 1, 8, std::vector<uint8_t>(10000, 128));
  gui_.SelectBank(1);
  KPcmGui& v = Bank(1);
  EXPECT_EQ(v.ZoomInPositionAt(65, 100), 2);
  display_.Options.ZiResolution = 8;
  EXPECT_EQ(v.ZoomInPositionAt(71, 100), 2);
  EXPECT_EQ(v.ZoomInPositionAt(63, 100), std::nullopt);
  view_.Readouts.clear();
  const int zi = zoomIn_.changes, zo = overview_.changes;
  EXPECT_TRUE(v.OverviewClick(KPointerButton::Left, 607, 100));
  EXPECT_EQ(v.ZiStart, 18 * 543);
  EXPECT_EQ(zoomIn_.changes, zi + 1);
  EXPECT_EQ(overview_.changes, zo + 1);
  EXPECT_TRUE(view_.Readouts.empty());
  EXPECT_FALSE(v.OverviewClick(KPointerButton::Right, 300, 100));
  EXPECT_EQ(v.ZiStart, 18 * 543);
  gui_.SelectBank(2);  // an empty voice: nothing moves
  EXPECT_FALSE(Bank(2).OverviewClick(KPointerButton::Left, 300, 100));
  EXPECT_EQ(Bank(2).ZiStart, 0);
}

}  // namespace
