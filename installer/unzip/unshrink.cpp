// LZW decoding for shrunk members.
//
// The string table is a tree: every code above 256 stands for the string of its prefix code
// followed by one suffix byte, and codes 0..255 are the single bytes. Each entry also keeps
// its string's length and first byte, so a code's string can be written backwards straight
// into the output window (walking the prefix chain from the last byte to the first) and a
// new entry needs no walk at all.
//
// Codes are added one step behind the compressor: the compressor defines "previous string +
// next byte" as soon as it has sent the previous code, but the decoder learns that byte only
// with the next code. That code may be the very one being defined (the string is then the
// previous one followed by its own first byte).
//
// Partial clearing: on 256,2 every code that is no other code's prefix is freed, and free
// codes are handed out again from the lowest up. The entry that the code before the clear
// still owes ("previous string + next byte") is made after the clear, at the lowest freed
// code, as without a clear. When the clear freed that previous code itself, the entry still
// takes its code and still counts as a child of its prefix code at the next clear, but it
// stands for no string: a stream that uses it is corrupt. Every entry that does stand for a
// string has a prefix in use, which a clear never frees (it is not a leaf); so the table stays
// a tree, no string is longer than 8192 - 256 bytes, and the lengths and first bytes kept per
// entry stay true.
#include "installer/unzip/unshrink.h"

#include <bit>
#include <cstring>

#include "installer/unzip/bit_cursor.h"

namespace kudu {
namespace {

constexpr int kCodes = 8192;       // 13-bit codes
constexpr uint32_t kControl = 256;  // followed by 1 (wider codes) or 2 (partial clear)
constexpr uint32_t kFirstFree = 257;
constexpr int kMinCodeBits = 9;
constexpr int kMaxCodeBits = 13;
constexpr int32_t kCorrupt = -4;
constexpr int32_t kInputEnded = -3;
constexpr uint16_t kNoString = 0xffff;  // an entry made on a prefix that a clear had freed

struct StringTable {
  uint16_t prefix[kCodes];
  uint16_t length[kCodes];    // 0: the code is free (or the control code); or kNoString
  uint16_t children[kCodes];  // entries, of either kind, whose prefix is this code
  uint8_t suffix[kCodes];
  uint8_t first[kCodes];
  uint64_t freeMap[kCodes / 64];  // a set bit marks a free code
  uint32_t lowestWord;            // no word of freeMap below this one has a free code
  // Every code that was a leaf when it was listed: taken since the last clear, or left
  // without children by it. A clear need only look at these, so its cost follows the codes
  // it frees rather than the table size. No code is listed twice.
  uint16_t leafCandidates[kCodes];
  int candidateCount;

  void Init() {
    std::memset(this, 0, sizeof(*this));
    for (uint32_t c = 0; c < 256; ++c) {
      length[c] = 1;
      suffix[c] = static_cast<uint8_t>(c);
      first[c] = static_cast<uint8_t>(c);
    }
    for (uint32_t c = kFirstFree; c < kCodes; ++c) freeMap[c / 64] |= uint64_t{1} << (c % 64);
    lowestWord = kFirstFree / 64;
  }

  // Takes the lowest free code; kCodes when none is left.
  uint32_t Take() {
    for (; lowestWord < kCodes / 64; ++lowestWord) {
      const uint64_t word = freeMap[lowestWord];
      if (word != 0) {
        freeMap[lowestWord] = word & (word - 1);
        const uint32_t code = lowestWord * 64 + static_cast<uint32_t>(std::countr_zero(word));
        leafCandidates[candidateCount++] = static_cast<uint16_t>(code);
        return code;
      }
    }
    return kCodes;
  }

