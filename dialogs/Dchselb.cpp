#include "dialogs/Dchselb.h"

TDlgChannelSelB::TDlgChannelSelB(QWidget* parent)
    : KDialogFrame(parent, "TDlgChannelSelB", "Dialog channel select (B)", 469, 261) {
  QFrame* panel = KAddPanel(this, "PanelLines", {4, 46, 461, 83});
  line1_ = KAddPromptLine(panel, 1, 4, 10);
  KAddPanel(this, "PanelSpare", {4, 132, 461, 81});
  AddOkButton({60, 220, 136, 33});
  AddCancelButton({266, 224, 136, 33});
}

std::optional<std::string> TDlgChannelSelB::Ask(const std::string& title, const KPromptLine& line) {
  SetTitle(title);
  line1_.Fill(line);
  if (!Run()) return std::nullopt;
  return line1_.Text();
}

void TDlgChannelSelB::PrepareShow() { line1_.FocusAll(); }
