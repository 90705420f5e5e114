// Exploding: decoding of imploded data.
//
// The data starts with the trees, each in compressed form: one byte holding the number of
// following bytes minus one, then bytes whose low nibble is a code length minus one and whose
// high nibble is how many consecutive values (minus one) have that length. The literal tree
// (when present) has 256 values, the length and distance trees 64 each.
//
// From the lengths the format builds its Shannon-Fano codes by sorting the values by length
// (stable), and counting upwards from zero through the sorted list from its end: the longest
// codes get the smallest numbers, and each code's bits are sent first bit first. For a
// complete set of lengths those codes are exactly the bitwise complements of the canonical
// codes deflate would give the same lengths, so the decoder inverts what it reads and decodes
// canonical codes: a lookup table indexed by the next kFastBits bits settles every code up to
// that length in one step, and the rare longer codes are walked length by length.
//
// Then follow the items, each led by one bit: 1 is a literal (coded with the literal tree, or
// 8 plain bits without it); 0 is a match: the low 6 bits (4 KB dictionary) or 7 bits (8 KB)
// of the distance plainly, its high 6 bits with the distance tree, then the length with the
// length tree, where the largest length value (63) is followed by 8 plain bits to add. A
// distance d means d + 1 bytes back; the length adds the shortest match (3 with a literal
// tree, 2 without). The data has no end marker: it ends with the member's size.
#include "installer/unzip/explode.h"

#include <cstring>

#include "installer/unzip/bit_cursor.h"

namespace kudu {
namespace {

constexpr int kMaxCodeLength = 16;
constexpr int kFastBits = 10;
constexpr int32_t kCorrupt = -4;
constexpr int32_t kInputEnded = -3;
constexpr size_t kWindowMask = kWindowSize - 1;

// A decoding table for one tree of up to 256 values.
struct Tree {
  // Indexed by the next kFastBits input bits: value | length << 8, or 0 when the code is
  // longer than kFastBits bits (a complete set of lengths leaves no other gaps).
  uint16_t fast[1 << kFastBits];
  uint16_t count[kMaxCodeLength + 1];  // codes of each length
  uint8_t sorted[256];                 // values ordered by code length, then by value
};

// What stopped the input: its own error, or -3 when it ran dry.
inline int32_t InputStop(const BitCursor& bits) { return bits.error() != 0 ? bits.error() : kInputEnded; }

// Reads one compressed tree description of `values` values and builds its decoding table.
int32_t ReadTree(BitCursor& bits, int values, Tree& tree) {
  uint8_t lengths[256];
  if (!bits.Need(8)) return InputStop(bits);
  const int bytes = static_cast<int>(bits.Peek(8)) + 1;
  bits.Drop(8);
  int filled = 0;
  for (int i = 0; i < bytes; ++i) {
    if (!bits.Need(8)) return InputStop(bits);
    const uint32_t entry = bits.Peek(8);
    bits.Drop(8);
    const int run = static_cast<int>(entry >> 4) + 1;
    if (filled + run > values) return kCorrupt;
    std::memset(lengths + filled, static_cast<int>(entry & 15) + 1, run);
    filled += run;
  }
  if (filled != values) return kCorrupt;

  std::memset(tree.count, 0, sizeof(tree.count));
  for (int v = 0; v < values; ++v) ++tree.count[lengths[v]];
  // The lengths must fill the code space exactly: more codes cannot be told apart, fewer
  // would make the format's construction differ from the canonical one (and leave codes
  // that mean nothing).
  int32_t left = 1;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    left = left * 2 - tree.count[len];
    if (left < 0) return kCorrupt;
  }
  if (left != 0) return kCorrupt;

  uint16_t offset[kMaxCodeLength + 2];
  uint32_t nextCode[kMaxCodeLength + 1];
  offset[1] = 0;
  uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    offset[len + 1] = static_cast<uint16_t>(offset[len] + tree.count[len]);
    nextCode[len] = code;
    code = (code + tree.count[len]) << 1;
  }
  std::memset(tree.fast, 0, sizeof(tree.fast));
  for (int v = 0; v < values; ++v) {
    const int len = lengths[v];
    tree.sorted[offset[len]++] = static_cast<uint8_t>(v);
    if (len > kFastBits) continue;
    // The code as sent: complemented, first bit first, so reversed for a low-first index.
    const uint32_t sent = ~nextCode[len]++ & ((1u << len) - 1);
    uint32_t index = 0;
    for (int b = 0; b < len; ++b) index |= ((sent >> (len - 1 - b)) & 1u) << b;
    const uint16_t entry = static_cast<uint16_t>(v | len << 8);
    for (; index < (1u << kFastBits); index += 1u << len) tree.fast[index] = entry;
  }
  return 0;
}

