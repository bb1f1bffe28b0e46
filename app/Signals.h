// SIGINT, SIGTERM and SIGHUP (the user logging out) end the window program
// through its event loop like a close of the main window, so that shutdown
// saves the colours and the voices remove their swap files. The handler only
// writes the signal's number into a pipe; a socket notifier reads it on the
// user-interface thread.
#pragma once

#include <QObject>
#include <QString>
#include <csignal>

class QSocketNotifier;

class KQuitSignals : public QObject {
  Q_OBJECT

 public:
  // Catches the three signals; one object at a time.
  explicit KQuitSignals(QObject* parent = nullptr);
  // Gives the signals back to the handlers they had before.
  ~KQuitSignals() override;
  KQuitSignals(const KQuitSignals&) = delete;
  KQuitSignals& operator=(const KQuitSignals&) = delete;

  // False, with Error(), when the signals could not be caught.
  bool Ok() const { return error_.isEmpty(); }
  const QString& Error() const { return error_; }
  // True once a signal arrived: a start-up that ran no event loop yet ends
  // without entering one.
  bool QuitRequested() const { return requested_; }

 signals:
  // Sent on the event loop for each signal caught, just before the quit.
  void Received(int signalNumber);

 private:
  void Drain();

  int pipe_[2] = {-1, -1};
  struct sigaction previous_[3] = {};
  bool installed_ = false;
  bool requested_ = false;
  QSocketNotifier* notifier_ = nullptr;
  QString error_;
};
