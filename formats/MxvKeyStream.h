// KMxvKeyStream: the running two-byte key of MXV sample data. Each byte
// pair changes places and is XORed with the keys; after every pair key A
// goes up and key B down by one, wrapping at 8 bits, across block ends.
#pragma once

#include <cstddef>
#include <cstdint>

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
  // The keys live in locals: the data bytes could alias the members, which
  // would force a store and a reload of both keys at every pair.
  void Apply(uint8_t* p, size_t n, bool scramble) {
    uint8_t a = a_, b = b_;
    for (size_t i = 0; i + 1 < n; i += 2) {
      uint8_t first = p[i];
      p[i] = uint8_t(p[i + 1] ^ (scramble ? b : a));
      p[i + 1] = uint8_t(first ^ (scramble ? a : b));
      ++a;
      --b;
    }
    a_ = a;
    b_ = b;
  }

  uint8_t a_;
  uint8_t b_;
};
