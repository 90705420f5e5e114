// Test access to the ZIP fixtures (the manifest comes from the reader tests' support): a member's raw compressed bytes taken
// straight from its archive (through the central directory and the local header), and a
// harness that runs a decoder over such bytes the way the reader does: input in blocks,
// output through a 32768-byte window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "installer/unzip/decode_io.h"
#include "tests/unzip/support.h"

namespace kudu::test {

using unzip_test::LoadManifest;
using unzip_test::ManifestRow;

// The member's compressed bytes (compressedSize of them); false when the archive is absent or
// the member is not found.
bool ReadMemberData(const ManifestRow& row, std::string* data);

struct DecodeResult {
  int32_t code = 0;
  std::string output;
};

using Decoder = std::function<int32_t(BitInput&, OutputWindow&)>;

// Feeds `input` to the decoder in blocks of at most `blockSize` bytes (then -3, or
// `stopCode` once `stopAfter` bytes were handed out) and collects what it writes.
DecodeResult RunDecoder(const Decoder& decoder, const std::string& input, int blockSize = kInputBlockSize,
                        size_t stopAfter = SIZE_MAX, int32_t stopCode = -3);

}  // namespace kudu::test
