#include "installer/unzip/explode.h"

#include <gtest/gtest.h>

#include "tests/unzip/sha256.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

DecodeResult Exploded(const std::string& data, uint32_t flags, uint32_t size, int blockSize = kInputBlockSize) {
  return RunDecoder(
      [&](BitInput& in, OutputWindow& out) { return Explode(in, out, (flags & 2) != 0, (flags & 4) != 0, size); },
      data, blockSize);
}

std::vector<ManifestRow> ImplodedRows() {
  std::vector<ManifestRow> rows;
  for (const ManifestRow& row : LoadManifest()) {
    if (row.method == 6 && (row.flags & 8) == 0) rows.push_back(row);
  }
  return rows;
}

TEST(Explode, EveryImplodedFixtureMemberDecodesToItsListedContent) {
  const std::vector<ManifestRow> rows = ImplodedRows();
  ASSERT_GE(rows.size(), 160u);
  int variants[8] = {};
  for (const ManifestRow& row : rows) {
    SCOPED_TRACE(row.archive + " " + row.member);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    const DecodeResult result = Exploded(data, row.flags, row.uncompressedSize);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.output.size(), row.uncompressedSize);
    EXPECT_EQ(unzip_test::Sha256Hex(result.output), row.sha256);
    ++variants[row.flags & 6];
  }
  // All four combinations of dictionary size and tree count took part (8 KB with two trees
  // and 4 KB with three fail when the shortest match is taken from the dictionary size).
  for (int flags : {0, 2, 4, 6}) EXPECT_GT(variants[flags], 0) << flags;
}

TEST(Explode, InputBlockBoundariesDoNotMatter) {
  for (const ManifestRow& row : ImplodedRows()) {
    if (row.compressedSize > 20000 || row.archive.find("imploded-") != 0) continue;
    SCOPED_TRACE(row.archive + " " + row.member);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    for (int blockSize : {1, 3, 5, 4095}) {
      const DecodeResult result = Exploded(data, row.flags, row.uncompressedSize, blockSize);
      ASSERT_EQ(result.code, 0) << blockSize;
      EXPECT_EQ(unzip_test::Sha256Hex(result.output), row.sha256) << blockSize;
    }
  }
}

TEST(Explode, AnEmptyMemberReadsNothing) {
  const DecodeResult result = Exploded("", 6, 0);
  EXPECT_EQ(result.code, 0);
  EXPECT_TRUE(result.output.empty());
}

// A tree description of 64 values of six bits each (four runs of 16).
const std::string kFlatTree("\x03\xf5\xf5\xf5\xf5", 5);

TEST(Explode, TreeDescriptions) {
  struct Case {
    const char* name;
    std::string trees;  // length tree, distance tree (no literal tree)
    int32_t code;
  };
  const std::vector<Case> cases = {
      {"valid trees but no items", kFlatTree + kFlatTree, -3},
      {"too many values", std::string("\x04\xf5\xf5\xf5\xf5\x00", 6) + kFlatTree, -4},
      {"too few values", std::string("\x02\xf5\xf5\xf5", 4) + kFlatTree, -4},
      {"over-subscribed lengths", std::string("\x03\xf4\xf4\xf4\xf4", 5) + kFlatTree, -4},
      {"incomplete lengths", kFlatTree + std::string("\x03\xf6\xf6\xf6\xf6", 5), -4},
      {"description cut off", kFlatTree + std::string("\x03\xf5", 2), -3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Exploded(c.trees, 0, 10).code, c.code);
  }
}

TEST(Explode, MatchesBeforeTheStartReadZerosAndTheSizeIsHonoured) {
  // Flat six-bit trees; a code's bits are the complement of its canonical code, sent first
  // bit first. Value v has canonical code v (six bits), so it is sent as ~v, high bit first.
  std::string stream = kFlatTree + kFlatTree;
  uint64_t bits = 0;
  int count = 0;
  auto put = [&](uint32_t value, int width) {
    bits |= uint64_t(value) << count;
    count += width;
  };
  auto putCode = [&](uint32_t value) {
    const uint32_t sent = ~value & 63;
    for (int b = 5; b >= 0; --b) put((sent >> b) & 1, 1);
  };
  put(1, 1);     // literal
  put('Q', 8);   // 8 plain bits
  put(0, 1);     // match
  put(4, 6);     // low distance bits: distance 4 + 1 = 5, reaching 4 bytes before the start
  putCode(0);    // high distance bits
  putCode(5);    // length 5 + 2
  while (count > 0) {
    stream.push_back(static_cast<char>(bits & 0xff));
    bits >>= 8;
    count -= 8;
  }
  const DecodeResult result = Exploded(stream, 0, 6);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.output, std::string("Q\0\0\0\0Q", 6));
}

TEST(Explode, TruncatedDataFails) {
  for (const ManifestRow& row : ImplodedRows()) {
    if (row.archive.find("imploded-8k") != 0 || row.compressedSize > 50000) continue;
    SCOPED_TRACE(row.archive + " " + row.member);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    for (size_t keep = 0; keep + 1 < data.size(); keep += 1 + data.size() / 61) {
      const int32_t code = Exploded(data.substr(0, keep), row.flags, row.uncompressedSize).code;
      EXPECT_TRUE(code == -3 || code == -4) << keep << " gave " << code;
    }
  }
}

TEST(Explode, CorruptedDataEndsWithoutHarm) {
  for (const ManifestRow& row : ImplodedRows()) {
    if (row.member != "english.txt") continue;
    SCOPED_TRACE(row.archive);
    std::string data;
    ASSERT_TRUE(ReadMemberData(row, &data));
    for (size_t at = 0; at < data.size(); at += 977) {
      std::string damaged = data;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x24);
      const DecodeResult result = Exploded(damaged, row.flags, row.uncompressedSize);
      EXPECT_TRUE(result.code == 0 || result.code == -3 || result.code == -4) << at;
      EXPECT_LE(result.output.size(), row.uncompressedSize);
    }
  }
}

}  // namespace
}  // namespace kudu::test
