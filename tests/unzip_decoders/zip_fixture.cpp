#include "tests/unzip_decoders/zip_fixture.h"

#include <algorithm>
#include <cstring>

namespace kudu::test {
namespace {

uint32_t Le16(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8;
}
uint32_t Le32(const std::string& s, size_t at) { return Le16(s, at) | Le16(s, at + 2) << 16; }

struct Feed {
  const std::string* input;
  size_t offset;
  int blockSize;
  size_t stopAfter;
  int32_t stopCode;
};

int32_t Refill(void* context, uint8_t* block) {
  auto* feed = static_cast<Feed*>(context);
  if (feed->offset >= feed->stopAfter) return feed->stopCode;
  size_t n = std::min<size_t>(feed->blockSize, feed->input->size() - std::min(feed->offset, feed->input->size()));
  n = std::min(n, feed->stopAfter - feed->offset);
  if (n == 0) return -3;
  std::memcpy(block, feed->input->data() + feed->offset, n);
  feed->offset += n;
  return static_cast<int32_t>(n);
}

int32_t Collect(void* context, const uint8_t* data, size_t length) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), length);
  return 0;
}

}  // namespace

bool ReadMemberData(const ManifestRow& row, std::string* data) {
  std::string zip;
  if (!unzip_test::ReadFile(unzip_test::FixturePath(row.archive), zip) || zip.size() < 22) return false;
  size_t end = std::string::npos;
  for (size_t at = zip.size() - 22 + 1; at-- > 0;) {
    if (Le32(zip, at) == 0x06054b50) {
      end = at;
      break;
    }
  }
  if (end == std::string::npos) return false;
  for (size_t at = Le32(zip, end + 16); at + 46 <= end && Le32(zip, at) == 0x02014b50;) {
    const uint32_t nameLength = Le16(zip, at + 28);
    const size_t next = at + 46 + nameLength + Le16(zip, at + 30) + Le16(zip, at + 32);
    if (zip.compare(at + 46, nameLength, row.member) == 0 && nameLength == row.member.size()) {
      const size_t local = Le32(zip, at + 42);
      if (local + 30 > zip.size() || Le32(zip, local) != 0x04034b50) return false;
      const size_t start = local + 30 + Le16(zip, local + 26) + Le16(zip, local + 28);
      if (start + row.compressedSize > zip.size()) return false;
      *data = zip.substr(start, row.compressedSize);
      return true;
    }
    at = next;
  }
  return false;
}

DecodeResult RunDecoder(const Decoder& decoder, const std::string& input, int blockSize, size_t stopAfter,
                        int32_t stopCode) {
  DecodeResult result;
  Feed feed{&input, 0, blockSize, stopAfter, stopCode};
  BitInput in(Refill, &feed);
  std::vector<uint8_t> window(kWindowSize);
  OutputWindow out(window.data(), Collect, &result.output);
  result.code = decoder(in, out);
  return result;
}

}  // namespace kudu::test
