// What the decoder fuzz targets share: a feed that hands the input over in blocks of a chosen
// size, a sink that counts the output (and, when asked, reads every byte of it), and the reading
// of a ZIP local header so that the fixture archives serve as seeds directly.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "installer/unzip/decode_io.h"

namespace fuzz_decoder {

struct Feed {
  const uint8_t* data;
  size_t size, block;
};

inline int32_t Refill(void* context, uint8_t* block) {
  auto* feed = static_cast<Feed*>(context);
  if (feed->size == 0) return -3;
  const size_t n = std::min(feed->size, feed->block);
  std::memcpy(block, feed->data, n);
  feed->data += n;
  feed->size -= n;
  return static_cast<int32_t>(n);
}

struct Sink {
  uint64_t limit = UINT64_MAX, total = 0, check = 0;
};

template <bool kReadEveryByte>
int32_t Flush(void* context, const uint8_t* data, size_t length) {
  auto* sink = static_cast<Sink*>(context);
  if (kReadEveryByte) for (size_t i = 0; i < length; ++i) sink->check = sink->check * 31 + data[i];
  sink->total += length;
  return sink->total > sink->limit ? -2 : 0;
}

// An input that starts like a ZIP archive is taken as one: the feed moves to its first member's
// data, and `flags` and `unpacked` take the member's. False when the header does not fit.
inline bool TakeZipMember(const uint8_t* data, size_t size, Feed* feed, uint32_t* flags, uint32_t* unpacked) {
  if (size < 4 || std::memcmp(data, "PK\3\4", 4) != 0) return true;
  auto le16 = [&](size_t at) { return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8; };
  const size_t start = size < 30 ? SIZE_MAX : 30 + le16(26) + le16(28);
  if (start > size) return false;
  *flags = le16(6);
  *unpacked = le16(22) | le16(24) << 16;
  *feed = Feed{data + start, std::min<size_t>(le16(18) | le16(20) << 16, size - start), kudu::kInputBlockSize};
  return true;
}

}  // namespace fuzz_decoder
