#include "display/PcmGui.h"

#include <string_view>

#include "display/BoxGeometry.h"
#include "display/Readouts.h"
#include "display/ZoomInBox.h"
#include "resources/StringTable.h"
#include "voice/BankSet.h"

namespace {

// The reduction's progress, through the window's progress hooks.
class KHookProgress final : public KEnvelopeProgress {
 public:
  explicit KHookProgress(KUiHooks& ui) : ui_(ui) {}
  void Title(std::string_view title) override { ui_.ProgressTitle(std::string(title)); }
  void Bar(int percent) override { ui_.ProgressBar(percent); }

 private:
  KUiHooks& ui_;
};

KOverviewGeometry OverviewGeometry(KBoxSurface& box, int32_t channels) {
  return MakeOverviewGeometry(box.Width(), box.Height(), channels);
}

}  // namespace

KPcmGui::KPcmGui(KBankSet& set, int32_t bankNumber, KDisplay& display) : KPcmFiles(set, bankNumber), Display(display) {}

bool KPcmGui::IsCurrent() const { return Set.CurrentBankNumber == BankNumber; }

bool KPcmGui::ShowPlayPosition(int32_t position) {
  if (!IsCurrent() || !Display.Overview) return true;
  KOverviewPainter painter(Display.Overview->Canvas(), OverviewGeometry(*Display.Overview, Channels), Display.Colours,
                           Display.Options);
  if (Overview.ShowPlayPosition(position, END, painter)) Display.Overview->Changed();
  return true;
}

bool KPcmGui::ShowRecordProgress(int32_t percent) {
  if (Display.View) Display.View->SetRecordProgress(percent);
  return true;
}

bool KPcmGui::ShowNotice(const std::string& text) { return ShowMessageText(text); }

bool KPcmGui::ShowMessageText(const std::string& text) {
  if (Display.View) Display.View->ShowMessage(text);
  return true;
}

bool KPcmGui::ShowMessageId(int id) {
  if (Display.View) ::ShowMessageId(*Display.View, id);
  return true;
}

bool KPcmGui::Refresh() {
  if (!IsCurrent()) return false;
  if (OverviewStale) {
    KHookProgress progress(Ui());
    Overview.Recompute(*Storage, Facts(), Ui().ProgressVisible() ? &progress : nullptr);
    OverviewStale = false;
  }
  Zoom.Fill(*Storage, Facts());
  return RedrawAll();
}

bool KPcmGui::SelectBank() {
  if (!KPcmFiles::SelectBank()) return false;
  if (Display.View) ShowBankButtons(*Display.View, BankNumber);
  Refresh();
  return true;
}

bool KPcmGui::RedrawAll() {
  if (!IsCurrent()) return false;
  PaintZoomIn();
  PlaceOverviewPointer();
  PaintOverview();
  std::string undoLabel;
  if (Display.View) SampleRate = ShowVoiceReadouts(*Display.View, Readouts(undoLabel), Display.Options);
  return true;
}

void KPcmGui::PaintZoomIn() {
  if (!Display.ZoomIn) return;
  KZoomInPainter painter(Display.ZoomIn->Canvas(), MakeZoomGeometry(Display.ZoomIn->Width(), Display.ZoomIn->Height()),
                         Display.Colours, Display.Options);
  painter.Redraw(Zoom, Facts());
  Display.ZoomIn->Changed();
}

void KPcmGui::PlaceOverviewPointer() {
  if (Display.Overview) Overview.PlacePointer(Facts(), OverviewGeometry(*Display.Overview, Channels));
}

void KPcmGui::PaintOverview() {
  if (!Display.Overview) return;
  const KOverviewGeometry geometry = OverviewGeometry(*Display.Overview, Channels);
  Overview.PlaceMarkers(Facts(), geometry);
  KOverviewPainter painter(Display.Overview->Canvas(), geometry, Display.Colours, Display.Options);
  painter.Redraw(Overview, Facts());
  Display.Overview->Changed();
}

std::optional<int32_t> KPcmGui::ZoomInPositionAt(int x, int y) const {
  const int right = Display.ZoomIn ? MakeZoomGeometry(Display.ZoomIn->Width(), Display.ZoomIn->Height()).R
                                   : BoxRightEdge(KDisplay::kBoxWidth);
  return ZoomInPosition(x, y, right, Display.Options.ZiResolution, ZiStart);
}

bool KPcmGui::OverviewClick(KPointerButton button, int x, int y) {
  if (!IsCurrent()) return false;
  const std::optional<int32_t> start = OverviewStart(button, x, y, Channels == 2, END);
  if (!start) return false;
  ZiStart = *start;
  Zoom.Fill(*Storage, Facts());
  PaintZoomIn();
  PlaceOverviewPointer();
  PaintOverview();
  return true;
}

bool KPcmGui::ShiftWaveform(int direction) {
  if (!IsCurrent() || !Display.ZoomIn || !Display.Overview) return false;
  KZoomInPainter zoom(Display.ZoomIn->Canvas(), MakeZoomGeometry(Display.ZoomIn->Width(), Display.ZoomIn->Height()),
                      Display.Colours, Display.Options);
  KOverviewPainter overview(Display.Overview->Canvas(), OverviewGeometry(*Display.Overview, Channels), Display.Colours,
                            Display.Options);
  KVoiceFacts facts = Facts();
  if (!ShiftZoomWindow(direction, facts, *Storage, Zoom, zoom, Overview, overview)) return false;
  ZiStart = facts.ZiStart;
  Display.ZoomIn->Changed();
  Display.Overview->Changed();
  return true;
}

void KPcmGui::ShowRate() {
  if (IsCurrent() && Display.View) SampleRate = ShowRateReadout(*Display.View, SampleRate);
}

void KPcmGui::ShowAlias() {
  std::string undoLabel;
  if (IsCurrent() && Display.View) ShowStatusBar(*Display.View, Readouts(undoLabel));
}

KReadoutValues KPcmGui::Readouts(std::string& undoLabel) const {
  KReadoutValues values;
  values.Channels = Channels;
  values.BitsPerSample = BitsPerSample;
  values.SampleRate = SampleRate;
  values.END = END;
  values.MKL = MKL;
  values.MKR = MKR;
  values.FLG = FLG;
  values.FileName = FileName;
  values.AliasName = AliasName;
  values.UndoAvailable = UndoLabel(undoLabel);
  values.UndoLabel = undoLabel;
  return values;
}
