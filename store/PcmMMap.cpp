#include "store/PcmMMap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/BlockCopy.h"
#include "platform/FileIO.h"

namespace {

// A file can be deleted while open here, so the stores count their openers
// per path and the last one to close removes the file.
class OpenerCount {
 public:
  void Add(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_[path];
  }
  // True when the caller was the last opener.
  bool Remove(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = count_.find(path);
    if (it == count_.end()) return true;
    if (--it->second > 0) return false;
    count_.erase(it);
    return true;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, int> count_;
};

OpenerCount& Openers() {
  static OpenerCount openers;
  return openers;
}

// "SY$" + eight hex digits with a "." before the last three (SY$00A1B.2C0).
std::string SwapName(uint32_t number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%08X", number);
  std::string name = std::string("SY$") + digits;
  name.insert(name.size() - 3, ".");
  return name;
}

uint32_t NextNumber() {
  // Seeded with the process id so that two programs sharing a swap folder
  // rarely meet; O_EXCL settles the rest.
  static std::atomic<uint32_t> next{uint32_t(getpid()) << 12};
  return next.fetch_add(1);
}

// Bytes per copy call of CopyFrom: large enough that the calls cost
// nothing beside the copying, small enough for a steady progress bar.
constexpr int64_t kChunk = 8 << 20;

// Copies `n` bytes at offset `at` from one file to the other, in the kernel
// unless `inKernel` is false or turns out impossible (then it is cleared and
// the bytes go through `buffer`).
bool CopyChunk(int from, int to, int64_t at, size_t n, bool& inKernel, std::unique_ptr<uint8_t[]>& buffer) {
  if (inKernel) {
    errno = 0;
    if (platform::CopyInKernel(from, at, to, at, n)) return true;
    if (errno != ENOSYS && errno != EXDEV && errno != EOPNOTSUPP && errno != EINVAL) return false;
    inKernel = false;
  }
  if (!buffer) buffer.reset(new uint8_t[KBlockCopy::kChunk]);
  for (size_t done = 0; done < n;) {
    size_t k = n - done < KBlockCopy::kChunk ? n - done : KBlockCopy::kChunk;
    errno = 0;
    if (!platform::ReadFully(from, buffer.get(), k, at + int64_t(done)) ||
        !platform::WriteFully(to, buffer.get(), k, at + int64_t(done)))
      return false;
    done += k;
  }
  return true;
}

}  // namespace

KPcmMMap::KPcmMMap(const std::string& folder) {
  for (int attempt = 0; attempt < 1000 && fd_ < 0; ++attempt) {
    Open(folder + "/" + SwapName(NextNumber()), true);
    if (fd_ < 0 && errno != EEXIST) break;
  }
}

KPcmMMap::KPcmMMap(AtPath, const std::string& path) { Open(path, false); }

bool KPcmMMap::IsSwapFileName(std::string_view name) {
  constexpr size_t kLength = 3 + 8 + 1, kDot = kLength - 4;
  if (name.size() != kLength || name.substr(0, 3) != "SY$" || name[kDot] != '.') return false;
  for (size_t at = 3; at < kLength; ++at)
    if (at != kDot && !((name[at] >= '0' && name[at] <= '9') || (name[at] >= 'A' && name[at] <= 'F'))) return false;
  return true;
}

std::unique_ptr<KPcmMMap> KPcmMMap::Adopt(const std::string& path, const std::string& folder) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = folder + "/" + SwapName(NextNumber());
    if (::link(path.c_str(), name.c_str()) == 0) return std::make_unique<KPcmMMap>(AtPath{}, name);
    if (errno != EEXIST) break;
  }
  // A file system without links: the bytes are copied.
  const int from = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  struct stat st {};
  auto store = std::make_unique<KPcmMMap>(folder);
  bool copied = from >= 0 && fstat(from, &st) == 0 && st.st_size <= INT32_MAX && store->SetSize(int32_t(st.st_size));
  bool inKernel = true;
  std::unique_ptr<uint8_t[]> buffer;
  copied = copied && CopyChunk(from, store->fd_, 0, size_t(st.st_size), inKernel, buffer);
  if (from >= 0) ::close(from);
  return copied ? std::move(store) : nullptr;
}

KPcmMMap::KPcmMMap(SameFileAs, const KPcmMMap& other) : name_(other.name_) {
  if (other.fd_ < 0) {
    Fail("open", EBADF);
    return;
  }
  fd_ = fcntl(other.fd_, F_DUPFD_CLOEXEC, 0);
  if (fd_ < 0) {
    Fail("open", errno);
    return;
  }
  size_ = other.size_;
  Openers().Add(name_);
}

void KPcmMMap::Open(const std::string& path, bool exclusive) {
  int flags = O_RDWR | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : 0);
  int fd = ::open(path.c_str(), flags, 0600);
  if (fd < 0) {
    int err = errno;
    name_ = path;
    Fail("open", err);
    errno = err;
    return;
  }
  struct stat st {};
  fstat(fd, &st);
  fd_ = fd;
  name_ = path;
  size_ = st.st_size > INT32_MAX ? INT32_MAX : int32_t(st.st_size);
  status_ = KStatus::Success();
  Openers().Add(name_);
}

KPcmMMap::~KPcmMMap() {
  CloseCursor();
  CloseViews();
  if (fd_ < 0) return;
  ::close(fd_);
  if (Openers().Remove(name_) && !keep_) ::unlink(name_.c_str());
}

bool KPcmMMap::Fail(const char* what, int err) {
  status_ = KStatus::Failure(std::string(what) + " " + name_ + ": " + std::strerror(err));
  return false;
}

