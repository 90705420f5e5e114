// Small stored ZIP archives for names no fixture has, dated 17.05.2004 12:30.
#pragma once

#include <string>
#include <vector>

#include "tests/unzip/support.h"

namespace installer_test {

struct ZipEntry { std::string name, data; };

inline std::string BuildZip(const std::vector<ZipEntry>& entries) {
  constexpr uint32_t kDosDateTime = ((((2004u - 1980u) << 9) | (5u << 5) | 17u) << 16) | (12u << 11) | (30u << 5);
  std::vector<unzip_test::TestEntry> members;
  for (const ZipEntry& e : entries) {
    members.push_back({e.name, e.data});
    members.back().dosDateTime = kDosDateTime;
  }
  return unzip_test::BuildZip(members);
}

}  // namespace installer_test
