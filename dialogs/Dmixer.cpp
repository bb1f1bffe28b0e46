#include "dialogs/Dmixer.h"

#include <QComboBox>
#include <QLabel>

namespace {

constexpr int kRowTops[TDlgMixer::kSources] = {48, 80, 112, 140};

}  // namespace

TDlgMixer::TDlgMixer(QWidget* parent) : KDialogFrame(parent, "TDlgMixer", "Mixer", 284, 312) {
  QFrame* panel = KAddPanel(this, "PanelSources", {6, 44, 269, 213});
  QLabel* hint = KAddLabel(panel, "LabelSelectSource", "Please select the source bank for mixer", {8, 16}, 13);
  QPalette palette = hint->palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  hint->setPalette(palette);
  for (int i = 0; i < kSources; ++i) {
    const QString n = QString::number(i + 1);
    KAddLabel(panel, "LabelSourBank" + n, "Source bank " + n, {14, kRowTops[i]}, 16);
    lists_[i] = KAddBankList(panel, "ComboBoxSourBank" + n, {134, kRowTops[i] - 2}, 107, true);
  }
  AddOkButton({6, 266, 121, 33});
  AddCancelButton({158, 266, 119, 33});
}

std::optional<std::array<int, TDlgMixer::kSources>> TDlgMixer::Ask() {
  if (!Run()) return std::nullopt;
  std::array<int, kSources> sources{};
  for (int i = 0; i < kSources; ++i) sources[i] = lists_[i]->currentIndex();
  return sources;
}

void TDlgMixer::PrepareShow() {
  for (QComboBox* list : lists_) list->setCurrentIndex(0);
  lists_[0]->setFocus(Qt::OtherFocusReason);
}
