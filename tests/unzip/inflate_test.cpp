// Inflate on streams written by the test with the fixed Huffman code: random mixes of
// literals and matches (long distances, overlapping copies, the window's wrap), handed over
// in blocks of many sizes so that every switch between the fast and the careful path is hit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "installer/unzip/crc32.h"
#include "installer/unzip/decode_io.h"
#include "installer/unzip/inflate.h"
#include "installer/unzip/ziptypes.h"

namespace unzip_test {
namespace {

// Writes bits low first, Huffman codes high bit first, as deflate sends them.
class FixedBlockWriter {
 public:
  void Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) PutBit((value >> i) & 1);
  }
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) PutBit((code >> i) & 1);
  }
  void Header(bool last) {
    Bits(last ? 1 : 0, 1);
    Bits(1, 2);
  }
  void Symbol(int symbol) {
    if (symbol < 144) {
      Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
      Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
      Code(symbol - 256, 7);
    } else {
      Code(0xC0 + symbol - 280, 8);
    }
  }
  void Literal(uint8_t byte) { Symbol(byte); }
  void Match(int length, int distance) {
    static const int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const int kDistBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int l = 28;
    while (kLengthBase[l] > length) --l;
    Symbol(257 + l);
    Bits(length - kLengthBase[l], kLengthExtra[l]);
    int d = 29;
    while (kDistBase[d] > distance) --d;
    Code(d, 5);
    Bits(distance - kDistBase[d], d < 4 ? 0 : d / 2 - 1);
  }
  void End() { Symbol(256); }
  // Pads the last byte with zero bits and appends raw bytes.
  void Raw(const std::string& bytes) {
    while (count_ != 0) PutBit(0);
    out_ += bytes;
  }
  const std::string& bytes() {
    if (count_ != 0) out_ += static_cast<char>(byte_);
    count_ = 0;
    return out_;
  }

 private:
  void PutBit(uint32_t bit) {
    byte_ |= bit << count_;
    if (++count_ == 8) {
      out_ += static_cast<char>(byte_);
      byte_ = 0;
      count_ = 0;
    }
  }
  std::string out_;
  uint32_t byte_ = 0;
  int count_ = 0;
};

struct Source {
  std::string data;
  size_t at = 0;
  size_t blockSize = 4096;
};

int32_t Refill(void* context, uint8_t* block) {
  auto* s = static_cast<Source*>(context);
  if (s->at >= s->data.size()) return kZipInputEnded;
  size_t n = std::min(s->blockSize, s->data.size() - s->at);
  std::memcpy(block, s->data.data() + s->at, n);
  s->at += n;
  return static_cast<int32_t>(n);
}

int32_t Collect(void* context, const uint8_t* data, size_t length) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), length);
  return 0;
}

struct Result {
  int32_t code;
  std::string output;
  std::string after;  // the 4 bytes read behind the stream at the next byte boundary
};

Result InflateInBlocks(const std::string& stream, size_t blockSize) {
  Source source{stream, 0, blockSize};
  std::vector<uint8_t> window(kudu::kWindowSize);
  Result result;
  kudu::BitInput input(Refill, &source);
  kudu::OutputWindow output(window.data(), Collect, &result.output);
  result.code = kudu::Inflate(input, output);
  if (result.code == 0) {
    input.AlignToByte();
    for (int i = 0; i < 4 && input.Need(8); ++i) result.after += static_cast<char>(input.Bits(8));
  }
  return result;
}

// A random stream and the output it stands for.
struct Sample {
  std::string stream;
  std::string expected;
};

Sample RandomStream(uint32_t seed, size_t size) {
  uint32_t state = seed;
  auto next = [&state](uint32_t range) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % range;
  };
  FixedBlockWriter writer;
  Sample sample;
  writer.Header(false);
  while (sample.expected.size() < size) {
    if (sample.expected.size() % 50000 < 300 && next(40) == 0) {
      writer.End();  // a new block now and then
      writer.Header(false);
    }
    uint32_t pick = next(10);
    if (pick < 4 || sample.expected.size() < 3) {
      uint8_t byte = static_cast<uint8_t>(next(6) == 0 ? next(256) : 'a' + next(8));
      writer.Literal(byte);
      sample.expected += static_cast<char>(byte);
      continue;
    }
    int length = pick < 8 ? 3 + static_cast<int>(next(20)) : 3 + static_cast<int>(next(256));
    size_t reach = std::min<size_t>(sample.expected.size(), 32768);
    int distance;
    if (pick == 9) {  // reaching nearly as far back as possible
      distance = static_cast<int>(reach - next(static_cast<uint32_t>(std::min<size_t>(reach, 64))));
    } else if (pick == 8) {
      distance = 1 + static_cast<int>(next(static_cast<uint32_t>(reach)));
    } else {  // short distances: overlapping copies
      distance = 1 + static_cast<int>(next(static_cast<uint32_t>(std::min<size_t>(reach, pick * 9 + 1))));
    }
    writer.Match(length, distance);
    for (int i = 0; i < length; ++i) sample.expected += sample.expected[sample.expected.size() - distance];
  }
  writer.End();
  writer.Header(true);
  writer.End();
  writer.Raw("PK\x07\x08");
  sample.stream = writer.bytes();
  return sample;
}