// Decodes one value; negative when the input stopped or the code does not exist.
inline int32_t Decode(BitCursor& bits, const Tree& tree) {
  if (!bits.Need(kMaxCodeLength) && bits.error() != kInputEnded) return bits.error();
  const uint32_t entry = tree.fast[bits.Peek(kFastBits)];
  if (entry != 0) {
    const int len = static_cast<int>(entry >> 8);
    if (len > bits.count()) return kInputEnded;
    bits.Drop(len);
    return static_cast<int32_t>(entry & 0xff);
  }
  // A long code: canonical decoding one bit (inverted) at a time.
  const uint32_t held = bits.bits();
  uint32_t code = 0;
  uint32_t first = 0;
  uint32_t index = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    if (len > bits.count()) return kInputEnded;
    code |= ((held >> (len - 1)) & 1u) ^ 1u;
    const uint32_t count = tree.count[len];
    if (code - first < count) {
      bits.Drop(len);
      return tree.sorted[index + code - first];
    }
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  return kCorrupt;
}

}  // namespace

int32_t Explode(BitInput& in, OutputWindow& out, bool bigDictionary, bool literalTree, uint32_t uncompressedSize) {
  if (uncompressedSize == 0) return out.Finish() ? 0 : out.error();

  BitCursor bits(in);
  Tree literals;
  Tree lengths;
  Tree distances;
  int32_t rc = literalTree ? ReadTree(bits, 256, literals) : 0;
  if (rc == 0) rc = ReadTree(bits, 64, lengths);
  if (rc == 0) rc = ReadTree(bits, 64, distances);
  if (rc != 0) return rc;

  const int lowDistanceBits = bigDictionary ? 7 : 6;
  const uint32_t shortestMatch = literalTree ? 3 : 2;
  uint8_t* const window = out.data();
  size_t pos = out.position();
  // Matches may reach before the first byte; those bytes read as zeros. The window is
  // used circularly, so its unwritten part stands in for them until it is full once.
  std::memset(window + pos, 0, kWindowSize - pos);

  uint32_t remaining = uncompressedSize;
  while (remaining > 0) {
    if (!bits.Need(1)) break;
    const uint32_t isLiteral = bits.Peek(1);
    bits.Drop(1);
    if (isLiteral) {
      int32_t value;
      if (literalTree) {
        value = Decode(bits, literals);
        if (value < 0) {
          rc = value;
          break;
        }
      } else {
        if (!bits.Need(8)) break;
        value = static_cast<int32_t>(bits.Peek(8));
        bits.Drop(8);
      }
      window[pos++] = static_cast<uint8_t>(value);
      --remaining;
      if (pos == kWindowSize) {
        out.position() = pos;
        if (!out.FlushFull()) return out.error();
        pos = 0;
      }
      continue;
    }

    if (!bits.Need(lowDistanceBits)) break;
    uint32_t distance = bits.Peek(lowDistanceBits);
    bits.Drop(lowDistanceBits);
    const int32_t high = Decode(bits, distances);
    if (high < 0) {
      rc = high;
      break;
    }
    distance = (distance | static_cast<uint32_t>(high) << lowDistanceBits) + 1;
    int32_t lengthCode = Decode(bits, lengths);
    if (lengthCode < 0) {
      rc = lengthCode;
      break;
    }
    uint32_t length = static_cast<uint32_t>(lengthCode);
    if (length == 63) {
      if (!bits.Need(8)) break;
      length += bits.Peek(8);
      bits.Drop(8);
    }
    length += shortestMatch;
    if (length > remaining) length = remaining;
    remaining -= length;

    size_t from = (pos - distance) & kWindowMask;
    while (length > 0) {
      // Copy up to the nearer end of the window, as far as source and target go unbroken.
      size_t run = length;
      if (run > kWindowSize - pos) run = kWindowSize - pos;
      if (run > kWindowSize - from) run = kWindowSize - from;
      if (distance >= run) {
        std::memcpy(window + pos, window + from, run);
      } else {
        // Overlapping: the copy repeats the last `distance` bytes, byte after byte.
        for (size_t i = 0; i < run; ++i) window[pos + i] = window[from + i];
      }
      pos += run;
      from = (from + run) & kWindowMask;
      length -= static_cast<uint32_t>(run);
      if (pos == kWindowSize) {
        out.position() = pos;
        if (!out.FlushFull()) return out.error();
        pos = 0;
      }
    }
  }
  out.position() = pos;
  if (rc != 0) return rc;
  if (remaining > 0) return InputStop(bits);
  bits.Store();
  return out.Finish() ? 0 : out.error();
}

}  // namespace kudu
