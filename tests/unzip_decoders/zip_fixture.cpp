#include "tests/unzip_decoders/zip_fixture.h"

#include <algorithm>
#include <cstring>

namespace kudu::test {
namespace {

struct Feed {
  const std::string* input;
  size_t offset;
  int blockSize;
};

int32_t Refill(void* context, uint8_t* block) {
  auto* feed = static_cast<Feed*>(context);
  const size_t n = std::min<size_t>(feed->blockSize, feed->input->size() - feed->offset);
  if (n == 0) return -3;
  std::memcpy(block, feed->input->data() + feed->offset, n);
  feed->offset += n;
  return static_cast<int32_t>(n);
}

int32_t Collect(void* context, const uint8_t* data, size_t length) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), length);
  return 0;
}

}  // namespace

DecodeResult RunDecoder(const Decoder& decoder, const std::string& input, int blockSize) {
  DecodeResult result;
  Feed feed{&input, 0, blockSize};
  BitInput in(Refill, &feed);
  std::vector<uint8_t> window(kWindowSize);
  OutputWindow out(window.data(), Collect, &result.output);
  result.code = decoder(in, out);
  return result;
}

std::string PackBits(const std::vector<std::pair<uint32_t, int>>& values) {
  std::string bytes;
  uint64_t bits = 0;
  int count = 0;
  for (auto [value, width] : values) {
    bits |= uint64_t(value) << count;
    for (count += width; count >= 8; count -= 8, bits >>= 8) bytes.push_back(static_cast<char>(bits & 0xff));
  }
  if (count > 0) bytes.push_back(static_cast<char>(bits & 0xff));
  return bytes;
}

}  // namespace kudu::test
