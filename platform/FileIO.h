// Positioned reads and writes that move exactly the bytes asked for,
// retrying short transfers and interrupted calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// False at the end of the file or on an error (errno tells which error).
bool ReadFully(int fd, void* p, size_t n, int64_t at);
bool WriteFully(int fd, const void* p, size_t n, int64_t at);

}  // namespace platform
