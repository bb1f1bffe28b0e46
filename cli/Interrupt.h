// Signals in melotrix-cli. A watcher thread takes SIGINT, SIGTERM and SIGHUP.
// While a play or record command runs, SIGINT stops its loop as Escape does
// in the window: the take keeps what was captured and the script goes on.
// Otherwise any of them ends the run at once, cleanly: the run folder with
// every swap file and the temporary file of a save in progress are removed
// (the file being saved over stays as it was), and the process ends by that
// signal, as an interrupted program does.
#pragma once

#include <string>

#include "voice/UiHooks.h"

// The window hooks of melotrix-cli: nothing is shown; a loop stops once
// SIGINT arrived inside a KInterruptScope.
class KCliUi final : public KUiHooks {
 public:
  bool StopRequested() override;
};

// Blocks the three signals in this thread and every thread it starts; call
// first thing in main, before any other thread exists.
void BlockQuitSignals();
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
