#include "installer/unzip/unshrink.h"

#include <gtest/gtest.h>

#include "tests/unzip/sha256.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

DecodeResult Unshrunk(const std::string& data, int blockSize = kInputBlockSize) {
  return RunDecoder([](BitInput& in, OutputWindow& out) { return Unshrink(in, out); }, data, blockSize);
}

std::vector<ManifestRow> ShrunkRows() {
  std::vector<ManifestRow> rows;
  for (const ManifestRow& row : LoadManifest()) {
    // Members with a data descriptor are refused before decoding; the altered ones decode
    // to their listed (wrong) content.
    if (row.method == 1 && (row.flags & 8) == 0) rows.push_back(row);
  }
  return rows;
}

TEST(Unshrink, EveryShrunkFixtureMemberDecodesToItsListedContent) {
  const std::vector<ManifestRow> rows = ShrunkRows();
  ASSERT_GE(rows.size(), 12u);
  for (const ManifestRow& row : rows) {
    SCOPED_TRACE(row.archive + " " + row.member);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    const DecodeResult result = Unshrunk(data);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.output.size(), row.uncompressedSize);
    EXPECT_EQ(unzip_test::Sha256Hex(result.output), row.sha256);
  }
}

TEST(Unshrink, InputBlockBoundariesDoNotMatter) {
  for (const ManifestRow& row : ShrunkRows()) {
    if (row.compressedSize > 50000) continue;
    SCOPED_TRACE(row.archive + " " + row.member);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    for (int blockSize : {1, 2, 3, 7, 4095}) {
      const DecodeResult result = Unshrunk(data, blockSize);
      ASSERT_EQ(result.code, 0) << blockSize;
      EXPECT_EQ(unzip_test::Sha256Hex(result.output), row.sha256) << blockSize;
    }
  }
}

TEST(Unshrink, EmptyInputIsAnEmptyMember) {
  const DecodeResult result = Unshrunk("");
  EXPECT_EQ(result.code, 0);
  EXPECT_TRUE(result.output.empty());
}

// Codes written low bits first at the given widths.
std::string PackCodes(const std::vector<std::pair<uint32_t, int>>& codes) {
  std::string bytes;
  uint64_t bits = 0;
  int count = 0;
  for (auto [code, width] : codes) {
    bits |= uint64_t(code) << count;
    count += width;
    while (count >= 8) {
      bytes.push_back(static_cast<char>(bits & 0xff));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) bytes.push_back(static_cast<char>(bits & 0xff));
  return bytes;
}

TEST(Unshrink, HandBuiltStreams) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, int>> codes;
    int32_t code;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"literals and a defined code", {{'a', 9}, {'b', 9}, {257, 9}}, 0, "abab"},
      {"the code being defined (KwKwK)", {{'a', 9}, {257, 9}, {258, 9}}, 0, "aaaaaa"},
      {"a code defined later", {{'a', 9}, {258, 9}}, -4, ""},
      {"a first code that is no byte", {{300, 9}}, -4, ""},
      {"wider codes after 256,1", {{'x', 9}, {256, 9}, {1, 9}, {'y', 10}, {257, 10}}, 0, "xyxy"},
      {"an unknown control code", {{'a', 9}, {256, 9}, {3, 9}}, -4, ""},
      {"a control code cut off", {{'a', 9}, {256, 9}}, -3, ""},
      {"codes wider than 13 bits",
       {{256, 9}, {1, 9}, {256, 10}, {1, 10}, {256, 11}, {1, 11}, {256, 12}, {1, 12}, {256, 13}, {1, 13}},
       -4,
       ""},
      // 257 = "ab" and 258 = "bc" are leaves and become free; the entry owed by "c" is made
      // after the clear, at 257 ("cd"); 258 ("dc") is next.
      {"partial clear frees leaves",
       {{'a', 9}, {'b', 9}, {'c', 9}, {256, 9}, {2, 9}, {'d', 9}, {257, 9}, {258, 9}},
       0, "abcdcddc"},
      // 257 = "ab" outlives the first clear as the prefix of 259 = "abc", and becomes a leaf
      // then; the second clear frees it, so "d" defines 257 = "cd".
      {"a second clear frees what the first left childless",
       {{'a', 9}, {'b', 9}, {257, 9}, {'c', 9}, {256, 9}, {2, 9}, {256, 9}, {2, 9}, {'d', 9}, {257, 9}},
       0, "ababcdcd"},
      // The clear frees 257 = "ab", the code just sent; the entry it owed is still made, at
      // 257 itself, but stands for no string.
      {"an entry on a freed prefix is unusable",
       {{'a', 9}, {'b', 9}, {257, 9}, {256, 9}, {2, 9}, {'c', 9}, {257, 9}}, -4, ""},
      {"a freed code is undefined", {{'a', 9}, {'b', 9}, {'c', 9}, {256, 9}, {2, 9}, {258, 9}}, -4, ""},
      // 257 = "ab" is the prefix of 260 = "abc" and stays; 258 = "bc", 259 = "ca" and 260
      // are leaves, freed and given out again: 258 = "ca", 259 = "abc", 260 = "caa".
      {"prefixes survive a clear",
       {{'a', 9}, {'b', 9}, {'c', 9}, {257, 9}, {'c', 9}, {256, 9}, {2, 9}, {257, 9}, {258, 9}, {259, 9}},
       0, "abcabcabcaabc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodeResult result = Unshrunk(PackCodes(c.codes));
    EXPECT_EQ(result.code, c.code);
    if (c.code == 0) {
      EXPECT_EQ(result.output, c.output);
    }
  }
}

TEST(Unshrink, TruncatedDataNeverGivesTheFullContent) {
  for (const ManifestRow& row : ShrunkRows()) {
    if (row.compressedSize < 1000 || row.compressedSize > 50000) continue;
    SCOPED_TRACE(row.archive + " " + row.member);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    for (size_t keep = 0; keep < data.size(); keep += 1 + data.size() / 97) {
      const DecodeResult result = Unshrunk(data.substr(0, keep));
      // Either the decoder notices or the output is short (the CRC then rejects it).
      EXPECT_TRUE(result.code < 0 || result.output.size() < row.uncompressedSize) << keep;
    }
  }
}

TEST(Unshrink, CorruptedDataEndsWithoutHarm) {
  std::string data;
  for (const ManifestRow& row : ShrunkRows()) {
    if (row.member == "english.txt") {
      ASSERT_TRUE(ReadMemberData(row, &data));
    }
  }
  ASSERT_FALSE(data.empty());
  int failures = 0;
  for (size_t at = 0; at < data.size(); at += 331) {
    std::string damaged = data;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5a);
    const DecodeResult result = Unshrunk(damaged);
    if (result.code < 0) ++failures;
    EXPECT_TRUE(result.code == 0 || result.code == -4) << at;
  }
  // LZW has little redundancy, but damage soon refers to codes that are not defined.
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace kudu::test
