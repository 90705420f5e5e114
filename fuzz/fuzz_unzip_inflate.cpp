// Inflate on arbitrary bytes: must end with a result code, within its buffers. The input is
// handed over in blocks whose size the input's length and last byte choose, so block
// boundaries fall everywhere. When the input starts with a ZIP local header, decoding starts
// at its data (and runs on past the member), so the ZIP fixtures serve as seeds.
#include "fuzz/decoder_feed.h"
#include "installer/unzip/inflate.h"

using namespace fuzz_decoder;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t block = size % 4 == 0 ? kudu::kInputBlockSize : 1 + data[size - 1] * 7 % 64;
  Feed feed{data, size, block};
  uint32_t flags, unpacked;
  if (!TakeZipMember(data, size, &feed, &flags, &unpacked) && size >= 30) return 0;  // shorter: raw data
  feed = Feed{feed.data, size_t(data + size - feed.data), block};
  static uint8_t window[kudu::kWindowSize];
  Sink sink{64u << 20};
  kudu::BitInput in(Refill, &feed);
  kudu::OutputWindow out(window, Flush<true>, &sink);
  const int32_t rc = kudu::Inflate(in, out);
  if (rc > 0 || rc < -5) __builtin_trap();
  if (rc != 0) return 0;
  in.AlignToByte();  // what follows the stream stays readable
  for (int i = 0; i < 8 && in.Need(8); ++i) in.Drop(8);
  return 0;
}
