// Small ZIP archives for tests that need names or flags no fixture has, written by the ZIP
// reader tests' archive writer. Members are stored as given and dated 17.05.2004 12:30.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/unzip/support.h"

namespace installer_test {

struct ZipEntry {
  std::string name;
  std::string data;
  uint16_t method = 0;  // the data is stored as given, whatever the method says
  uint16_t flags = 0;
};

inline std::string BuildZip(const std::vector<ZipEntry>& entries) {
  constexpr uint32_t kDosTime = (12u << 11) | (30u << 5);
  constexpr uint32_t kDosDate = ((2004u - 1980u) << 9) | (5u << 5) | 17u;
  std::vector<unzip_test::TestEntry> members;
  for (const ZipEntry& e : entries) {
    unzip_test::TestEntry member{e.name, e.data};
    member.method = e.method;
    member.flags = e.flags;
    member.dosDateTime = (kDosDate << 16) | kDosTime;
    members.push_back(member);
  }
  return unzip_test::BuildZip(members);
}

}  // namespace installer_test
