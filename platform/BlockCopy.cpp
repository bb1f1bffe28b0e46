#include "platform/BlockCopy.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

KStatus Failed(int code) { return KStatus::Failure(errno ? std::strerror(errno) : "unexpected end of file", code); }

}  // namespace

KStatus KBlockCopy::Run(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt, int64_t bytes,
                        const Transform& transform, KCopyProgress& progress) {
  if (bytes <= 0) return KStatus::Success();
  const size_t size = bytes < int64_t(kChunk) ? size_t(bytes) : kChunk;
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
  for (int64_t done = 0; done < bytes;) {
    size_t n = bytes - done < int64_t(size) ? size_t(bytes - done) : size;
    errno = 0;
    if (!from.ReadAt(fromAt + done, buffer.get(), n)) return Failed(kReadFailed);
    if (transform) transform(buffer.get(), n);
    errno = 0;
    if (!to.WriteAt(toAt + done, buffer.get(), n)) return Failed(kWriteFailed);
    Steps(&progress, done, done + int64_t(n), bytes);
    done += int64_t(n);
  }
  return KStatus::Success();
}

void KBlockCopy::Steps(KCopyProgress* progress, int64_t before, int64_t after, int64_t total) {
  if (!progress) return;
  for (int64_t step = (before / kStep + 1) * kStep; step < after; step += kStep)
    progress->CopyPercent(int(step * 100 / total));
  if (after % kStep == 0 || after == total) progress->CopyPercent(int(after * 100 / total));
}
