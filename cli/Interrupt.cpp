#include "cli/Interrupt.h"

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

}  // namespace

bool KCliUi::StopRequested() { return interrupted != 0; }

KInterruptScope::KInterruptScope() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait on the device returns at once to let the loop see it.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, &old_);
}

KInterruptScope::~KInterruptScope() {
  sigaction(SIGINT, &old_, nullptr);
  interrupted = 0;
}
