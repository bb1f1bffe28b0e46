#include "dialogs/Dchselc.h"

TDlgChannelSelC::TDlgChannelSelC(QWidget* parent)
    : KDialogFrame(parent, "TDlgChannelSelC", "Dialog channel select C", 469, 341) {
  QFrame* panel = KAddPanel(this, "PanelLines", {4, 46, 461, 155});
  line1_ = KAddPromptLine(panel, 1, 6, 10);
  KAddLine(panel, "LineSeparator", {8, 77}, 445);
  line2_ = KAddPromptLine(panel, 2, 6, 90);
  KAddPanel(this, "PanelSpare", {4, 210, 461, 81});
  AddOkButton({62, 300, 136, 33});
  AddCancelButton({260, 302, 136, 33});
}

std::optional<std::array<std::string, 2>> TDlgChannelSelC::Ask(const std::string& title, const KPromptLine& line1,
                                                               const KPromptLine& line2) {
  SetTitle(title);
  line1_.Fill(line1);
  line2_.Fill(line2);
  if (!Run()) return std::nullopt;
  return std::array<std::string, 2>{line1_.Text(), line2_.Text()};
}

void TDlgChannelSelC::PrepareShow() { line1_.FocusAll(); }
