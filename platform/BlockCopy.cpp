#include "platform/BlockCopy.h"

#include <pthread.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

KStatus Failed(int error, int code) {
  return KStatus::Failure(error ? std::strerror(error) : "unexpected end of file", code);
}

// The bytes of the next block: blocks end on multiples of `block` in the
// destination, so that after a header no write starts or ends inside a page
// (a page that is written twice, or that is being written to the disk by
// the write-behind while the next write fills it, costs several times more).
int64_t BlockBytes(int64_t toAt, int64_t done, int64_t bytes, size_t block) {
  const int64_t n = int64_t(block) - (toAt + done) % int64_t(block);
  return bytes - done < n ? bytes - done : n;
}

// Reads the source ahead on a thread of its own while the caller writes: a
// copy through user memory is two copies (file to buffer, buffer to file),
// and on two cores they run side by side. Blocks come out in order; the
// transform runs on the reading thread, block after block.
class KReadAhead {
 public:
  static constexpr int kSlots = 4;

  KReadAhead(const KPlainFile& from, int64_t at, int64_t toAt, int64_t bytes, const KBlockCopy::Transform& transform)
      : from_(from), at_(at), toAt_(toAt), bytes_(bytes), transform_(transform) {
    for (auto& slot : slots_) slot.data.reset(new uint8_t[KBlockCopy::kPipedChunk]);
  }
  ~KReadAhead() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (reader_.joinable()) reader_.join();
  }
  KReadAhead(const KReadAhead&) = delete;
  KReadAhead& operator=(const KReadAhead&) = delete;

  // False when no thread could be started (the caller copies on its own).
  bool Start() {
    try {
      reader_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "melotrix-read");
        ReadAll();
      });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  // One block as the reader left it: `bytes` at `data` when `read`, else
  // the read's errno (0 at an early end of the file).
  struct Slot {
    std::unique_ptr<uint8_t[]> data;
    int64_t bytes = 0;
    bool read = false;
    int error = 0;
  };

  // Block `index` once it has been read (or its read failed).
  const Slot& Wait(int64_t index) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return filled_ > index; });
    return slots_[index % kSlots];
  }
  // The block last waited for is written; its slot may be read into again.
  void Release() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++released_;
    }
    changed_.notify_all();
  }

 private:
  void ReadAll() {
    for (int64_t index = 0, done = 0; done < bytes_; ++index) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || index - released_ < kSlots; });
        if (stop_) return;
      }
      Slot& slot = slots_[index % kSlots];
      slot.bytes = BlockBytes(toAt_, done, bytes_, KBlockCopy::kPipedChunk);
      errno = 0;
      slot.read = from_.ReadAt(at_ + done, slot.data.get(), size_t(slot.bytes));
      slot.error = errno;
      if (slot.read && transform_) transform_(slot.data.get(), size_t(slot.bytes));
      const bool read = slot.read;
      done += slot.bytes;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ++filled_;
      }
      changed_.notify_all();
      if (!read) return;
    }
  }

  const KPlainFile& from_;
  const int64_t at_;
  const int64_t toAt_;
  const int64_t bytes_;
  const KBlockCopy::Transform& transform_;
  Slot slots_[kSlots];
  std::mutex mutex_;
  std::condition_variable changed_;
  int64_t filled_ = 0;    // blocks read (or failed), in order
  int64_t released_ = 0;  // blocks written
  bool stop_ = false;
  std::thread reader_;
};

KStatus CopyAlone(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt, int64_t bytes,
                  const KBlockCopy::Transform& transform, KCopyProgress& progress) {
  const size_t size = bytes < int64_t(KBlockCopy::kChunk) ? size_t(bytes) : KBlockCopy::kChunk;
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
  for (int64_t done = 0; done < bytes;) {
    const size_t n = size_t(BlockBytes(toAt, done, bytes, KBlockCopy::kChunk));
    errno = 0;
    if (!from.ReadAt(fromAt + done, buffer.get(), n)) return Failed(errno, KBlockCopy::kReadFailed);
    if (transform) transform(buffer.get(), n);
    errno = 0;
    if (!to.WriteAt(toAt + done, buffer.get(), n)) return Failed(errno, KBlockCopy::kWriteFailed);
    KBlockCopy::Steps(&progress, done, done + int64_t(n), bytes);
    done += int64_t(n);
  }
  return KStatus::Success();
}

}  // namespace

KStatus KBlockCopy::Run(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt, int64_t bytes,
                        const Transform& transform, KCopyProgress& progress) {
  if (bytes <= 0) return KStatus::Success();
  if (bytes < kPipedMinimum) return CopyAlone(from, fromAt, to, toAt, bytes, transform, progress);
  KReadAhead reader(from, fromAt, toAt, bytes, transform);
  if (!reader.Start()) return CopyAlone(from, fromAt, to, toAt, bytes, transform, progress);
  for (int64_t index = 0, done = 0; done < bytes; ++index) {
    const KReadAhead::Slot& block = reader.Wait(index);
    if (!block.read) return Failed(block.error, kReadFailed);
    errno = 0;
    const int64_t n = block.bytes;
    if (!to.WriteAt(toAt + done, block.data.get(), size_t(n))) return Failed(errno, kWriteFailed);
    reader.Release();  // the reader may fill the slot again while the bar moves
    Steps(&progress, done, done + n, bytes);
    done += n;
  }
  return KStatus::Success();
}

void KBlockCopy::Steps(KCopyProgress* progress, int64_t before, int64_t after, int64_t total) {
  if (!progress) return;
  for (int64_t step = (before / kStep + 1) * kStep; step < after; step += kStep)
    progress->CopyPercent(int(step * 100 / total));
  if (after % kStep == 0 || after == total) progress->CopyPercent(int(after * 100 / total));
}
