// Throughput of the shrunk and imploded decoders on the larger fixture members: input in
// 4096-byte blocks from memory, output through the 32768-byte window to a sink that only
// counts, so the figures are the decoders' own (no file, no CRC). MB/s of output per second
// of processor time (so a busy machine does not distort them), best of several rounds of at
// least 0.3 s each.
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "installer/unzip/explode.h"
#include "installer/unzip/unshrink.h"
#include "tests/unzip_decoders/zip_fixture.h"

namespace {

using kudu::test::ManifestRow;

struct Feed {
  const std::string* data;
  size_t offset;
};

int32_t Refill(void* context, uint8_t* block) {
  auto* feed = static_cast<Feed*>(context);
  size_t n = feed->data->size() - feed->offset;
  if (n == 0) return -3;
  if (n > kudu::kInputBlockSize) n = kudu::kInputBlockSize;
  std::memcpy(block, feed->data->data() + feed->offset, n);
  feed->offset += n;
  return static_cast<int32_t>(n);
}

int32_t Sink(void* context, const uint8_t*, size_t length) {
  *static_cast<uint64_t*>(context) += length;
  return 0;
}

int32_t DecodeOnce(const ManifestRow& row, const std::string& data, uint64_t* written) {
  Feed feed{&data, 0};
  kudu::BitInput in(Refill, &feed);
  static uint8_t window[kudu::kWindowSize];
  kudu::OutputWindow out(window, Sink, written);
  if (row.method == 1) return kudu::Unshrink(in, out);
  return kudu::Explode(in, out, (row.flags & 2) != 0, (row.flags & 4) != 0, row.uncompressedSize);
}

}  // namespace

int main() {
  std::printf("%-40s %-14s %10s %10s %9s\n", "archive", "member", "bytes", "method", "MB/s");
  for (const ManifestRow& row : kudu::test::LoadManifest()) {
    if ((row.method != 1 && row.method != 6) || (row.flags & 8) != 0 || row.uncompressedSize < 100000) continue;
    std::string data;
    if (!kudu::test::ReadMemberData(row, &data)) continue;
    double best = 0;
    for (int round = 0; round < 5; ++round) {
      uint64_t written = 0;
      int runs = 0;
      const std::clock_t start = std::clock();
      double seconds = 0;
      do {
        if (DecodeOnce(row, data, &written) != 0) {
          std::printf("%s %s: decoding failed\n", row.archive.c_str(), row.member.c_str());
          return 1;
        }
        ++runs;
        seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
      } while (seconds < 0.3);
      const double rate = static_cast<double>(written) / seconds / 1e6;
      if (rate > best) best = rate;
    }
    std::printf("%-40s %-14s %10u %10s %9.1f\n", row.archive.c_str(), row.member.c_str(), row.uncompressedSize,
                row.method == 1 ? "shrunk" : (row.flags & 6) == 6 ? "impl 8k3t"
                                         : (row.flags & 6) == 2 ? "impl 8k2t"
                                         : (row.flags & 6) == 4 ? "impl 4k3t"
                                                                : "impl 4k2t",
                best);
  }
  return 0;
}
