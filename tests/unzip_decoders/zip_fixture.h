// Decoder test access to the ZIP fixtures (ReadMemberData: a member's compressed bytes), and
// a harness that feeds a decoder the way the reader does (input in blocks, output through
// the window).
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
using unzip_test::ReadMemberData;

struct DecodeResult {
  int32_t code = 0;
  std::string output;
};
using Decoder = std::function<int32_t(BitInput&, OutputWindow&)>;
// Hands `input` over in blocks of at most `blockSize` bytes, then -3.
DecodeResult RunDecoder(const Decoder& decoder, const std::string& input, int blockSize = kInputBlockSize);

// Values of the given bit widths, packed low bit first.
std::string PackBits(const std::vector<std::pair<uint32_t, int>>& values);

}  // namespace kudu::test
