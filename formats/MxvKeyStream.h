// KMxvKeyStream: the running two-byte key of MXV sample data. Each byte
// pair changes places and is XORed with the keys; after every pair key A
// goes up and key B down by one, wrapping at 8 bits, across block ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class KMxvKeyStream {
 public:
  KMxvKeyStream(uint8_t keyA = 0, uint8_t keyB = 0) : a_(keyA), b_(keyB) {}

  // Plain pair (p0, p1) becomes (p1 ^ B, p0 ^ A).
  void Scramble(uint8_t* p, size_t n) { Apply(p, n, true); }
  // Stored pair (s0, s1) becomes (s1 ^ A, s0 ^ B).
  void Unscramble(uint8_t* p, size_t n) { Apply(p, n, false); }

  uint8_t KeyA() const { return a_; }
  uint8_t KeyB() const { return b_; }

 private:
  // The keys come back to where they started after 256 pairs, so the pairs
  // are worked 256 at a time against one table of the XOR bytes: each pair
  // exchanges its bytes and takes its table pair, in loops over plain
  // arrays that the compiler vectorises.
  static constexpr size_t kPeriod = 256;  // pairs

  void Apply(uint8_t* p, size_t n, bool scramble) {
    uint8_t mask[2 * kPeriod];
    for (size_t k = 0; k < kPeriod; ++k) {
      const uint8_t a = uint8_t(a_ + k), b = uint8_t(b_ - k);
      mask[2 * k] = scramble ? b : a;
      mask[2 * k + 1] = scramble ? a : b;
    }
    const size_t pairs = n / 2;
    size_t k = 0;
    for (; k + kPeriod <= pairs; k += kPeriod) Swap<kPeriod>(p + 2 * k, mask, kPeriod);
    Swap<0>(p + 2 * k, mask, pairs - k);
    a_ = uint8_t(a_ + pairs);
    b_ = uint8_t(b_ - pairs);
  }

  // Pairs 0..count-1 of `p` exchange their bytes and are XORed with those of
  // `mask`; a nonzero Fixed is the count, known to the compiler.
  template <size_t Fixed>
  static void Swap(uint8_t* __restrict p, const uint8_t* __restrict mask, size_t count) {
    for (size_t k = 0; k < (Fixed ? Fixed : count); ++k) {
      uint16_t pair, key;
      std::memcpy(&pair, p + 2 * k, 2);
      std::memcpy(&key, mask + 2 * k, 2);
      pair = uint16_t(uint16_t(pair << 8 | pair >> 8) ^ key);
      std::memcpy(p + 2 * k, &pair, 2);
    }
  }

  uint8_t a_;
  uint8_t b_;
};
