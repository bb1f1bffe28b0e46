// KLoopGuard: the window while a play or record loop runs inside a command.
// It keeps repainting but takes no input other than Escape: an Escape press
// is latched and not delivered (a dialog would take it as Cancel), all other
// keys, pointer and close requests are swallowed, and work that must wait
// for the loop (closing the wave devices on deactivation) is deferred.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

class KLoopGuard final : public QObject {
 public:
  KLoopGuard();
  ~KLoopGuard() override;

  void Begin();
  void End();
  bool Active() const { return active_; }
  // Lets pending paints and timers run; true once Escape was pressed since Begin.
  bool PollEscape();
  // Runs `action` now, or when the loop has ended.
  void WhenIdle(std::function<void()> action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool active_ = false;
  bool escaped_ = false;
  std::vector<std::function<void()>> deferred_;
};
