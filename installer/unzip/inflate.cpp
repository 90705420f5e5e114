// Inflate: the deflate format of RFC 1951.
//
// A deflate stream is a series of blocks: stored (raw bytes), or Huffman-coded with the fixed
// code or a dynamic code sent in the block header. Huffman-coded data is a series of symbols
// from the literal/length code: 0..255 literal bytes, 256 the end of the block, 257..285 a
// match length, which is followed by a symbol of the distance code; the match repeats
// `length` bytes that stood `distance` bytes back.
//
// Decoding is table-driven. A code is looked up by its next bits (Huffman codes are sent
// first bit first, so the table is indexed by bit-reversed codes): a primary table resolves
// every code of up to kLitLenBits (kDistBits) bits in one step; longer codes point to a
// subtable for their remaining bits. Each entry says how many bits to drop and what was
// decoded, with a length's or distance's base value and count of extra bits folded in.
//
// Bits arrive in a 64-bit buffer. While the current input block holds at least 16 more bytes
// and the window has room for the longest step, the hot loop refills the buffer a word at a
// time (enough for a whole literal/length/distance step) and copies matches without a call.
// Near the end of a block or of the window, a careful loop takes byte by byte instead.
#include "installer/unzip/inflate.h"

#include <bit>
#include <cstring>

#include "installer/unzip/ziptypes.h"

namespace kudu {
namespace {

// Table entry: value << 16 | kind flags | extra-bit count << 4 | bits to drop.
constexpr uint32_t kLiteral = 0x100;
constexpr uint32_t kEndOfBlock = 0x200;
constexpr uint32_t kSubtable = 0x400;  // value = subtable start, extra field = its index bits
constexpr uint32_t kInvalid = 0x800;   // a code no valid stream uses

constexpr int kLitLenBits = 10;
constexpr int kDistBits = 8;
constexpr int kCodeLengthBits = 7;
// Room for the primary table plus every subtable a code can need, with a margin; the
// builder checks against it, so no code description can write beyond it.
constexpr int kLitLenCapacity = (1 << kLitLenBits) + 1024;
constexpr int kDistCapacity = (1 << kDistBits) + 512;

constexpr int kMaxLitLenCodes = 286;
constexpr int kMaxDistCodes = 30;
constexpr int kMaxCodeLength = 15;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which the code-length code's lengths are sent: the usually needed ones first.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

inline uint64_t Mask(int n) { return (uint64_t{1} << n) - 1; }

uint32_t LitLenEntry(int symbol, int bits) {
  if (symbol < 256) return static_cast<uint32_t>(symbol) << 16 | kLiteral | bits;
  if (symbol == 256) return kEndOfBlock | bits;
  if (symbol < 257 + 29) {
    int i = symbol - 257;
    return static_cast<uint32_t>(kLengthBase[i]) << 16 | kLengthExtra[i] << 4 | bits;
  }
  return kInvalid | bits;  // 286 and 287 take part in the fixed code but never occur
}

uint32_t DistEntry(int symbol, int bits) {
  if (symbol < 30) return static_cast<uint32_t>(kDistBase[symbol]) << 16 | kDistExtra[symbol] << 4 | bits;
  return kInvalid | bits;  // 30 and 31 likewise
}

uint32_t CodeLengthEntry(int symbol, int bits) { return static_cast<uint32_t>(symbol) << 16 | bits; }

uint32_t Reverse(uint32_t code, int length) {
  uint32_t reversed = 0;
  for (int i = 0; i < length; ++i, code >>= 1) reversed = reversed << 1 | (code & 1);
  return reversed;
}

// Builds the decoding table for a canonical Huffman code given by its code lengths (0 = symbol
// unused). Over-subscribed lengths are refused; an incomplete code is accepted, its unused
// bit patterns decode as kInvalid.
bool BuildTable(const uint8_t* lengths, int count, int primaryBits, uint32_t* table, int capacity,
                uint32_t (*makeEntry)(int, int)) {
  int lengthCount[kMaxCodeLength + 1] = {};
  for (int s = 0; s < count; ++s) ++lengthCount[lengths[s]];
  lengthCount[0] = 0;
  int left = 1;
  int maxLength = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    left = (left << 1) - lengthCount[len];
    if (left < 0) return false;
    if (lengthCount[len] != 0) maxLength = len;
  }
  // Symbols sorted by code length, then by value: the order of their canonical codes.
  int offset[kMaxCodeLength + 2] = {};
  for (int len = 1; len <= kMaxCodeLength; ++len) offset[len + 1] = offset[len] + lengthCount[len];
  uint16_t sorted[288];
  for (int s = 0; s < count; ++s) {
    if (lengths[s] != 0) sorted[offset[lengths[s]]++] = static_cast<uint16_t>(s);
  }

