// Inflate on streams written by the test with the fixed Huffman code: random mixes of
// literals and matches (long distances, overlapping copies, the window's wrap), handed over
// in blocks of many sizes so that every switch between the fast and the careful path is hit.
#include "installer/unzip/inflate.h"

#include <gtest/gtest.h>

#include "installer/unzip/ziptypes.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace kudu::test {
namespace {

// Writes bits low first, Huffman codes high bit first, as deflate sends them.
class BitWriter {
 public:
  BitWriter& Bits(uint32_t value, int count) {
    bits_.push_back({value, count});
    return *this;
  }
  BitWriter& Code(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
    return Bits(reversed, length);
  }
  BitWriter& Fixed(bool last) { return Bits(last ? 3 : 2, 3); }  // header of a fixed-code block
  BitWriter& Symbol(int s) {
    if (s < 144) return Code(0x30 + s, 8);
    if (s < 256) return Code(0x190 + s - 144, 9);
    return s < 280 ? Code(s - 256, 7) : Code(0xC0 + s - 280, 8);
  }
  BitWriter& Literals(const std::string& text) {
    for (unsigned char c : text) Symbol(c);
    return *this;
  }
  BitWriter& Match(int length, int distance) {
    static const int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int kDistBase[] = {1,    2,    3,    4,    5,    7,    9,     13,    17,    25,
                                    33,   49,   65,   97,   129,  193,  257,   385,   513,   769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int l = 28, d = 29;
    while (kLengthBase[l] > length) --l;
    while (kDistBase[d] > distance) --d;
    Symbol(257 + l).Bits(length - kLengthBase[l], l < 8 || l == 28 ? 0 : (l - 4) / 4);
    return Code(d, 5).Bits(distance - kDistBase[d], d < 4 ? 0 : d / 2 - 1);
  }
  // The stream so far, its last byte padded with zero bits.
  std::string bytes() const { return PackBits(bits_); }

 private:
  std::vector<std::pair<uint32_t, int>> bits_;
};

// Also gives the 4 bytes read behind the stream at the next byte boundary.
DecodeResult Inflated(const std::string& stream, int blockSize, std::string* after = nullptr) {
  return RunDecoder(
      [after](BitInput& in, OutputWindow& out) {
        const int32_t code = Inflate(in, out);
        if (code == 0 && after != nullptr) {
          in.AlignToByte();
          for (int i = 0; i < 4 && in.Need(8); ++i) *after += static_cast<char>(in.Bits(8));
        }
        return code;
      },
      stream, blockSize);
}

// A random stream, followed by "PK\7\8", and the output it stands for.
std::pair<std::string, std::string> RandomStream(uint32_t seed, size_t size) {
  auto next = [&seed](uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  BitWriter writer;
  std::string expected;
  writer.Fixed(false);
  while (expected.size() < size) {
    if (expected.size() % 50000 < 300 && next(40) == 0) writer.Symbol(256).Fixed(false);  // a new block now and then
    const uint32_t pick = next(10);
    if (pick < 4 || expected.size() < 3) {
      const uint8_t byte = static_cast<uint8_t>(next(6) == 0 ? next(256) : 'a' + next(8));
      writer.Symbol(byte);
      expected += static_cast<char>(byte);
      continue;
    }
    const int length = 3 + static_cast<int>(next(pick < 8 ? 20 : 256));
    const uint32_t reach = static_cast<uint32_t>(std::min<size_t>(expected.size(), 32768));
    int distance;
    if (pick == 9) {  // reaching nearly as far back as possible
      distance = static_cast<int>(reach - next(std::min<uint32_t>(reach, 64)));
    } else if (pick == 8) {
      distance = 1 + static_cast<int>(next(reach));
    } else {  // short distances: overlapping copies
      distance = 1 + static_cast<int>(next(std::min<uint32_t>(reach, pick * 9 + 1)));
    }
    writer.Match(length, distance);
    for (int i = 0; i < length; ++i) expected += expected[expected.size() - distance];
  }
  return {writer.Symbol(256).Fixed(true).Symbol(256).bytes() + "PK\x07\x08", expected};
}

TEST(Inflate, DecodesEveryBlockSplitLikeTheModel) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    const auto [stream, expected] = RandomStream(seed, 150000);
    for (int blockSize : {4096, 1, 2, 7, 15, 16, 17, 100, 1000}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", blocks of " << blockSize);
      std::string after;
      const DecodeResult result = Inflated(stream, blockSize, &after);
      ASSERT_EQ(result.code, 0);
      ASSERT_EQ(result.output.size(), expected.size());
      ASSERT_TRUE(result.output == expected);
      EXPECT_EQ(after, "PK\x07\x08") << "the bytes behind the stream stay readable";
    }
  }
}

TEST(Inflate, DamagedStreamsGiveTheirCodes) {
  // A dynamic block whose code-length code over-subscribes: 19 lengths of 1 bit.
  BitWriter oversubscribed;
  oversubscribed.Bits(5, 3).Bits(0, 10).Bits(15, 4);
  for (int i = 0; i < 19; ++i) oversubscribed.Bits(1, 3);
  struct Case {
    const char* what;
    std::string stream;
    int32_t code;
  } cases[] = {
      {"distance too far back", BitWriter().Fixed(true).Symbol('a').Match(3, 2).Symbol(256).bytes(), kZipCorrupt},
      {"reserved block type", BitWriter().Bits(7, 3).bytes(), kZipCorrupt},
      {"symbol 286, which no stream may use", BitWriter().Fixed(true).Symbol(286).bytes(), kZipCorrupt},
      {"input ends inside the block", BitWriter().Fixed(true).Literals("unfinished").bytes(), kZipInputEnded},
      {"stored length check", std::string("\x01\x05\x00\x05\x00hello", 10), kZipCorrupt},  // NLEN is not ~LEN
      {"stored block cut short", std::string("\x01\x05\x00\xFA\xFFhel", 8), kZipInputEnded},
      {"over-subscribed code lengths", oversubscribed.bytes(), kZipCorrupt},
      {"no input", "", kZipInputEnded},
  };
  for (const Case& c : cases) {
    for (int blockSize : {4096, 1}) {
      SCOPED_TRACE(testing::Message() << c.what << ", blocks of " << blockSize);
      EXPECT_EQ(Inflated(c.stream, blockSize).code, c.code);
    }
  }
}

}  // namespace
}  // namespace kudu::test
