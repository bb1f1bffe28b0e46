#include "voice/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

KPlainFile::KPlainFile(const std::string& path, Mode mode) {
  int flags = (mode == Mode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK;
  fd_ = ::open(path.c_str(), flags);
  struct stat st {};
  if (fd_ >= 0 && (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) Close();
  size_ = fd_ >= 0 ? int64_t(st.st_size) : 0;
}

KPlainFile::KPlainFile(Create, const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

KPlainFile::~KPlainFile() { Close(); }

bool KPlainFile::ReadAt(int64_t at, void* p, size_t n) const {
  auto* bytes = static_cast<uint8_t*>(p);
  while (n > 0) {
    ssize_t r = pread(fd_, bytes, n, off_t(at));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    bytes += r;
    n -= size_t(r);
    at += r;
  }
  return true;
}

bool KPlainFile::WriteAt(int64_t at, const void* p, size_t n) {
  auto* bytes = static_cast<const uint8_t*>(p);
  while (n > 0) {
    ssize_t w = pwrite(fd_, bytes, n, off_t(at));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    bytes += w;
    n -= size_t(w);
    at += w;
  }
  return true;
}

bool KPlainFile::Close() {
  if (fd_ < 0) return true;
  int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}
