#include "platform/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIO.h"

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

KPlainFile::KPlainFile(CreateUnnamed, const std::string& folder) {
  fd_ = ::open(folder.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0666);
}

KPlainFile::~KPlainFile() { Close(); }

bool KPlainFile::ReadAt(int64_t at, void* p, size_t n) const { return platform::ReadFully(fd_, p, n, at); }

bool KPlainFile::WriteAt(int64_t at, const void* p, size_t n) {
  if (!platform::WriteFully(fd_, p, n, at)) return false;
  if (writeBehind_ && at + int64_t(n) >= started_ + kWriteBehindBytes) StartWriteback(at + int64_t(n));
  return true;
}

// Only a hint: the flush that follows reports any error.
void KPlainFile::StartWriteback(int64_t end) {
  sync_file_range(fd_, off_t(started_), off_t(end - started_), SYNC_FILE_RANGE_WRITE);
  started_ = end;
}

bool KPlainFile::Close() {
  if (fd_ < 0) return true;
  int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}
