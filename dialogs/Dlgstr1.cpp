#include "dialogs/Dlgstr1.h"

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kTextPixels = 16;

}  // namespace

TDlgString1::TDlgString1(QWidget* parent) : KDialogFrame(parent, "TDlgString1", "Melotrix ", 436, 193) {
  QFrame* panel = KAddPanel(this, "PanelString", {6, 46, 427, 101});
  line_.label = KAddLabel(panel, "LabelText", "Function", {4, 18}, kTextPixels);
  line_.edit = new QLineEdit(panel);
  line_.edit->setObjectName("EditString");
  KSetPixelSize(line_.edit, kTextPixels);
  line_.edit->setGeometry(4, 52, 417, 28);
  AddOkButton({32, 158, 135, 31});
  AddCancelButton({266, 158, 135, 31});
}

std::optional<std::string> TDlgString1::Ask(const std::string& title, const std::string& label, int limit,
                                            const std::string& text) {
  SetTitle(title);
  line_.Fill({label, "", limit, text});
  if (!Run()) return std::nullopt;
  return line_.Text();
}

void TDlgString1::PrepareShow() { line_.FocusAll(); }
