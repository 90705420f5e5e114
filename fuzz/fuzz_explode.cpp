// Explode on arbitrary bytes. The first byte holds the member's flag bits 1 and 2 (dictionary
// size, literal tree), picks the input block size (bits 3-4) and gives bits 16-18 of the
// uncompressed size (bits 5-7); the next two bytes are its low 16 bits; the rest is the data.
// Inputs that start with a ZIP local header give their first member's flags, size and data
// instead.
#include "fuzz/decoder_feed.h"
#include "installer/unzip/explode.h"

using namespace fuzz_decoder;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static constexpr size_t kBlocks[4] = {kudu::kInputBlockSize, 1, 5, 999};
  uint32_t flags = data[0], unpacked = uint32_t(data[0] >> 5) << 16 | uint32_t(data[2]) << 8 | data[1];
  Feed feed{data + 3, size - 3, kBlocks[(data[0] >> 3) & 3]};
  if (!TakeZipMember(data, size, &feed, &flags, &unpacked)) return 0;
  unpacked = std::min(unpacked, 1u << 20);  // keeps runs on archive sizes short
  static uint8_t window[kudu::kWindowSize];
  Sink sink;
  kudu::BitInput in(Refill, &feed);
  kudu::OutputWindow out(window, Flush<false>, &sink);
  const int32_t rc = kudu::Explode(in, out, (flags & 2) != 0, (flags & 4) != 0, unpacked);
  if (rc != 0 && rc != -3 && rc != -4) __builtin_trap();
  if (out.total() > unpacked || (rc == 0 && sink.total != unpacked)) __builtin_trap();
  return 0;
}
