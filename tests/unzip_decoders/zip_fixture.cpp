#include "tests/unzip_decoders/zip_fixture.h"

#include <algorithm>
#include <cstring>

#include "installer/unzip/unzip.h"

namespace kudu::test {
namespace {

uint32_t Le16(const std::string& s, size_t at) { return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8; }

struct Feed {
  const std::string* input;
  size_t offset;
  int blockSize;
};

int32_t Refill(void* context, uint8_t* block) {
  auto* feed = static_cast<Feed*>(context);
  const size_t n = std::min<size_t>(feed->blockSize, feed->input->size() - feed->offset);
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
  const std::string path = unzip_test::FixturePath(row.archive);
  if (!unzip_test::ReadFile(path, zip)) return false;
  ZipMemberInfo info;
  for (int32_t rc = FirstMember(path.c_str(), &info); rc == 0; rc = NextMember(&info)) {
    const size_t local = static_cast<size_t>(info.localHeaderOffset);
    if (info.name != unzip_test::RecordName(row.member) || local + 30 > zip.size()) continue;
    EndMemberWalk(&info);
    const size_t start = local + 30 + Le16(zip, local + 26) + Le16(zip, local + 28);
    if (start + row.compressedSize > zip.size()) return false;
    *data = zip.substr(start, row.compressedSize);
    return true;
  }
  return false;
}

std::vector<FixtureMember> FixtureMembers(int method) {
  std::vector<FixtureMember> members;
  for (const ManifestRow& row : LoadManifest()) {
    if (row.method != method || (row.flags & 8) != 0) continue;
    members.push_back({row, "", false});
    members.back().found = ReadMemberData(row, &members.back().data);
  }
  return members;
}

DecodeResult RunDecoder(const std::function<int32_t(BitInput&, OutputWindow&)>& decoder, const std::string& input,
                        int blockSize) {
  DecodeResult result;
  Feed feed{&input, 0, blockSize};
  BitInput in(Refill, &feed);
  std::vector<uint8_t> window(kWindowSize);
  OutputWindow out(window.data(), Collect, &result.output);
  result.code = decoder(in, out);
  return result;
}

std::string PackBits(const std::vector<std::pair<uint32_t, int>>& values) {
  std::string bytes;
  uint64_t bits = 0;
  int count = 0;
  for (auto [value, width] : values) {
    bits |= uint64_t(value) << count;
    for (count += width; count >= 8; count -= 8, bits >>= 8) bytes.push_back(static_cast<char>(bits & 0xff));
  }
  if (count > 0) bytes.push_back(static_cast<char>(bits & 0xff));
  return bytes;
}

}  // namespace kudu::test
