// Ctrl+C in melotrix-cli. While a play or record command runs, SIGINT stops
// its loop as Escape does in the window: the take keeps what was captured
// and the script goes on. Outside those commands SIGINT ends the run as usual.
#pragma once

#include <signal.h>

#include "voice/UiHooks.h"

// The window hooks of melotrix-cli: nothing is shown; a loop stops once
// SIGINT arrived inside a KInterruptScope.
class KCliUi final : public KUiHooks {
 public:
  bool StopRequested() override;
};

// Catches SIGINT for the life of the scope and puts the previous handling back.
class KInterruptScope {
 public:
  KInterruptScope();
  ~KInterruptScope();
  KInterruptScope(const KInterruptScope&) = delete;
  KInterruptScope& operator=(const KInterruptScope&) = delete;

 private:
  struct sigaction old_ {};
};
