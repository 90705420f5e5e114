// Decoder test access to the ZIP fixtures: a member's compressed bytes straight from its
// archive, and a harness that feeds a decoder the way the reader does (input in blocks,
// output through the window).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "installer/unzip/decode_io.h"
#include "tests/unzip/support.h"

namespace kudu::test {

using unzip_test::LoadManifest;
using unzip_test::ManifestRow;

// False when the archive is absent or the member is not found.
bool ReadMemberData(const ManifestRow& row, std::string* data);

// The members of a method that have no data descriptor, with their compressed bytes.
struct FixtureMember {
  ManifestRow row;
  std::string data;
  bool found = false;
};
std::vector<FixtureMember> FixtureMembers(int method);

struct DecodeResult {
  int32_t code = 0;
  std::string output;
};
// Hands `input` over in blocks of at most `blockSize` bytes, then -3.
DecodeResult RunDecoder(const std::function<int32_t(BitInput&, OutputWindow&)>& decoder, const std::string& input,
                        int blockSize = kInputBlockSize);

// Values of the given bit widths, packed low bit first.
std::string PackBits(const std::vector<std::pair<uint32_t, int>>& values);

}  // namespace kudu::test
