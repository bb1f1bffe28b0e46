#include "platform/BlockCopy.h"

KBlockCopy::Result KBlockCopy::Run(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt,
                                   int64_t bytes, const Transform& transform, KCopyProgress& progress) {
  uint8_t buffer[kBlock];
  for (int64_t done = 0; done < bytes;) {
    size_t n = bytes - done < int64_t(kBlock) ? size_t(bytes - done) : kBlock;
    if (!from.ReadAt(fromAt + done, buffer, n)) return Result::ReadFailed;
    if (transform) transform(buffer, n);
    if (!to.WriteAt(toAt + done, buffer, n)) return Result::WriteFailed;
    done += int64_t(n);
    progress.CopyPercent(int(done * 100 / bytes));
  }
  return Result::Done;
}
