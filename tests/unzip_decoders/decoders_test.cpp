// The decoders on their own: every fixture member of the three decoded methods, handed over
// in blocks of many sizes, whole and cut; and damaged or unusual streams written by the test.
#include <gtest/gtest.h>

#include "installer/unzip/crc32.h"
#include "installer/unzip/explode.h"
#include "installer/unzip/inflate.h"
#include "installer/unzip/unshrink.h"
#include "installer/unzip/ziptypes.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

using Bits = std::pair<uint32_t, int>;

// A Huffman code of the given length, high bit first as deflate and implode send it.
Bits Code(uint32_t code, int length) {
  uint32_t reversed = 0;
  for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
  return {reversed, length};
}

// The member's decoder; after inflating, the 4 bytes behind the stream go to `after`.
Decoder For(const ManifestRow& row, std::string* after) {
  // Implode's flags: 8 KB dictionary, literal tree.
  const bool bigWindow = (row.flags & 2) != 0, literals = (row.flags & 4) != 0;
  const uint32_t size = row.uncompressedSize;
  if (row.method == 1) return Unshrink;
  if (row.method == 6) return [=](BitInput& in, OutputWindow& out) { return Explode(in, out, bigWindow, literals, size); };
  return [after](BitInput& in, OutputWindow& out) {
    const int32_t code = Inflate(in, out);
    in.AlignToByte();
    for (int i = 0; i < 4 && code == 0 && in.Need(8); ++i) *after += static_cast<char>(in.Bits(8));
    return code;
  };
}

// Block sizes around the inflater's 16-byte limit for its fast loop and single bytes hit every
// switch between the decoders' fast and careful paths and every refill inside a code. Deflate
// must leave the bytes behind its stream readable: a data descriptor may follow there.
TEST(Decoders, FixtureMembersInBlocksOfAnySize) {
  int members = 0;
  std::string data;
  for (const ManifestRow& row : LoadManifest()) {
    // The members that extract as listed; the one above 500000 bytes is the benchmark's.
    const int method = row.method;
    const bool decoded = method == 1 || method == 6 || method == 8;
    if (!decoded || row.expect != "ok" || row.compressedSize > 500000 || !ReadMemberData(row, &data)) continue;
    ++members;
    for (int blockSize : {4096, 1, 2, 7, 15, 16, 17, 100}) {
      SCOPED_TRACE(testing::Message() << row.archive << " " << row.member << ", blocks of " << blockSize);
      std::string after;
      const DecodeResult result = RunDecoder(For(row, &after), method == 8 ? data + "PK\x07\x08" : data, blockSize);
      ASSERT_EQ(result.code, 0);
      ASSERT_EQ(result.output.size(), row.uncompressedSize);
      EXPECT_EQ(Crc32(result.output.data(), result.output.size()), row.crc32);
      EXPECT_EQ(after, method == 8 ? "PK\x07\x08" : "");
    }
    // Cut data fails; shrunk data cannot tell, but comes out short (and the reader then sees
    // its input end before the member's size). Flipped bits are the fuzz targets' business.
    for (size_t keep = 0; keep + 1 < data.size() && data.size() < 50000; keep += 1 + data.size() / 19) {
      std::string after;
      const DecodeResult cut = RunDecoder(For(row, &after), data.substr(0, keep));
      EXPECT_TRUE(cut.code == -3 || cut.code == -4 || (method == 1 && cut.output.size() < row.uncompressedSize))
          << row.archive << " " << row.member << " cut to " << keep << " gave " << cut.code;
    }
  }
  EXPECT_GE(members, 200);
}

// Intact streams (literals, codes defined late, wider codes, partial clears) are the
// fixtures' business.
TEST(Unshrink, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::vector<Bits> codes;  // low bits first, at the given widths
    int32_t code;
  } cases[] = {
      {"no input: an empty member", {}, 0},
      {"a code defined later", {{'a', 9}, {258, 9}}, -4},
      {"a first code that is no byte", {{300, 9}}, -4},
      {"an unknown control code", {{'a', 9}, {256, 9}, {3, 9}}, -4},
      {"a control code cut off", {{'a', 9}, {256, 9}}, -3},
      {"codes wider than 13 bits",
       {{256, 9}, {1, 9}, {256, 10}, {1, 10}, {256, 11}, {1, 11}, {256, 12}, {1, 12}, {256, 13}, {1, 13}}, -4},
      // The clear frees 257 = "ab", the code just sent; the entry it owed is still made, at
      // 257 itself, but stands for no string.
      {"an entry on a freed prefix", {{'a', 9}, {'b', 9}, {257, 9}, {256, 9}, {2, 9}, {'c', 9}, {257, 9}}, -4},
      {"a freed code is undefined", {{'a', 9}, {'b', 9}, {'c', 9}, {256, 9}, {2, 9}, {258, 9}}, -4},
  };
  for (const Case& c : cases) {
    const DecodeResult result = RunDecoder(Unshrink, PackBits(c.codes));
    EXPECT_EQ(result.code, c.code) << c.name;
    EXPECT_EQ(result.output, "") << c.name;
  }
}

DecodeResult Exploded(const std::string& data, uint32_t size) {
  return RunDecoder([size](BitInput& in, OutputWindow& out) { return Explode(in, out, false, false, size); }, data);
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
  for (const Case& c : cases) EXPECT_EQ(Exploded(c.trees, 10).code, c.code) << c.name;
}

TEST(Explode, MatchesBeforeTheStartReadZerosAndTheSizeIsHonoured) {
  // With flat six-bit trees value v has canonical code v; codes are sent complemented.
  auto code = [](uint32_t v) { return Code(~v & 63, 6); };
  // A literal 'Q' (8 plain bits), then a match: low distance bits 4 (distance 5, reaching
  // four bytes before the start), high distance bits 0, length 5 + 2.
  const std::string stream = kFlatTree + kFlatTree + PackBits({{1, 1}, {'Q', 8}, {0, 1}, {4, 6}, code(0), code(5)});
  const DecodeResult result = Exploded(stream, 6);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.output, std::string("Q\0\0\0\0Q", 6));
}

// A symbol of deflate's fixed literal/length code.
Bits Fixed(uint32_t s) {
  if (s < 144) return Code(0x30 + s, 8);
  if (s < 256) return Code(0x190 + s - 144, 9);
  return s < 280 ? Code(s - 256, 7) : Code(0xC0 + s - 280, 8);
}

// Intact streams are the fixtures' business.
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
      {"too far back", PackBits({lastFixedBlock, Fixed('a'), Fixed(257), Code(1, 5), Fixed(256)}), kZipCorrupt},
      {"reserved block type", PackBits({{7, 3}}), kZipCorrupt},
      {"symbol 286, which no stream may use", PackBits({lastFixedBlock, Fixed(286)}), kZipCorrupt},
      {"input ends inside the block", PackBits({lastFixedBlock, Fixed('u'), Fixed('n')}), kZipInputEnded},
      {"stored length check", std::string("\x01\x05\x00\x05\x00hello", 10), kZipCorrupt},  // NLEN is not ~LEN
      {"stored block cut short", std::string("\x01\x05\x00\xFA\xFFhel", 8), kZipInputEnded},
      {"over-subscribed code lengths", PackBits(oversubscribed), kZipCorrupt},
      {"no input", "", kZipInputEnded},
  };
  for (const Case& c : cases) {
    for (int blockSize : {4096, 1}) {
      EXPECT_EQ(RunDecoder(Inflate, c.stream, blockSize).code, c.code) << c.what << ", blocks of " << blockSize;
    }
  }
}

}  // namespace
}  // namespace kudu::test
