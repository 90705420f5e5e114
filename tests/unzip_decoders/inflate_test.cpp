// Inflate on damaged streams written by the test; intact ones are the fixtures' deflated
// members (fixture_members_test.cpp), as are a reserved block type and a cut stream.
#include "installer/unzip/inflate.h"

#include <gtest/gtest.h>

#include "installer/unzip/ziptypes.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

using Bits = std::pair<uint32_t, int>;

// A Huffman code of the given length, high bit first as deflate sends it.
Bits Code(uint32_t code, int length) {
  uint32_t reversed = 0;
  for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
  return {reversed, length};
}

// A symbol of the fixed literal/length code.
Bits Fixed(uint32_t s) {
  if (s < 144) return Code(0x30 + s, 8);
  if (s < 256) return Code(0x190 + s - 144, 9);
  return s < 280 ? Code(s - 256, 7) : Code(0xC0 + s - 280, 8);
}

TEST(Inflate, DamagedStreamsGiveTheirCodes) {
  // A dynamic block whose code-length code over-subscribes: 19 lengths of 1 bit.
  std::vector<Bits> oversubscribed = {{5, 3}, {0, 10}, {15, 4}};
  oversubscribed.resize(3 + 19, {1, 3});
  const Bits lastFixedBlock = {3, 3};
  struct Case {
    const char* what;
    std::string stream;
    int32_t code;
  } cases[] = {
      // 'a', then length 3 (symbol 257) at distance 2 (distance code 1).
      {"distance too far back", PackBits({lastFixedBlock, Fixed('a'), Fixed(257), Code(1, 5), Fixed(256)}), kZipCorrupt},
      {"symbol 286, which no stream may use", PackBits({lastFixedBlock, Fixed(286)}), kZipCorrupt},
      {"stored length check", std::string("\x01\x05\x00\x05\x00hello", 10), kZipCorrupt},  // NLEN is not ~LEN
      {"stored block cut short", std::string("\x01\x05\x00\xFA\xFFhel", 8), kZipInputEnded},
      {"over-subscribed code lengths", PackBits(oversubscribed), kZipCorrupt},
      {"no input", "", kZipInputEnded},
  };
  for (const Case& c : cases) {
    for (int blockSize : {4096, 1}) {
      SCOPED_TRACE(testing::Message() << c.what << ", blocks of " << blockSize);
      EXPECT_EQ(RunDecoder(Inflate, c.stream, blockSize).code, c.code);
    }
  }
}

}  // namespace
}  // namespace kudu::test
