#include "dialogs/Dprogess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {

// How long to wait at most for the window system to map or unmap the window.
constexpr int kSettleMs = 250;
constexpr int kWakeMs = 5;

}  // namespace

TDlgProgress::TDlgProgress(QWidget* parent) : KDialogFrame(parent, "TDlgProgress", "Progess", 297, 160) {
  setModal(false);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  KAddLine(this, "LineTop", {8, 48}, 281);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo");
  memo_->setReadOnly(true);
  memo_->setFocusPolicy(Qt::NoFocus);
  memo_->setGeometry(8, 56, 281, 49);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar");
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  bar_->setValue(0);
  bar_->setGeometry(8, 112, 281, 25);
}

void TDlgProgress::ShowNow() {
  show();
  Settle(true);
  repaint();
}

void TDlgProgress::HideNow() {
  hide();
  Settle(false);
}

void TDlgProgress::WriteTitle(const std::string& title) {
  memo_->setPlainText(KText(title));
  bar_->setValue(0);
  repaint();
}

void TDlgProgress::SetBar(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == bar_->value()) return;
  bar_->setValue(percent);
  bar_->repaint();
}

void TDlgProgress::PrepareShow() {
  memo_->clear();
  bar_->setValue(0);
}

void TDlgProgress::Settle(bool exposed) {
  const QDeadlineTimer deadline(kSettleMs);
  QTimer wake;  // wakes the wait below while the window system is silent
  wake.start(kWakeMs);
  const QWindow* window = windowHandle();
  while (window && window->isExposed() != exposed && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
