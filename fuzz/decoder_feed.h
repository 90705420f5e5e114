// What the decoder fuzz targets share: a feed that hands the input to the decoder in blocks of
// a chosen size, an output that only counts, and the reading of a ZIP local header so that the
// fixture archives serve as seeds directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "installer/unzip/decode_io.h"

namespace fuzz_decoder {

struct Feed {
  const uint8_t* data;
  size_t size;
  size_t block;
};

inline int32_t Refill(void* context, uint8_t* block) {
  auto* feed = static_cast<Feed*>(context);
  if (feed->size == 0) return -3;
  const size_t n = feed->size < feed->block ? feed->size : feed->block;
  std::memcpy(block, feed->data, n);
  feed->data += n;
  feed->size -= n;
  return static_cast<int32_t>(n);
}

inline int32_t Discard(void* context, const uint8_t*, size_t length) {
  *static_cast<uint64_t*>(context) += length;
  return 0;
}

// An input that starts like a ZIP archive is taken as one: its first member's data (and, for
// imploded data, its flags and size) seed the decoder, so the fixture archives serve as seeds
// directly. Returns false when the header does not fit.
inline bool FirstMember(const uint8_t* data, size_t size, Feed* feed, uint32_t* flags, uint32_t* uncompressedSize) {
  auto le16 = [&](size_t at) { return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8; };
  if (size < 30) return false;
  const size_t start = 30 + le16(26) + le16(28);
  if (start > size) return false;
  *flags = le16(6);
  *uncompressedSize = le16(22) | le16(24) << 16;
  const size_t compressed = le16(18) | le16(20) << 16;
  *feed = Feed{data + start, compressed < size - start ? compressed : size - start, kudu::kInputBlockSize};
  return true;
}


}  // namespace fuzz_decoder