  const uint32_t primarySize = 1u << primaryBits;
  for (uint32_t i = 0; i < primarySize; ++i) table[i] = kInvalid;
  int used = static_cast<int>(primarySize);
  int remaining[kMaxCodeLength + 1];
  std::memcpy(remaining, lengthCount, sizeof remaining);

  uint32_t code = 0;
  int index = 0;
  uint32_t subPrefix = ~0u;
  int subStart = 0;
  int subBits = 0;
  for (int len = 1; len <= maxLength; ++len, code <<= 1) {
    for (int k = 0; k < lengthCount[len]; ++k, ++code) {
      int symbol = sorted[index++];
      uint32_t reversed = Reverse(code, len);
      if (len <= primaryBits) {
        uint32_t entry = makeEntry(symbol, len);
        for (uint32_t i = reversed; i < primarySize; i += 1u << len) table[i] = entry;
      } else {
        uint32_t prefix = reversed & (primarySize - 1);
        if (prefix != subPrefix) {
          // A new subtable: just large enough for the codes that share this prefix, which
          // follow each other in canonical order and fill its space from the shortest up.
          int bits = len - primaryBits;
          int room = 1 << bits;
          while (bits + primaryBits < maxLength) {
            room -= remaining[bits + primaryBits];
            if (room <= 0) break;
            ++bits;
            room <<= 1;
          }
          if (used + (1 << bits) > capacity) return false;
          subStart = used;
          subBits = bits;
          used += 1 << bits;
          for (int i = 0; i < (1 << bits); ++i) table[subStart + i] = kInvalid;
          table[prefix] = static_cast<uint32_t>(subStart) << 16 | kSubtable | bits << 4 | primaryBits;
          subPrefix = prefix;
        }
        uint32_t entry = makeEntry(symbol, len - primaryBits);
        for (uint32_t i = reversed >> primaryBits; i < (1u << subBits); i += 1u << (len - primaryBits)) {
          table[subStart + i] = entry;
        }
      }
      --remaining[len];
    }
  }
  return true;
}

// The fixed code of block type 1, built once.
struct FixedTables {
  uint32_t litLen[kLitLenCapacity];
  uint32_t dist[kDistCapacity];
  FixedTables() {
    uint8_t lengths[288];
    for (int s = 0; s < 144; ++s) lengths[s] = 8;
    for (int s = 144; s < 256; ++s) lengths[s] = 9;
    for (int s = 256; s < 280; ++s) lengths[s] = 7;
    for (int s = 280; s < 288; ++s) lengths[s] = 8;
    BuildTable(lengths, 288, kLitLenBits, litLen, kLitLenCapacity, LitLenEntry);
    for (int s = 0; s < 32; ++s) lengths[s] = 5;
    BuildTable(lengths, 32, kDistBits, dist, kDistCapacity, DistEntry);
  }
};

const FixedTables& Fixed() {
  static const FixedTables tables;
  return tables;
}

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Repeats `length` bytes from `distance` back; the source does not wrap around the window.
// Copies exactly: the bytes behind the match are older history that longer distances reach.
inline void CopyMatch(uint8_t* dst, uint32_t distance, uint32_t length) {
  const uint8_t* src = dst - distance;
  if (distance >= 8) {
    // Eight bytes at a time: each chunk's source lies wholly before its destination.
    while (length >= 8) {
      std::memcpy(dst, src, 8);
      dst += 8;
      src += 8;
      length -= 8;
    }
    while (length-- > 0) *dst++ = *src++;
  } else if (distance == 1) {
    std::memset(dst, *src, length);
  } else {
    while (length-- > 0) *dst++ = *src++;
  }
}

class Inflater {
 public:
  Inflater(BitInput& input, OutputWindow& output) : in_(input), out_(output) {
    bits_ = input.bits();
    count_ = input.BitCount();
    input.bits() = 0;
    input.count() = 0;
    next_ = input.next();
    end_ = input.end();
    blockBegin_ = next_;
    window_ = output.data();
    pos_ = output.position();
    full_ = output.total() >= kWindowSize;
  }

