#include "app/LoopGuard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

KLoopGuard::~KLoopGuard() { End(); }

void KLoopGuard::Begin() {
  if (active_) return;
  active_ = true;
  escaped_ = stopped_ = false;
  hosts_.clear();
  if (main_) hosts_.emplace_back(main_);
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window != main_) hosts_.emplace_back(window);
  QCoreApplication::instance()->installEventFilter(this);
}

void KLoopGuard::End() {
  if (!active_) return;
  active_ = false;
  hosts_.clear();
  QCoreApplication::instance()->removeEventFilter(this);
}

bool KLoopGuard::PollEscape() {
  if (active_) QCoreApplication::processEvents(QEventLoop::AllEvents);
  return escaped_ || stopped_;
}

QWidget* KLoopGuard::HostOf(QObject* watched) const {
  for (const QPointer<QWidget>& host : hosts_) {
    if (!host) continue;
    if (watched->isWidgetType() ? static_cast<QWidget*>(watched)->window() == host : host->windowHandle() == watched)
      return host;
  }
  return nullptr;
}

bool KLoopGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
      if (!HostOf(watched)) break;
      // Press and release may come in one pass: the press is what counts.
      if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
          static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        escaped_ = true;
      // Taken as the host's own key, so that no menu shortcut (F1 to F12, say) fires from it.
      if (event->type() == QEvent::ShortcutOverride) event->accept();
      return true;
    case QEvent::Close:
      if (QWidget* host = HostOf(watched); !host || host == main_) break;
      escaped_ = true;
      event->ignore();
      return true;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
