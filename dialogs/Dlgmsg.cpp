#include "dialogs/Dlgmsg.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>

TDlgMessage::TDlgMessage(QWidget* parent) : KDialogFrame(parent, "TDlgMessage", "Melotrix Message", 312, 193) {
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("MemoMsg");
  memo_->setReadOnly(true);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setGeometry(6, 42, 299, 110);
  // Being read-only, the memo leaves Enter to the dialog, which presses OK.
  ok_ = AddOkButton({84, 158, 135, 31});
}

void TDlgMessage::ShowText(const std::string& text) {
  memo_->setPlainText(KText(text));
  QApplication::beep();
  Run();
}

void TDlgMessage::PrepareShow() { ok_->setFocus(Qt::OtherFocusReason); }
