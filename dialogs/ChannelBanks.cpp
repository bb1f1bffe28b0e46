#include "dialogs/ChannelBanks.h"

#include <QComboBox>
#include <QPlainTextEdit>

namespace {

constexpr int kLabelLeft = 12;
constexpr int kListLeft = 176;
constexpr int kListWidth = 121;
constexpr int kRow1 = 84;
constexpr int kRow2 = 124;

QPlainTextEdit* FixedMemo(QWidget* panel, const QString& line2) {
  auto* memo = new QPlainTextEdit("The current voice has 2 channels\n" + line2, panel);
  memo->setObjectName("MemoBox");
  memo->setReadOnly(true);
  memo->setFocusPolicy(Qt::NoFocus);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setGeometry(8, 8, panel->width() - 16, 52);
  return memo;
}

}  // namespace

KChannelBanksDialog::KChannelBanksDialog(QWidget* parent, const KChannelBanksLayout& layout)
    : KDialogFrame(parent, layout.dialogName, layout.title, layout.size.width(), layout.size.height()),
      proposed_(layout.proposed) {
  QFrame* panel = KAddPanel(this, "PanelBanks", layout.panel);
  FixedMemo(panel, layout.memoLine2);
  KAddLabel(panel, "LabelCh1", layout.label1, {kLabelLeft, kRow1 + 4});
  KAddLabel(panel, "LabelCh2", layout.label2, {kLabelLeft, kRow2 + 4});
  list1_ = KAddBankList(panel, layout.list1, {kListLeft, kRow1}, kListWidth, false);
  list2_ = KAddBankList(panel, layout.list2, {kListLeft, kRow2}, kListWidth, false);
  AddOkButton(layout.ok);
  AddCancelButton(layout.cancel);
}

std::optional<KChannelBanks> KChannelBanksDialog::Ask() {
  if (!Run()) return std::nullopt;
  return KChannelBanks{list1_->currentIndex() + 1, list2_->currentIndex() + 1};
}

void KChannelBanksDialog::PrepareShow() {
  list1_->setCurrentIndex(proposed_.channel1 - 1);
  list2_->setCurrentIndex(proposed_.channel2 - 1);
  list1_->setFocus(Qt::OtherFocusReason);
}
