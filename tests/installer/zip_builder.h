// Builds small ZIP archives with stored members for tests that need names or flags no
// fixture has.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace installer_test {

inline uint32_t Crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

struct ZipEntry {
  std::string name;
  std::string data;
  uint16_t method = 0;  // the data is stored as given, whatever the method says
  uint16_t flags = 0;
};

inline std::string BuildZip(const std::vector<ZipEntry>& entries) {
  auto put16 = [](std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
  };
  auto put32 = [&](std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
  };
  std::string out, directory;
  const uint32_t dosTime = (12u << 11) | (30u << 5), dosDate = ((2004u - 1980u) << 9) | (5u << 5) | 17u;
  for (const ZipEntry& e : entries) {
    uint32_t offset = static_cast<uint32_t>(out.size());
    uint32_t crc = Crc32(e.data), size = static_cast<uint32_t>(e.data.size());
    put32(out, 0x04034B50);
    put16(out, 10);
    put16(out, e.flags);
    put16(out, e.method);
    put16(out, dosTime);
    put16(out, dosDate);
    put32(out, crc);
    put32(out, size);
    put32(out, size);
    put16(out, static_cast<uint32_t>(e.name.size()));
    put16(out, 0);
    out += e.name + e.data;

    put32(directory, 0x02014B50);
    put16(directory, 20);
    put16(directory, 10);
    put16(directory, e.flags);
    put16(directory, e.method);
    put16(directory, dosTime);
    put16(directory, dosDate);
    put32(directory, crc);
    put32(directory, size);
    put32(directory, size);
    put16(directory, static_cast<uint32_t>(e.name.size()));
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put32(directory, 0);
    put32(directory, offset);
    directory += e.name;
  }
  uint32_t directoryOffset = static_cast<uint32_t>(out.size());
  out += directory;
  put32(out, 0x06054B50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<uint32_t>(entries.size()));
  put16(out, static_cast<uint32_t>(entries.size()));
  put32(out, static_cast<uint32_t>(directory.size()));
  put32(out, directoryOffset);
  put16(out, 0);
  return out;
}

}  // namespace installer_test
