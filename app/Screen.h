// The main window's two links to the desktop that the tests drive directly:
// the placement on the primary display with its 640-pixel warning, and the
// hook that runs when the application loses activation.
#pragma once

#include <QMetaObject>
#include <Qt>
#include <functional>

class QString;
class QWidget;

// True only for a display exactly 640 pixels wide.
bool NeedsResolutionMessage(int screenWidth);
// The primary display's width in pixels; 0 without a display.
int PrimaryScreenWidth();
// Moves the window to the top-left corner; on a display exactly 640 pixels
// wide `warn` is then given the resolution message. The window keeps its
// designed size either way.
void PlaceMainWindow(QWidget& window, int screenWidth, const std::function<void(const QString&)>& warn);

// Runs `onDeactivate` whenever the application leaves the active state
// (the user switches to another program), as long as the hook lives.
class KDeactivationHook {
 public:
  explicit KDeactivationHook(std::function<void()> onDeactivate);
  ~KDeactivationHook();
  KDeactivationHook(const KDeactivationHook&) = delete;
  KDeactivationHook& operator=(const KDeactivationHook&) = delete;

  // What a change of the application's state runs.
  void StateChanged(Qt::ApplicationState state);

 private:
  std::function<void()> onDeactivate_;
  Qt::ApplicationState last_;
  QMetaObject::Connection connection_;
};
