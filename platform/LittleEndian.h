// Little-endian fields of the file headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The unsigned value of `bytes` bytes (1..4) at `p`, least significant first.
inline uint32_t GetLe(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Writes the low `bytes` bytes of `v` at `p`, least significant first.
inline void PutLe(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = uint8_t(v >> (8 * i));
}

// True when the bytes at `p` are exactly the `n` bytes of `text`.
inline bool SameBytes(const uint8_t* p, const char* text, size_t n) { return std::memcmp(p, text, n) == 0; }
