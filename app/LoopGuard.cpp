#include "app/LoopGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>

KLoopGuard::KLoopGuard() = default;

KLoopGuard::~KLoopGuard() { End(); }

void KLoopGuard::Begin() {
  if (active_) return;
  active_ = true;
  escaped_ = false;
  QCoreApplication::instance()->installEventFilter(this);
}

void KLoopGuard::End() {
  if (!active_) return;
  active_ = false;
  QCoreApplication::instance()->removeEventFilter(this);
  std::vector<std::function<void()>> deferred;
  deferred.swap(deferred_);
  for (auto& action : deferred) action();
}

bool KLoopGuard::PollEscape() {
  if (active_) QCoreApplication::processEvents(QEventLoop::AllEvents);
  return escaped_;
}

void KLoopGuard::WhenIdle(std::function<void()> action) {
  if (active_)
    deferred_.push_back(std::move(action));
  else
    action();
}

bool KLoopGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      // Press and release may come in one pass: the press is what counts.
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) escaped_ = true;
      return true;
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
    case QEvent::Drop:
      return true;
    case QEvent::Close:
      event->ignore();
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}
