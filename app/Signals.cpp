#include "app/Signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

// The write end of the pipe the handler reports into; -1 while nobody listens.
volatile sig_atomic_t gWriteEnd = -1;

void OnSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // A full pipe already holds a quit request: dropping this one loses nothing.
  if (gWriteEnd >= 0) {
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

KQuitSignals::KQuitSignals(QObject* parent) : QObject(parent) {
  if (gWriteEnd >= 0) {
    error_ = "the quit signals are caught already";
    return;
  }
  if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    error_ = QString("cannot make a pipe for the quit signals: ") + std::strerror(errno);
    pipe_[0] = pipe_[1] = -1;
    return;
  }
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &KQuitSignals::Drain);
  gWriteEnd = pipe_[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
  installed_ = true;
}

KQuitSignals::~KQuitSignals() {
  if (installed_) {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    gWriteEnd = -1;
  }
  delete notifier_;
  for (int fd : pipe_)
    if (fd >= 0) ::close(fd);
}

void KQuitSignals::Drain() {
  unsigned char bytes[16];
  ssize_t count;
  while ((count = ::read(pipe_[0], bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < count; ++i) {
      requested_ = true;
      emit Received(bytes[i]);
    }
  }
  // exit, not quit: quit asks the windows to close first, which a modal box
  // or a running command would refuse. exit ends every event loop running
  // and keeps later ones from blocking.
  if (requested_) QCoreApplication::exit(0);
}
