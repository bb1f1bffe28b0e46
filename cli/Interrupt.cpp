#include "cli/Interrupt.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

#include "platform/SafeFileWriter.h"

namespace {

std::atomic<bool> inLoop{false};
std::atomic<bool> interrupted{false};
// Set once a quit signal is ending the run: the main thread must not end it
// by another status meanwhile.
std::atomic<bool> ending{false};

sigset_t QuitSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

[[noreturn]] void Watch(std::string runFolder) {
  const sigset_t set = QuitSignals();
  for (;;) {
    int number = 0;
    if (sigwait(&set, &number) != 0) continue;
    if (number == SIGINT && inLoop) {
      interrupted = true;
      continue;
    }
    // The main thread may be in the middle of any step; nothing of it is
    // needed any more. What would outlive the process goes first.
    ending = true;
    KSafeFileWriter::RemoveTemporaries();
    // The folder is moved aside first: the main thread, still running, can
    // then create no new swap file in it while it is being removed.
    std::error_code moved, ignored;
    const std::string gone = runFolder + ".ending";
    std::filesystem::rename(runFolder, gone, moved);
    const std::string& folder = moved ? runFolder : gone;
    // A swap file whose create had found the folder before the move can
    // appear in it after a pass has listed it; the passes go on until the
    // folder is gone, which is at once unless such a create was under way.
    for (int pass = 0; pass < 200 && std::filesystem::exists(folder, ignored); ++pass) {
      if (pass) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::filesystem::remove_all(folder, ignored);
    }
    // Ended by the signal itself, as the shell expects of an interrupted
    // program; the exit status is the fallback.
    signal(number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(number);
    _exit(128 + number);
  }
}

}  // namespace

bool KCliUi::StopRequested() { return interrupted; }

void AwaitQuitSignal() {
  // A step the signal cut short (a save whose temporary went) must not end
  // the run with its own status: the watcher ends it by the signal.
  while (ending) pause();
}

void KCliUi::ProgressFor(const std::string& name) {
  if (drawn_) std::cerr << "\r\033[K" << std::flush;
  name_ = isatty(STDERR_FILENO) ? name : std::string();
  start_ = std::chrono::steady_clock::now();
  shown_ = -1;
  drawn_ = false;
}

void KCliUi::ProgressBar(int percent) {
  if (name_.empty() || percent == shown_) return;
  if (!drawn_ && std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
  std::cerr << "\r" << name_ << ": " << title_ << " " << percent << " %\033[K" << std::flush;
  shown_ = percent;
  drawn_ = true;
}

void BlockQuitSignals() {
  const sigset_t set = QuitSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void WatchQuitSignals(const std::string& runFolder) { std::thread(Watch, runFolder).detach(); }

KInterruptScope::KInterruptScope() {
  interrupted = false;
  inLoop = true;
}

KInterruptScope::~KInterruptScope() {
  inLoop = false;
  interrupted = false;
}

// Information, not a failure of the command: not counted as a message.
void KCliUi::RecoveryNotice(const std::string& text) {
  if (drawn_) std::cerr << "\n";  // below the progress line
  std::cerr << "melotrix-cli: " << text << std::endl;
}
