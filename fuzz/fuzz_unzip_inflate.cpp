// Inflate on arbitrary bytes: must end with a result code, within its buffers. The input is
// handed over in blocks whose size the input's length and last byte choose, so block
// boundaries fall everywhere. When the input starts with a ZIP local header, decoding starts
// at its data, so the ZIP fixtures serve as seeds.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "installer/unzip/decode_io.h"
#include "installer/unzip/inflate.h"

namespace {

struct Source {
  const uint8_t* data;
  size_t size;
  size_t blockSize;
};

int32_t Refill(void* context, uint8_t* block) {
  auto* s = static_cast<Source*>(context);
  if (s->size == 0) return -3;
  size_t n = s->size < s->blockSize ? s->size : s->blockSize;
  std::memcpy(block, s->data, n);
  s->data += n;
  s->size -= n;
  return static_cast<int32_t>(n);
}

struct Sink {
  uint64_t total = 0;
  uint32_t check = 0;
};

int32_t Flush(void* context, const uint8_t* data, size_t length) {
  auto* s = static_cast<Sink*>(context);
  for (size_t i = 0; i < length; ++i) s->check = s->check * 31 + data[i];  // reads every byte
  s->total += length;
  return s->total > (64u << 20) ? -2 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t blockSize = size % 4 == 0 ? kudu::kInputBlockSize : 1 + data[size - 1] * 7 % 64;
  if (size >= 30 && data[0] == 'P' && data[1] == 'K' && data[2] == 3 && data[3] == 4) {
    size_t start = 30 + (data[26] | data[27] << 8) + (data[28] | data[29] << 8);
    if (start > size) return 0;
    data += start;
    size -= start;
  }
  Source source{data, size, blockSize};
  static uint8_t window[kudu::kWindowSize];
  Sink sink;
  kudu::BitInput input(Refill, &source);
  kudu::OutputWindow output(window, Flush, &sink);
  int32_t rc = kudu::Inflate(input, output);
  if (rc > 0 || rc < -5) __builtin_trap();
  if (rc == 0) {
    // What follows the stream stays readable.
    input.AlignToByte();
    for (int i = 0; i < 8 && input.Need(8); ++i) input.Drop(8);
  }
  return 0;
}
