// Every fixture member of the three decoded methods that extracts as listed, decoded from its
// compressed bytes handed over in blocks of many sizes, so that every switch between a
// decoder's fast and careful paths and every refill inside a code is hit. Deflate must leave
// the bytes behind its stream readable: a data descriptor may follow there.
#include <gtest/gtest.h>

#include "installer/unzip/crc32.h"
#include "installer/unzip/explode.h"
#include "installer/unzip/inflate.h"
#include "installer/unzip/unshrink.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

// The member's decoder; after inflating, the 4 bytes behind the stream go to `after`.
Decoder For(const ManifestRow& row, std::string* after) {
  if (row.method == 1) return Unshrink;
  if (row.method == 6) {
    return [&row](BitInput& in, OutputWindow& out) {
      return Explode(in, out, (row.flags & 2) != 0, (row.flags & 4) != 0, row.uncompressedSize);
    };
  }
  return [after](BitInput& in, OutputWindow& out) {
    const int32_t code = Inflate(in, out);
    in.AlignToByte();
    for (int i = 0; i < 4 && code == 0 && in.Need(8); ++i) *after += static_cast<char>(in.Bits(8));
    return code;
  };
}

TEST(Decoders, FixtureMembersInBlocksOfAnySize) {
  int members = 0;
  for (int method : {1, 6, 8}) {
    for (const auto& [row, data] : FixtureMembers(method)) {
      if (row.compressedSize > 500000) continue;  // the benchmark's archive
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
  }
  EXPECT_GE(members, 200);
}

}  // namespace
}  // namespace kudu::test