TEST(Inflate, DecodesEveryBlockSplitLikeTheModel) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    Sample sample = RandomStream(seed, 150000);
    for (size_t blockSize : {4096u, 1u, 2u, 7u, 15u, 16u, 17u, 100u, 1000u}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", blocks of " << blockSize);
      Result result = InflateInBlocks(sample.stream, blockSize);
      ASSERT_EQ(result.code, 0);
      ASSERT_EQ(result.output.size(), sample.expected.size());
      ASSERT_TRUE(result.output == sample.expected);
      EXPECT_EQ(result.after, "PK\x07\x08") << "the bytes behind the stream stay readable";
    }
  }
}

TEST(Inflate, DamagedStreamsGiveTheirCodes) {
  FixedBlockWriter tooFar;  // a match reaching before the first byte
  tooFar.Header(true);
  tooFar.Literal('a');
  tooFar.Match(3, 2);
  tooFar.End();
  FixedBlockWriter reserved;  // block type 3
  reserved.Bits(1, 1);
  reserved.Bits(3, 2);
  FixedBlockWriter symbol286;  // a literal/length symbol the fixed code has but no stream may use
  symbol286.Header(true);
  symbol286.Symbol(286);
  FixedBlockWriter unfinished;  // the input ends inside the block
  unfinished.Header(true);
  for (char c : std::string("unfinished")) unfinished.Literal(static_cast<uint8_t>(c));
  std::string storedBad("\x01\x05\x00\x05\x00hello", 10);  // NLEN is not LEN's complement
  std::string storedShort("\x01\x05\x00\xFA\xFFhel", 8);   // 5 bytes promised, 3 there
  // A dynamic block whose code-length code over-subscribes: 19 lengths of 1 bit.
  FixedBlockWriter oversubscribed;
  oversubscribed.Bits(1, 1);
  oversubscribed.Bits(2, 2);
  oversubscribed.Bits(0, 5);
  oversubscribed.Bits(0, 5);
  oversubscribed.Bits(15, 4);
  for (int i = 0; i < 19; ++i) oversubscribed.Bits(1, 3);
  struct Case {
    const char* what;
    std::string stream;
    int32_t code;
  } cases[] = {
      {"distance too far back", tooFar.bytes(), kZipCorrupt},
      {"reserved block type", reserved.bytes(), kZipCorrupt},
      {"symbol 286", symbol286.bytes(), kZipCorrupt},
      {"input ends early", unfinished.bytes(), kZipInputEnded},
      {"stored length check", storedBad, kZipCorrupt},
      {"stored block cut short", storedShort, kZipInputEnded},
      {"over-subscribed code lengths", oversubscribed.bytes(), kZipCorrupt},
      {"no input", "", kZipInputEnded},
  };
  for (const Case& c : cases) {
    for (size_t blockSize : {4096u, 1u}) {
      SCOPED_TRACE(testing::Message() << c.what << ", blocks of " << blockSize);
      EXPECT_EQ(InflateInBlocks(c.stream, blockSize).code, c.code);
    }
  }
}

TEST(Crc32, MatchesTheStandardCheckValues) {
  EXPECT_EQ(kudu::Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(kudu::Crc32("", 0), 0u);
  std::string text = "The quick brown fox jumps over the lazy dog, again and again.";
  uint32_t whole = kudu::Crc32(text.data(), text.size());
  for (size_t split = 0; split <= text.size(); ++split) {
    uint32_t crc = kudu::Crc32Update(kudu::kCrc32Start, text.data(), split);
    crc = kudu::Crc32Update(crc, text.data() + split, text.size() - split);
    EXPECT_EQ(~crc, whole) << split;
  }
  EXPECT_EQ(kudu::Crc32("The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);
}

}  // namespace
}  // namespace unzip_test
