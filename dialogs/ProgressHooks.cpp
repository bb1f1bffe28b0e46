#include "dialogs/ProgressHooks.h"

#include <QApplication>
#include <QCursor>

#include "dialogs/Dprogess.h"

Qt::CursorShape KCursorShape(KCursorRole role) { return role == KCursorRole::Busy ? Qt::WaitCursor : Qt::BusyCursor; }

bool KQtUiHooks::ProgressVisible() const { return progress_.isVisible(); }

void KQtUiHooks::ProgressTitle(const std::string& title) { progress_.WriteTitle(title); }

void KQtUiHooks::ProgressBar(int percent) { progress_.SetBar(percent); }

void KQtUiHooks::PushCursor(KCursorRole role) { QApplication::setOverrideCursor(QCursor(KCursorShape(role))); }

void KQtUiHooks::PopCursor() { QApplication::restoreOverrideCursor(); }
