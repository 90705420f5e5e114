// Shared pieces of the ZIP reader tests: the fixture manifest, scratch folders, a small
// archive writer, and a receiver of progress notifications.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/installer/temp_folder.h"

namespace unzip_test {

// One row of the fixtures' MANIFEST.tsv.
struct ManifestRow {
  std::string archive;  // relative to the fixture folder
  std::string member;   // as stored (escapes resolved); empty for archive-level rows
  int method = -1;
  uint32_t flags = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t crc32 = 0;  // as recorded: an altered member's content does not match it
  std::string expect;
  std::string note;
};

std::vector<ManifestRow> LoadManifest();
std::string FixturePath(const std::string& archive);
// The name as the member record holds it: "/" turned into "\", at most 259 characters.
std::string RecordName(const std::string& member);
// The member's compressed bytes; false when the archive is absent or the member not found.
bool ReadMemberData(const ManifestRow& row, std::string* data);

// A scratch folder for one test (path() ends with the separator), removed with its contents.
using ScratchFolder = installer_test::TempFolder;

// A member for BuildZip; its data is written as given, whatever the method says.
struct TestEntry {
  std::string name;
  std::string data;
  uint16_t method = 0;
  uint16_t flags = 0;
  uint32_t dosDateTime = 0x2B3A647D;  // 2001-09-26 12:35:58
  bool badCrc = false;                // store a CRC that does not match the data
  uint8_t hostSystem = 0;             // 0 MS-DOS
  uint8_t attributes = 0;
};
std::string BuildZip(const std::vector<TestEntry>& entries, const std::string& comment = "",
                     const std::string& prefix = "");

// Receives progress notifications: a window on Windows, the portable receiver elsewhere.
class ProgressProbe {
 public:
  ProgressProbe();
  ~ProgressProbe();
  uint16_t window() const { return window_; }
  std::vector<uint16_t> seen;  // percentages in the order they came
  // What to leave in the percentage (kCancelProgress cancels); may run nested calls.
  std::function<uint16_t(uint16_t)> answer;
  void Receive(uint16_t* percent);

 private:
  uint16_t window_ = 0;
  void* handle_ = nullptr;
};

}  // namespace unzip_test
