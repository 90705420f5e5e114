// What the decoders read from and write to: compressed bytes arriving in the reader's input
// blocks of up to 4096 bytes, read as a bit stream with the low bits first, and the 32768-byte
// output window that is written out whenever it is full.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kudu {

inline constexpr int kInputBlockSize = 4096;
inline constexpr size_t kWindowSize = 32768;

// Bit input. The owner supplies a refill function that puts the next block into the block
// buffer and returns its length (> 0), or returns a negative result code (input ended -3,
// cancelled -5) that stops the decoder.
class BitInput {
 public:
  using Refill = int32_t (*)(void* context, uint8_t* block);

  BitInput(Refill refill, void* context) : refill_(refill), context_(context) {}

  // The result code that stopped the input, or 0.
  int32_t error() const { return error_; }

  // Makes at least n bits (n <= 24) available; false when the input stopped first.
  bool Need(int n) {
    while (count_ < n) {
      if (next_ == end_ && !NextBlock()) return false;
      bits_ |= static_cast<uint32_t>(*next_++) << count_;
      count_ += 8;
    }
    return true;
  }
  // The next n bits (n <= 24) without consuming them; only after Need(n).
  uint32_t Peek(int n) const { return bits_ & ((1u << n) - 1); }
  void Drop(int n) {
    bits_ >>= n;
    count_ -= n;
  }
  // Takes n bits (n <= 24); sets error() and returns 0 when the input stopped.
  uint32_t Bits(int n) {
    if (!Need(n)) return 0;
    uint32_t v = Peek(n);
    Drop(n);
    return v;
  }
  // Drops the bits up to the next byte boundary.
  void AlignToByte() { Drop(count_ & 7); }
  // Bits held but not yet consumed.
  int BitCount() const { return count_; }

  // Direct access for decoders with their own fast loops: the unread bytes of the current
  // block are [next, end); the held bits stay in bits()/BitCount().
  const uint8_t*& next() { return next_; }
  const uint8_t* end() const { return end_; }
  uint32_t& bits() { return bits_; }
  int& count() { return count_; }
  // Fetches the next block into [next, end); false (with error() set) when input stopped.
  bool NextBlock() {
    if (error_) return false;
    int32_t got = refill_(context_, block_);
    if (got <= 0) {
      error_ = got < 0 ? got : -3;
      return false;
    }
    next_ = block_;
    end_ = block_ + got;
    return true;
  }

 private:
  Refill refill_;
  void* context_;
  uint8_t block_[kInputBlockSize];
  const uint8_t* next_ = block_;
  const uint8_t* end_ = block_;
  uint32_t bits_ = 0;
  int count_ = 0;
  int32_t error_ = 0;
};

// The output window. The owner supplies a flush function that writes the window's first
// `length` bytes out (and folds them into the CRC); it returns 0 or a negative result code
// (write failed -2) that stops the decoder. The window's bytes stay in place after a flush,
// so back-references reach 32768 bytes behind the current position.
class OutputWindow {
 public:
  using Flush = int32_t (*)(void* context, const uint8_t* data, size_t length);

  OutputWindow(uint8_t* window, Flush flush, void* context) : window_(window), flush_(flush), context_(context) {}

  int32_t error() const { return error_; }
  uint8_t* data() { return window_; }
  size_t& position() { return position_; }
  // Bytes written so far, flushed or not.
  uint64_t total() const { return flushed_ + position_; }

  // Writes out a full window and starts over at position 0.
  bool FlushFull() { return FlushPart(kWindowSize) && (position_ = 0, true); }
  // Writes out what is pending since the last flush (at the end of a member).
  bool Finish() { return FlushPart(position_); }

 private:
  bool FlushPart(size_t upto) {
    if (error_) return false;
    if (upto > written_) {
      int32_t rc = flush_(context_, window_ + written_, upto - written_);
      if (rc < 0) {
        error_ = rc;
        return false;
      }
    }
    if (upto == kWindowSize) {
      flushed_ += kWindowSize;
      written_ = 0;
    } else {
      written_ = upto;
    }
    return true;
  }

  uint8_t* window_;
  Flush flush_;
  void* context_;
  size_t position_ = 0;
  size_t written_ = 0;  // bytes of the current round already handed to flush
  uint64_t flushed_ = 0;
  int32_t error_ = 0;
};

}  // namespace kudu
