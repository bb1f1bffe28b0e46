#include "platform/FileIO.h"

#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

// Runs `transfer` (pread or pwrite) until all `n` bytes have moved.
template <class Byte, class Transfer>
bool Fully(int fd, Byte* p, size_t n, int64_t at, Transfer transfer) {
  while (n > 0) {
    ssize_t done = transfer(fd, p, n, off_t(at));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    p += done;
    n -= size_t(done);
    at += done;
  }
  return true;
}

}  // namespace

bool ReadFully(int fd, void* p, size_t n, int64_t at) { return Fully(fd, static_cast<uint8_t*>(p), n, at, ::pread); }

bool WriteFully(int fd, const void* p, size_t n, int64_t at) {
  return Fully(fd, static_cast<const uint8_t*>(p), n, at, ::pwrite);
}

bool CopyInKernel(int from, int64_t fromAt, int to, int64_t toAt, size_t n) {
  off_t in = off_t(fromAt), out = off_t(toAt);
  while (n > 0) {
    ssize_t done = copy_file_range(from, &in, to, &out, n, 0);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    n -= size_t(done);
  }
  return true;
}

}  // namespace platform
