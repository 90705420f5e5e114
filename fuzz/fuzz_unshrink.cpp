// Unshrink on arbitrary bytes. The first byte picks the input block size, so that codes
// straddling block boundaries are exercised; the rest is the compressed data. Inputs that
// start with a ZIP local header give their first member's data instead.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/decoder_feed.h"
#include "installer/unzip/unshrink.h"

using fuzz_decoder::Discard;
using fuzz_decoder::Feed;
using fuzz_decoder::FirstMember;
using fuzz_decoder::Refill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static constexpr size_t kBlocks[4] = {kudu::kInputBlockSize, 1, 3, 1000};
  Feed feed{data + 1, size - 1, kBlocks[data[0] & 3]};
  uint32_t flags = 0;
  uint32_t uncompressedSize = 0;
  if (size >= 4 && std::memcmp(data, "PK\3\4", 4) == 0 && !FirstMember(data, size, &feed, &flags, &uncompressedSize)) {
    return 0;
  }
  kudu::BitInput in(Refill, &feed);
  static uint8_t window[kudu::kWindowSize];
  uint64_t written = 0;
  kudu::OutputWindow out(window, Discard, &written);
  const int32_t rc = kudu::Unshrink(in, out);
  if (rc != 0 && rc != -3 && rc != -4) std::abort();
  if (rc == 0 && written != out.total()) std::abort();
  return 0;
}
