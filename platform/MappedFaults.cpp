#include "platform/MappedFaults.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace platform {
namespace {

std::atomic<uint64_t> faults{0};
struct sigaction previous {};
uintptr_t page = 4096;

// BUS_ADRERR is a mapped page with no file behind it. Nothing but plain
// system calls is made here.
void OnBusError(int signal, siginfo_t* info, void* context) {
  if (info->si_code == BUS_ADRERR) {
    void* at = reinterpret_cast<void*>(uintptr_t(info->si_addr) & ~(page - 1));
    void* zeros = mmap(at, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == at) {
      faults.fetch_add(1, std::memory_order_relaxed);
      return;
    }
  }
  // Not ours: the handler before takes it, or the default kills as it would have.
  const bool withInfo = previous.sa_flags & SA_SIGINFO;
  if (withInfo && previous.sa_sigaction) return previous.sa_sigaction(signal, info, context);
  if (!withInfo && previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) return previous.sa_handler(signal);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(SIGBUS, &fallback, nullptr);
}

}  // namespace

void CatchMappedFileFaults() {
  static std::once_flag once;
  std::call_once(once, [] {
    page = uintptr_t(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previous);
  });
}

uint64_t MappedFileFaults() { return faults.load(std::memory_order_relaxed); }

}  // namespace platform
