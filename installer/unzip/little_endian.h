// Numbers in ZIP records and in the installer file's trailer: least significant byte first,
// assembled from bytes so that the result does not depend on the machine's byte order.
#pragma once

#include <cstdint>

namespace kudu {

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace kudu
