#include "app/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <utility>

#include "app/Title.h"

bool NeedsResolutionMessage(int screenWidth) { return screenWidth == 640; }

int PrimaryScreenWidth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 0;
}

void PlaceMainWindow(QWidget& window, int screenWidth, const std::function<void(const QString&)>& warn) {
  window.move(0, 0);
  if (NeedsResolutionMessage(screenWidth)) warn(kResolutionMessage);
}

KDeactivationHook::KDeactivationHook(std::function<void()> onDeactivate)
    : onDeactivate_(std::move(onDeactivate)), last_(QGuiApplication::applicationState()) {
  connection_ = QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged,
                                 [this](Qt::ApplicationState state) { StateChanged(state); });
}

KDeactivationHook::~KDeactivationHook() { QObject::disconnect(connection_); }

void KDeactivationHook::StateChanged(Qt::ApplicationState state) {
  const bool leftActive = last_ == Qt::ApplicationActive && state != Qt::ApplicationActive;
  last_ = state;
  if (leftActive && onDeactivate_) onDeactivate_();
}