  // Frees every code that is not the prefix of another code (in one pass: codes that lose
  // their last child here stay until the next clear).
  void PartialClear() {
    int leaves = 0;
    for (int i = 0; i < candidateCount; ++i) {
      const uint32_t c = leafCandidates[i];
      if (length[c] != 0 && children[c] == 0) leafCandidates[leaves++] = static_cast<uint16_t>(c);
    }
    for (int i = 0; i < leaves; ++i) {
      const uint32_t c = leafCandidates[i];
      length[c] = 0;
      freeMap[c / 64] |= uint64_t{1} << (c % 64);
      if (c / 64 < lowestWord) lowestWord = c / 64;
    }
    // Each freed leaf lists at most its own prefix, at or before its own place.
    candidateCount = 0;
    for (int i = 0; i < leaves; ++i) {
      const uint32_t parent = prefix[leafCandidates[i]];
      if (--children[parent] == 0 && parent >= kFirstFree && length[parent] != 0) {
        leafCandidates[candidateCount++] = static_cast<uint16_t>(parent);
      }
    }
  }
};

// Writes the string of `code` backwards, its last byte just before `end`.
inline void WriteString(const StringTable& table, uint32_t code, uint8_t* end) {
  while (code > 255) {
    *--end = table.suffix[code];
    code = table.prefix[code];
  }
  *--end = static_cast<uint8_t>(code);
}

// What stopped the input: its own error, or -3 when it ran dry.
inline int32_t InputStop(const BitCursor& bits) { return bits.error() != 0 ? bits.error() : kInputEnded; }

}  // namespace

int32_t Unshrink(BitInput& in, OutputWindow& out) {
  StringTable table;
  table.Init();
  uint8_t spill[kCodes];  // a string that straddles the end of the window

  BitCursor bits(in);
  uint8_t* const window = out.data();
  size_t pos = out.position();
  int codeBits = kMinCodeBits;
  int32_t previous = -1;  // the code before this one, -1 at the start

  for (;;) {
    if (!bits.Need(codeBits)) {
      out.position() = pos;
      if (bits.error() == kInputEnded && bits.count() < 8) {
        bits.Store();
        return out.Finish() ? 0 : out.error();
      }
      return InputStop(bits);
    }
    const uint32_t code = bits.Peek(codeBits);
    bits.Drop(codeBits);

    if (code == kControl) {
      if (!bits.Need(codeBits)) {
        out.position() = pos;
        return InputStop(bits);
      }
      const uint32_t command = bits.Peek(codeBits);
      bits.Drop(codeBits);
      if (command == 1) {
        if (codeBits == kMaxCodeBits) return kCorrupt;
        ++codeBits;
      } else if (command == 2) {
        table.PartialClear();
      } else {
        return kCorrupt;
      }
      continue;
    }

    // Define "previous string + first byte of this one" at the lowest free code. The code
    // read may be that very one, and then its first byte is the previous string's.
    if (previous >= 0) {
      const uint32_t fresh = table.Take();
      if (fresh < kCodes) {
        const uint32_t prefix = static_cast<uint32_t>(previous);
        table.prefix[fresh] = static_cast<uint16_t>(prefix);
        ++table.children[prefix];
        if (table.length[prefix] == 0) {
          table.length[fresh] = kNoString;
        } else {
          table.suffix[fresh] = code == fresh ? table.first[prefix] : table.first[code];
          table.first[fresh] = table.first[prefix];
          table.length[fresh] = static_cast<uint16_t>(table.length[prefix] + 1);
        }
      }
    }
    if (table.length[code] == 0 || table.length[code] == kNoString) return kCorrupt;
    previous = static_cast<int32_t>(code);

    const size_t length = table.length[code];
    if (pos + length <= kWindowSize) {
      WriteString(table, code, window + pos + length);
      pos += length;
      if (pos == kWindowSize) {
        out.position() = pos;
        if (!out.FlushFull()) return out.error();
        pos = 0;
      }
    } else {
      WriteString(table, code, spill + length);
      for (size_t done = 0; done < length;) {
        size_t n = length - done;
        if (n > kWindowSize - pos) n = kWindowSize - pos;
        std::memcpy(window + pos, spill + done, n);
        pos += n;
        done += n;
        if (pos == kWindowSize) {
          out.position() = pos;
          if (!out.FlushFull()) return out.error();
          pos = 0;
        }
      }
    }
  }
}

}  // namespace kudu
