// Signals in melotrix-cli. A watcher thread takes SIGINT, SIGTERM and SIGHUP.
// While a play or record command runs, SIGINT stops its loop as Escape does
// in the window: the take keeps what was captured and the script goes on.
// Otherwise any of them ends the run at once, cleanly: the run folder with
// every swap file and the temporary file of a save in progress are removed
// (the file being saved over stays as it was), and the process ends by that
// signal, as an interrupted program does.
#pragma once

#include <chrono>
#include <string>

#include "voice/UiHooks.h"

// The window hooks of melotrix-cli: a loop stops once SIGINT arrived inside
// a KInterruptScope. While a file is named, the progress of its work shows
// as one line on stderr when that is a terminal, from its first second on:
// "NAME: TITLE NN %".
class KCliUi final : public KUiHooks {
 public:
  bool StopRequested() override;

  // The file whose work the line follows; "" ends the line (it is cleared).
  void ProgressFor(const std::string& name);
  bool ProgressVisible() const override { return !name_.empty(); }
  void ProgressTitle(const std::string& title) override { title_ = title; }
  void ProgressBar(int percent) override;
  void RecoveryNotice(const std::string& text) override;

 private:
  std::string name_, title_;
  std::chrono::steady_clock::time_point start_;
  int shown_ = -1;
  bool drawn_ = false;
};

// Blocks the three signals in this thread and every thread it starts; call
// first thing in main, before any other thread exists.
void BlockQuitSignals();
// Returns at once unless a quit signal is ending the run; then waits for it.
void AwaitQuitSignal();
// Starts the watcher for a run whose swap files live in `runFolder`.
void WatchQuitSignals(const std::string& runFolder);

// SIGINT stops the running loop for the life of the scope.
class KInterruptScope {
 public:
  KInterruptScope();
  ~KInterruptScope();
  KInterruptScope(const KInterruptScope&) = delete;
  KInterruptScope& operator=(const KInterruptScope&) = delete;
};