bool KPcmMMap::Intact() {
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0 || st.st_size >= size_) return true;
  CloseCursor();
  CloseViews();
  // Reserved again, so that writing the lost part cannot meet a full disk.
  if (posix_fallocate(fd_, 0, size_) != 0) { /* the status below says what happened either way */
  }
  status_ = KStatus::Failure(name_ + " was cut short by another program");
  return false;
}

std::string KPcmMMap::OpenFilePath() const {
  static const bool proc = access("/proc/self/fd", X_OK) == 0;
  return proc && fd_ >= 0 ? "/proc/self/fd/" + std::to_string(fd_) : name_;
}

bool KPcmMMap::Resize(int32_t bytes) { return SetLength(bytes, true); }

bool KPcmMMap::SetSize(int32_t bytes) { return SetLength(bytes, false); }

bool KPcmMMap::SetLength(int32_t bytes, bool reserve) {
  if (fd_ < 0) return false;
  if (bytes < 0) return Fail("resize", EINVAL);
  CloseCursor();
  CloseViews();
  if (bytes > size_ && reserve) {
    int err = posix_fallocate(fd_, size_, off_t(bytes) - size_);
    if (err != 0) {
      // Give back what a partial reservation may have added.
      if (ftruncate(fd_, size_) != 0) { /* the old bytes are intact either way */
      }
      return Fail("resize", err);
    }
  } else if (bytes != size_) {
    if (ftruncate(fd_, bytes) != 0) return Fail("resize", errno);
  }
  size_ = bytes;
  return true;
}

void KPcmMMap::CloseCursor() {
  if (base_) munmap(base_, baseLen_);
  base_ = cur_ = end_ = nullptr;
  baseLen_ = 0;
  active_ = false;
}

void KPcmMMap::CloseViews() {
  for (View& v : views_) {
    if (v.base) munmap(v.base, v.length);
    v = View{};
  }
}

bool KPcmMMap::Seek(int32_t p) {
  if (base_) munmap(base_, baseLen_);
  base_ = cur_ = end_ = nullptr;
  baseLen_ = 0;
  active_ = false;
  if (fd_ < 0 || p < 0 || p >= size_) {
    pos_ = size_;
    return false;
  }
  pos_ = p;
  int32_t offset = p % kWindow;
  int32_t reach = size_ - p < kWindow ? size_ - p : kWindow;
  size_t length = size_t(offset) + size_t(reach);
  void* m = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, off_t(p - offset));
  if (m == MAP_FAILED) return Fail("map", errno);
  base_ = static_cast<uint8_t*>(m);
  baseLen_ = length;
  cur_ = base_ + offset;
  end_ = base_ + length;
  active_ = true;
  return true;
}

// The frame at the cursor does not lie whole in the window: either the
// window ends mid-frame (re-map from here) or the file does (silence).
bool KPcmMMap::ReadSlow(KPcmCell& cell, bool peek) {
  if (active_ && Seek(pos_) && cur_ + cell.FrameBytes <= end_) return ReadNext(cell, peek);
  cell.Clear();
  return false;
}

bool KPcmMMap::WriteSlow(const KPcmCell& cell, bool poke) {
  if (active_ && Seek(pos_) && cur_ + cell.FrameBytes <= end_) return WriteNext(cell, poke);
  return false;
}

bool KPcmMMap::WriteBytes(int32_t at, const void* p, int32_t n) {
  if (fd_ < 0 || at < 0 || n < 0 || int64_t(at) + n > size_) return Fail("write", EINVAL);
  errno = 0;
  return platform::WriteFully(fd_, p, size_t(n), at) || Fail("write", errno != 0 ? errno : EIO);
}

uint8_t* KPcmMMap::MapView(int32_t offset, int32_t length) {
  if (fd_ < 0 || offset < 0 || length <= 0 || int64_t(offset) + length > size_) return nullptr;
  View* slot = nullptr;
  for (View& v : views_)
    if (!v.user) {
      slot = &v;
      break;
    }
  if (!slot) return nullptr;
  int32_t inWindow = offset % kWindow;
  size_t total = size_t(inWindow) + size_t(length);
  void* m = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, off_t(offset - inWindow));
  if (m == MAP_FAILED) {
    Fail("map", errno);
    return nullptr;
  }
  slot->base = m;
  slot->length = total;
  slot->user = static_cast<uint8_t*>(m) + inWindow;
  return slot->user;
}

bool KPcmMMap::UnmapView(const void* address) {
  if (!address) return false;
  for (View& v : views_)
    if (v.user == address) {
      munmap(v.base, v.length);
      v = View{};
      return true;
    }
  return false;
}

bool KPcmMMap::CopyFrom(KPcmMMap& source, KCopyProgress* progress) {
  if (fd_ < 0 || source.fd_ < 0) return Fail("copy", EBADF);
  CloseCursor();
  CloseViews();
  source.CloseCursor();
  source.CloseViews();
  const int32_t total = source.size_;
  const int32_t oldSize = size_;
  // The copy writes every byte, so the length is set without a reservation;
  // a full disk fails the copy, which then gives the old length back.
  if (total > size_ && !SetSize(total)) return false;
  bool inKernel = true;
  std::unique_ptr<uint8_t[]> buffer;
  for (int64_t done = 0; done < total;) {
    int64_t n = total - done < kChunk ? total - done : kChunk;
    if (!CopyChunk(source.fd_, fd_, done, size_t(n), inKernel, buffer)) {
      int err = errno != 0 ? errno : EIO;
      if (oldSize < size_ && ftruncate(fd_, oldSize) == 0) size_ = oldSize;
      return Fail("copy", err);
    }
    KBlockCopy::Steps(progress, done, done + n, total);
    done += n;
  }
  if (total < size_ && ftruncate(fd_, total) != 0) return Fail("copy", errno);
  size_ = total;
  return true;
}
