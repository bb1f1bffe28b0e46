// KBlockCopy: moves sample bytes between a voice file and the store's file
// in blocks of 4096 bytes through one fixed buffer, so memory use does not
// grow with the voice; an optional transform rewrites each block on the way
// and the progress bar advances after every block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/CopyProgress.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

class KBlockCopy {
 public:
  static constexpr size_t kBlock = 4096;
  // Rewrites one block in place; blocks hold whole byte pairs.
  using Transform = std::function<void(uint8_t*, size_t)>;

  // Failure codes: which side of the copy failed.
  enum : int { kReadFailed = 1, kWriteFailed = 2 };

  // Copies `bytes` bytes from `from` at `fromAt` to `to` at `toAt`. A file
  // that ends early is a failed read; the message gives the system's reason.
  static KStatus Run(const KPlainFile& from, int64_t fromAt, KPlainFile& to, int64_t toAt, int64_t bytes,
                     const Transform& transform, KCopyProgress& progress);
};
