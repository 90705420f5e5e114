// Explode on arbitrary bytes. The first byte holds the member's flag bits 1 and 2 (dictionary
// size, literal tree), picks the input block size (bits 3-4) and gives bits 16-18 of the
// uncompressed size (bits 5-7); the next two bytes are its low 16 bits; the rest is the data.
// Inputs that start with a ZIP local header give their first member's flags, size and data
// instead.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/decoder_feed.h"
#include "installer/unzip/explode.h"

using fuzz_decoder::Discard;
using fuzz_decoder::Feed;
using fuzz_decoder::FirstMember;
using fuzz_decoder::Refill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static constexpr size_t kBlocks[4] = {kudu::kInputBlockSize, 1, 5, 999};
  uint32_t flags = data[0];
  uint32_t uncompressedSize = uint32_t(data[0] >> 5) << 16 | uint32_t(data[2]) << 8 | data[1];
  Feed feed{data + 3, size - 3, kBlocks[(data[0] >> 3) & 3]};
  if (size >= 4 && std::memcmp(data, "PK\3\4", 4) == 0) {
    if (!FirstMember(data, size, &feed, &flags, &uncompressedSize)) return 0;
    if (uncompressedSize > (1u << 20)) uncompressedSize = 1u << 20;  // keep runs short
  }
  const bool bigDictionary = (flags & 2) != 0;
  const bool literalTree = (flags & 4) != 0;
  kudu::BitInput in(Refill, &feed);
  static uint8_t window[kudu::kWindowSize];
  uint64_t written = 0;
  kudu::OutputWindow out(window, Discard, &written);
  const int32_t rc = kudu::Explode(in, out, bigDictionary, literalTree, uncompressedSize);
  if (rc != 0 && rc != -3 && rc != -4) std::abort();
  if (out.total() > uncompressedSize) std::abort();
  if (rc == 0 && written != uncompressedSize) std::abort();
  return 0;
}