  int32_t Run() {
    int32_t rc = Blocks();
    GiveBack();
    out_.position() = pos_;
    if (rc == 0 && !out_.Finish()) rc = out_.error();
    return rc;
  }

 private:
  int32_t InputError() const { return in_.error() != 0 ? in_.error() : kZipInputEnded; }

  // Byte-wise filling for the careful paths; need <= 32. False when the input stopped first.
  bool Fill(int need) {
    while (count_ < need) {
      if (next_ == end_) {
        if (!in_.NextBlock()) return false;
        next_ = in_.next();
        end_ = in_.end();
        blockBegin_ = next_;
      }
      bits_ = (bits_ & Mask(count_)) | uint64_t{*next_++} << count_;
      count_ += 8;
    }
    return true;
  }
  uint32_t Take(int n) {
    uint32_t v = static_cast<uint32_t>(bits_ & Mask(n));
    bits_ >>= n;
    count_ -= n;
    return v;
  }
  void Drop(int n) {
    bits_ >>= n;
    count_ -= n;
  }
  // Tops the buffer up to 56..63 bits with one load; needs 8 readable bytes in the block.
  // Bytes loaded beyond the counted ones are the stream's next bytes, so loading them again
  // later puts the same bits in the same places.
  void RefillFast() {
    bits_ |= Load64(next_) << count_;
    next_ += (63 - count_) >> 3;
    count_ |= 56;
  }

  // Puts the unread bits back where the input can continue from: whole bytes back into the
  // current block, the rest (fewer than 32 bits from an earlier block) into its bit buffer.
  void GiveBack() {
    int back = count_ / 8;
    if (back > next_ - blockBegin_) back = static_cast<int>(next_ - blockBegin_);
    next_ -= back;
    count_ -= 8 * back;
    in_.next() = next_;
    in_.bits() = static_cast<uint32_t>(bits_ & Mask(count_));
    in_.count() = count_;
  }

  bool PutByte(uint8_t byte) {
    window_[pos_++] = byte;
    return WriteOutWhenFull();
  }
  // A full window is written out and the next byte goes to its start again.
  bool WriteOutWhenFull() {
    if (pos_ < kWindowSize) return true;
    out_.position() = pos_;
    if (!out_.FlushFull()) return false;
    pos_ = 0;
    full_ = true;
    return true;
  }

  int32_t Blocks() {
    for (;;) {
      if (!Fill(3)) return InputError();
      uint32_t last = Take(1);
      uint32_t type = Take(2);
      int32_t rc;
      if (type == 0) {
        rc = Stored();
      } else if (type == 1) {
        rc = Codes(Fixed().litLen, Fixed().dist);
      } else if (type == 2) {
        rc = Dynamic();
      } else {
        rc = kZipCorrupt;
      }
      if (rc != 0 || last) return rc;
    }
  }

  // A stored block: byte-aligned LEN and its complement NLEN, then LEN raw bytes.
  int32_t Stored() {
    Drop(count_ & 7);
    if (!Fill(32)) return InputError();
    uint32_t length = Take(16);
    if (length != (~Take(16) & 0xFFFF)) return kZipCorrupt;
    while (length > 0 && count_ >= 8) {
      if (!PutByte(static_cast<uint8_t>(Take(8)))) return out_.error();
      --length;
    }
    while (length > 0) {
      // The bit buffer is empty here; what it held beyond its count is stale once bytes are
      // copied past it.
      bits_ = 0;
      if (next_ == end_) {
        if (!in_.NextBlock()) return InputError();
        next_ = in_.next();
        end_ = in_.end();
        blockBegin_ = next_;
      }
      size_t n = length;
      if (n > static_cast<size_t>(end_ - next_)) n = static_cast<size_t>(end_ - next_);
      if (n > kWindowSize - pos_) n = kWindowSize - pos_;
      std::memcpy(window_ + pos_, next_, n);
      next_ += n;
      length -= static_cast<uint32_t>(n);
      pos_ += n;
      if (!WriteOutWhenFull()) return out_.error();
    }
    return 0;
  }

