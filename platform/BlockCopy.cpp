#include "platform/BlockCopy.h"

#include <cerrno>
#include <cstring>

namespace {

KStatus Failed(int code) { return KStatus::Failure(errno ? std::strerror(errno) : "unexpected end of file", code); }

}  // namespace

KStatus KBlockCopy::Run(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt, int64_t bytes,
                        const Transform& transform, KCopyProgress& progress) {
  uint8_t buffer[kBlock];
  for (int64_t done = 0; done < bytes;) {
    size_t n = bytes - done < int64_t(kBlock) ? size_t(bytes - done) : kBlock;
    errno = 0;
    if (!from.ReadAt(fromAt + done, buffer, n)) return Failed(kReadFailed);
    if (transform) transform(buffer, n);
    errno = 0;
    if (!to.WriteAt(toAt + done, buffer, n)) return Failed(kWriteFailed);
    done += int64_t(n);
    progress.CopyPercent(int(done * 100 / bytes));
  }
  return KStatus::Success();
}
