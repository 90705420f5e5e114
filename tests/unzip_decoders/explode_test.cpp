#include "installer/unzip/explode.h"

#include <gtest/gtest.h>

#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

DecodeResult Exploded(const std::string& data, uint32_t flags, uint32_t size) {
  return RunDecoder([&](BitInput& in, OutputWindow& out) { return Explode(in, out, flags & 2, flags & 4, size); }, data);
}

// A tree description of 64 values of six bits each (four runs of 16).
const std::string kFlatTree("\x03\xf5\xf5\xf5\xf5", 5);

TEST(Explode, TreeDescriptions) {
  struct Case {
    const char* name;
    std::string trees;  // length tree, distance tree (no literal tree)
    int32_t code;
  } cases[] = {
      {"valid trees but no items", kFlatTree + kFlatTree, -3},
      {"too many values", std::string("\x04\xf5\xf5\xf5\xf5\x00", 6) + kFlatTree, -4},
      {"too few values", std::string("\x02\xf5\xf5\xf5", 4) + kFlatTree, -4},
      {"over-subscribed lengths", std::string("\x03\xf4\xf4\xf4\xf4", 5) + kFlatTree, -4},
      {"incomplete lengths", kFlatTree + std::string("\x03\xf6\xf6\xf6\xf6", 5), -4},
      {"description cut off", kFlatTree + std::string("\x03\xf5", 2), -3},
  };
  for (const Case& c : cases) EXPECT_EQ(Exploded(c.trees, 0, 10).code, c.code) << c.name;
}

TEST(Explode, MatchesBeforeTheStartReadZerosAndTheSizeIsHonoured) {
  // With flat six-bit trees value v has canonical code v; codes are sent complemented, high
  // bit first, so the packed value is ~v with its six bits reversed.
  auto code = [](uint32_t v) {
    uint32_t sent = 0;
    for (int b = 0; b < 6; ++b) sent |= ((~v >> b) & 1) << (5 - b);
    return std::pair<uint32_t, int>{sent, 6};
  };
  // A literal 'Q' (8 plain bits), then a match: low distance bits 4 (distance 5, reaching
  // four bytes before the start), high distance bits 0, length 5 + 2.
  const std::string stream = kFlatTree + kFlatTree + PackBits({{1, 1}, {'Q', 8}, {0, 1}, {4, 6}, code(0), code(5)});
  const DecodeResult result = Exploded(stream, 0, 6);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.output, std::string("Q\0\0\0\0Q", 6));
}

}  // namespace
}  // namespace kudu::test
