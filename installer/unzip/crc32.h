// CRC-32 of ZIP archives (ISO 3309: reflected polynomial 0xEDB88320).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kudu {

inline constexpr uint32_t kCrc32Start = 0xFFFFFFFFu;

// Folds data into a running CRC register. Start with kCrc32Start; the checksum is the
// complement of the final register.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t length);

// The checksum of one buffer.
inline uint32_t Crc32(const void* data, size_t length) { return ~Crc32Update(kCrc32Start, data, length); }

}  // namespace kudu
