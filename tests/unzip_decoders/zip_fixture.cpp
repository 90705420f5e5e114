#include "tests/unzip_decoders/zip_fixture.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kudu::test {
namespace {

uint32_t Le16(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8;
}
uint32_t Le32(const std::string& s, size_t at) { return Le16(s, at) | Le16(s, at + 2) << 16; }

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      out.push_back('\\');
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out.push_back(static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)));
      i += 3;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool ReadFile(const std::string& path, std::string* data) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream buffer;
  buffer << file.rdbuf();
  *data = buffer.str();
  return true;
}

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

std::string FixtureDir() { return std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/"; }

std::vector<ManifestRow> ReadManifest() {
  std::vector<ManifestRow> rows;
  std::ifstream file(FixtureDir() + "MANIFEST.tsv");
  std::string line;
  std::getline(file, line);  // header
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, '\t')) fields.push_back(field);
    if (fields.size() < 10 || fields[2] == "-") continue;
    ManifestRow row;
    row.archive = fields[0];
    row.member = Unescape(fields[1]);
    row.method = std::stoi(fields[2]);
    row.flags = static_cast<uint32_t>(std::stoul(fields[3], nullptr, 16));
    row.compressedSize = static_cast<uint32_t>(std::stoul(fields[4]));
    row.uncompressedSize = static_cast<uint32_t>(std::stoul(fields[5]));
    row.sha256 = fields[7];
    row.expect = fields[9];
    row.note = fields.size() > 10 ? fields[10] : "";
    rows.push_back(row);
  }
  return rows;
}

bool ReadMemberData(const ManifestRow& row, std::string* data) {
  std::string zip;
  if (!ReadFile(FixtureDir() + row.archive, &zip) || zip.size() < 22) return false;
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
