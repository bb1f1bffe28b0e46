// KLoopGuard: the window while a play or record loop runs inside a command.
// The windows that were open when the loop began (the main window, and the
// record dialog during a take) keep repainting but take no input other than
// Escape: an Escape press is latched and not delivered (a dialog would take
// it as Cancel), other keys and pointer input are swallowed, and a close of
// one of them stops the loop as Escape does (the main window's own close is
// left to the window, which also ends the program). A window the command
// opens meanwhile, the message box above all, gets its input as usual.
// Dropped files reach the window, which queues them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class KLoopGuard final : public QObject {
 public:
  // `mainWindow` handles its own close requests; none for a guard of a lone dialog.
  explicit KLoopGuard(QWidget* mainWindow = nullptr) : main_(mainWindow) {}
  ~KLoopGuard() override;

  void Begin();
  void End();
  bool Active() const { return active_; }
  // Lets pending paints, timers and the windows the loop opened run; true
  // once Escape was pressed or a stop was requested since Begin.
  bool PollEscape();
  // Makes the running loop stop as on Escape (a request to end the program).
  void RequestStop() { stopped_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The window open at Begin that `watched` is or lies in; none for another.
  QWidget* HostOf(QObject* watched) const;

  QWidget* main_;
  bool active_ = false;
  bool escaped_ = false;
  bool stopped_ = false;
  std::vector<QPointer<QWidget>> hosts_;
};
