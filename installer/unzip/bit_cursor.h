// A decoder's working copy of a BitInput's state. The hot loops of the legacy decoders read
// bits through it so that the bit buffer, its count and the block pointers live in registers
// instead of being reloaded from the BitInput after every byte; Store() hands the state back
// (the destructor does so too), so the owner sees exactly which bits were consumed.
#pragma once

#include <cstdint>

#include "installer/unzip/decode_io.h"

namespace kudu {

class BitCursor {
 public:
  explicit BitCursor(BitInput& in)
      : in_(in), next_(in.next()), end_(in.end()), bits_(in.bits()), count_(in.count()) {}
  BitCursor(const BitCursor&) = delete;
  BitCursor& operator=(const BitCursor&) = delete;
  ~BitCursor() { Store(); }

  // Makes at least n (<= 25) bits available. False when the input stopped first; the bits
  // that did arrive are still held (count() tells how many), so a decoder near the end of
  // its data can still use them. Only bytes of the current block are read ahead: a new
  // block is asked for only when the held bits cannot cover n, so a member's end is never
  // overrun by mere look-ahead.
  bool Need(int n) { return count_ >= n || Fill(n); }

  // The next n (< 32) bits, low bits first; bits that never arrived read as zeros.
  uint32_t Peek(int n) const { return bits_ & ((1u << n) - 1); }
  void Drop(int n) {
    bits_ >>= n;
    count_ -= n;
  }
  uint32_t bits() const { return bits_; }
  int count() const { return count_; }
  int32_t error() const { return in_.error(); }

  void Store() {
    in_.next() = next_;
    in_.bits() = bits_;
    in_.count() = count_;
  }

 private:
  bool Fill(int n) {
    for (;;) {
      while (count_ <= 24 && next_ != end_) {
        bits_ |= static_cast<uint32_t>(*next_++) << count_;
        count_ += 8;
      }
      if (count_ >= n) return true;
      Store();
      if (!in_.NextBlock()) return false;
      next_ = in_.next();
      end_ = in_.end();
    }
  }

  BitInput& in_;
  const uint8_t* next_;
  const uint8_t* end_;
  uint32_t bits_;
  int count_;
};

}  // namespace kudu