  // A dynamic block: the code-length code, then the literal/length and distance code
  // lengths sent with it (run-length coded), then the data.
  int32_t Dynamic() {
    if (!Fill(14)) return InputError();
    int litLenCount = static_cast<int>(Take(5)) + 257;
    int distCount = static_cast<int>(Take(5)) + 1;
    int codeLengthCount = static_cast<int>(Take(4)) + 4;
    if (litLenCount > kMaxLitLenCodes || distCount > kMaxDistCodes) return kZipCorrupt;

    uint8_t lengths[kMaxLitLenCodes + kMaxDistCodes] = {};
    for (int i = 0; i < codeLengthCount; ++i) {
      if (!Fill(3)) return InputError();
      lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(Take(3));
    }
    uint32_t codeLengthTable[1 << kCodeLengthBits];
    if (!BuildTable(lengths, 19, kCodeLengthBits, codeLengthTable, 1 << kCodeLengthBits, CodeLengthEntry)) {
      return kZipCorrupt;
    }
    const int total = litLenCount + distCount;
    std::memset(lengths, 0, sizeof lengths);
    for (int i = 0; i < total;) {
      uint32_t entry;
      if (int32_t rc = DecodeCareful(codeLengthTable, kCodeLengthBits, entry); rc != 0) return rc;
      if (entry & kInvalid) return kZipCorrupt;
      uint32_t symbol = entry >> 16;
      if (symbol < 16) {
        lengths[i++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t value = 0;
      int repeat;
      if (symbol == 16) {  // repeat the previous length 3..6 times
        if (i == 0) return kZipCorrupt;
        value = lengths[i - 1];
        if (!Fill(2)) return InputError();
        repeat = 3 + static_cast<int>(Take(2));
      } else if (symbol == 17) {  // 3..10 zeros
        if (!Fill(3)) return InputError();
        repeat = 3 + static_cast<int>(Take(3));
      } else {  // 11..138 zeros
        if (!Fill(7)) return InputError();
        repeat = 11 + static_cast<int>(Take(7));
      }
      if (i + repeat > total) return kZipCorrupt;
      while (repeat-- > 0) lengths[i++] = value;
    }
    if (lengths[256] == 0) return kZipCorrupt;  // a block must be able to end

    uint32_t litLen[kLitLenCapacity];
    uint32_t dist[kDistCapacity];
    if (!BuildTable(lengths, litLenCount, kLitLenBits, litLen, kLitLenCapacity, LitLenEntry) ||
        !BuildTable(lengths + litLenCount, distCount, kDistBits, dist, kDistCapacity, DistEntry)) {
      return kZipCorrupt;
    }
    return Codes(litLen, dist);
  }

  // Decodes one code with whatever bits are left: the stream's last code may end in the last
  // byte, so fewer than 15 bits can be all there is.
  int32_t DecodeCareful(const uint32_t* table, int primaryBits, uint32_t& entry) {
    if (!Fill(kMaxCodeLength) && count_ == 0) return InputError();
    uint64_t held = bits_ & Mask(count_);
    entry = table[held & Mask(primaryBits)];
    if (entry & kSubtable) {
      if (static_cast<int>(entry & 15) > count_) return InputError();
      Drop(entry & 15);
      held >>= entry & 15;
      entry = table[(entry >> 16) + (held & Mask((entry >> 4) & 15))];
    }
    if (static_cast<int>(entry & 15) > count_) return InputError();
    Drop(entry & 15);
    return 0;
  }

  // One symbol the careful way, for the ends of input blocks and of the window.
  // Returns 1 to go on, 0 at the end of the block, or a failure code.
  int32_t CarefulStep(const uint32_t* litLen, const uint32_t* dist) {
    uint32_t entry;
    if (int32_t rc = DecodeCareful(litLen, kLitLenBits, entry); rc != 0) return rc;
    if (entry & kLiteral) return PutByte(static_cast<uint8_t>(entry >> 16)) ? 1 : out_.error();
    if (entry & kEndOfBlock) return 0;
    if (entry & kInvalid) return kZipCorrupt;
    int extra = (entry >> 4) & 15;
    if (!Fill(extra)) return InputError();
    uint32_t length = (entry >> 16) + Take(extra);
    if (int32_t rc = DecodeCareful(dist, kDistBits, entry); rc != 0) return rc;
    if (entry & kInvalid) return kZipCorrupt;
    extra = (entry >> 4) & 15;
    if (!Fill(extra)) return InputError();
    uint32_t distance = (entry >> 16) + Take(extra);
    if (distance > pos_ && !full_) return kZipCorrupt;  // reaches before the start of the data
    size_t from = (pos_ + kWindowSize - distance) & (kWindowSize - 1);
    while (length-- > 0) {
      uint8_t byte = window_[from];
      from = (from + 1) & (kWindowSize - 1);
      if (!PutByte(byte)) return out_.error();
    }
    return 1;
  }

  // The data of a Huffman-coded block, up to its end-of-block symbol.
  int32_t Codes(const uint32_t* litLen, const uint32_t* dist) {
    constexpr uint64_t kLitLenMask = (1u << kLitLenBits) - 1;
    constexpr uint64_t kDistMask = (1u << kDistBits) - 1;
    for (;;) {
      // The hot loop. A step writes at most one literal and a match of 258 bytes, or two
      // literals, so it never reaches the end of the window; it consumes at most 48 bits
      // with one refill in between, so 16 bytes left in the block always suffice.
      while (end_ - next_ >= 16 && pos_ <= kWindowSize - 260) {
        RefillFast();
        uint32_t entry = litLen[bits_ & kLitLenMask];
        if (entry & kSubtable) {
          Drop(entry & 15);
          entry = litLen[(entry >> 16) + (bits_ & Mask((entry >> 4) & 15))];
        }
        Drop(entry & 15);
        if (entry & kLiteral) {
          window_[pos_++] = static_cast<uint8_t>(entry >> 16);
          entry = litLen[bits_ & kLitLenMask];
          if (entry & kSubtable) {
            Drop(entry & 15);
            entry = litLen[(entry >> 16) + (bits_ & Mask((entry >> 4) & 15))];
          }
          Drop(entry & 15);
          if (entry & kLiteral) {
            window_[pos_++] = static_cast<uint8_t>(entry >> 16);
            continue;
          }
        }
        if (entry & (kEndOfBlock | kInvalid)) return (entry & kEndOfBlock) ? 0 : kZipCorrupt;
        uint32_t length = (entry >> 16) + Take((entry >> 4) & 15);
        if (count_ < 32) RefillFast();
        entry = dist[bits_ & kDistMask];
        if (entry & kSubtable) {
          Drop(entry & 15);
          entry = dist[(entry >> 16) + (bits_ & Mask((entry >> 4) & 15))];
        }
        Drop(entry & 15);
        if (entry & kInvalid) return kZipCorrupt;
        uint32_t distance = (entry >> 16) + Take((entry >> 4) & 15);
        uint8_t* dst = window_ + pos_;
        if (distance <= pos_) {
          CopyMatch(dst, distance, length);
        } else {
          if (!full_) return kZipCorrupt;  // reaches before the start of the data
          // The source starts in the previous round of the window, at its end.
          size_t from = pos_ + kWindowSize - distance;
          uint32_t first = static_cast<uint32_t>(kWindowSize - from);
          if (first > length) first = length;
          std::memmove(dst, window_ + from, first);
          if (length > first) CopyMatch(dst + first, distance, length - first);
        }
        pos_ += length;
      }
      int32_t rc = CarefulStep(litLen, dist);
      if (rc <= 0) return rc;
    }
  }

  BitInput& in_;
  OutputWindow& out_;
  uint64_t bits_;
  int count_;
  const uint8_t* next_;
  const uint8_t* end_;
  const uint8_t* blockBegin_;  // bytes before it came from an earlier block
  uint8_t* window_;
  size_t pos_;
  bool full_;  // a whole window has been written: every distance up to its size is valid
};

}  // namespace

int32_t Inflate(BitInput& input, OutputWindow& output) {
  Fixed();
  Inflater inflater(input, output);
  return inflater.Run();
}

}  // namespace kudu
