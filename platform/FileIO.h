// Positioned reads and writes that move exactly the bytes asked for,
// retrying short transfers and interrupted calls, and copies between two
// files inside the kernel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// False at the end of the file or on an error (errno tells which error).
bool ReadFully(int fd, void* p, size_t n, int64_t at);
bool WriteFully(int fd, const void* p, size_t n, int64_t at);

// Copies `n` bytes from `from` at `fromAt` to `to` at `toAt` without
// passing them through user memory (copy_file_range: the file system may
// share the blocks instead of copying them). False on an error or at the
// end of the source; errno is ENOSYS, EXDEV, EOPNOTSUPP or EINVAL when the
// files cannot be copied this way and nothing was copied.
bool CopyInKernel(int from, int64_t fromAt, int to, int64_t toAt, size_t n);

}  // namespace platform
