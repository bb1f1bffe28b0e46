// KBlockCopy: moves sample bytes between a voice file and the store's file
// through one fixed buffer, so memory use does not grow with the voice. The
// copy is counted in steps of 4096 bytes: the progress bar is set after
// every step, as it would be after every 4096-byte block, but the bytes move
// in large blocks so that the system calls stay few. A long copy reads ahead
// on a second thread while the caller writes; the bar and every call on the
// destination stay on the caller's thread. An optional transform rewrites
// each block on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/CopyProgress.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

class KBlockCopy {
 public:
  static constexpr int64_t kStep = 4096;
  // Bytes per read and write: a multiple of kStep.
  static constexpr size_t kChunk = 512 * 1024;
  // A copy of this many bytes or more reads ahead, in blocks of kPipedChunk
  // (four of them in memory at once).
  static constexpr int64_t kPipedMinimum = 2 << 20;
  static constexpr size_t kPipedChunk = 256 * 1024;
  // Rewrites one block in place; blocks hold whole byte pairs. Blocks come
  // in order, but maybe on another thread than the caller's.
  using Transform = std::function<void(uint8_t*, size_t)>;

  // Failure codes: which side of the copy failed.
  enum : int { kReadFailed = 1, kWriteFailed = 2, kStopped = 3 };

  // Copies `bytes` bytes from `from` at `fromAt` to `to` at `toAt`. A file
  // that ends early is a failed read; the message gives the system's reason.
  static KStatus Run(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt, int64_t bytes,
                     const Transform& transform, KCopyProgress& progress);

  // Sets the bar (done / total in percent, truncated) for every step that a
  // copy of `total` bytes completes when it moves from `before` to `after`
  // bytes done: the multiples of kStep, and the end.
  static void Steps(KCopyProgress* progress, int64_t before, int64_t after, int64_t total);
};
