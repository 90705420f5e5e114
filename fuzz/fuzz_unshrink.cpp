// Unshrink on arbitrary bytes. The first byte picks the input block size, so that codes
// straddling block boundaries are exercised; the rest is the compressed data. Inputs that
// start with a ZIP local header give their first member's data instead.
#include "fuzz/decoder_feed.h"
#include "installer/unzip/unshrink.h"

using namespace fuzz_decoder;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static constexpr size_t kBlocks[4] = {kudu::kInputBlockSize, 1, 3, 1000};
  Feed feed{data + 1, size - 1, kBlocks[data[0] & 3]};
  uint32_t flags = 0, unpacked = 0;
  if (!TakeZipMember(data, size, &feed, &flags, &unpacked)) return 0;
  static uint8_t window[kudu::kWindowSize];
  Sink sink;
  kudu::BitInput in(Refill, &feed);
  kudu::OutputWindow out(window, Flush<false>, &sink);
  const int32_t rc = kudu::Unshrink(in, out);
  if ((rc != 0 && rc != -3 && rc != -4) || (rc == 0 && sink.total != out.total())) __builtin_trap();
  return 0;
}
