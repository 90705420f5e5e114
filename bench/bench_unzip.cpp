// Extraction speed of the ZIP reader, in one run:
//  - deflate: UnzipMember on the 8 MiB deflated benchmark member against the same work done
//    with zlib (read the member's data, inflate, CRC-32, write the file);
//  - shrunk and imploded: the whole kuduunzip program extracting archives of many copies of
//    the fixtures' largest shrunk and imploded members, against Info-ZIP's `unzip -p`.
// Figures are MB/s of output per second of processor time (user + system, including the
// child processes), best of several rounds, so a busy machine distorts them little. Output
// files go to /dev/shm where there is one, so the disk does not dominate.
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "installer/unzip/crc32.h"
#include "installer/unzip/decode_io.h"
#include "installer/unzip/inflate.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"

namespace {

const std::string kFixtures = std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/";
const std::string kWork = QUENDA_BENCH_DIR;
const std::string kTool = QUENDA_KUDUUNZIP;

std::string OutputFolder() {
  static const std::string folder = platform::FolderExists("/dev/shm") ? "/dev/shm/quenda-bench" : kWork + "/out";
  platform::CreateFolder(folder);
  return folder;
}

// Processor time of this process and its finished children, in seconds.
double CpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    getrusage(who, &usage);
    total += usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  }
  return total;
}

template <typename Work>
double BestSeconds(int rounds, Work work) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    double start = CpuSeconds();
    if (!work()) return -1;
    best = std::min(best, CpuSeconds() - start);
  }
  return std::max(best, 1e-6);
}

// Decoding alone: the member's data from memory, the output only checksummed.
struct MemoryFeed {
  const std::string* data;
  size_t at;
};

int32_t FeedBlock(void* context, uint8_t* block) {
  auto* feed = static_cast<MemoryFeed*>(context);
  size_t n = std::min<size_t>(kudu::kInputBlockSize, feed->data->size() - feed->at);
  if (n == 0) return -3;
  std::copy_n(feed->data->data() + feed->at, n, block);
  feed->at += n;
  return static_cast<int32_t>(n);
}

int32_t Checksum(void* context, const uint8_t* data, size_t length) {
  auto* crc = static_cast<uint32_t*>(context);
  *crc = kudu::Crc32Update(*crc, data, length);
  return 0;
}

bool OursInMemory(const std::string& data, uint32_t expected) {
  static uint8_t window[kudu::kWindowSize];
  MemoryFeed feed{&data, 0};
  uint32_t crc = kudu::kCrc32Start;
  kudu::BitInput input(FeedBlock, &feed);
  kudu::OutputWindow output(window, Checksum, &crc);
  return kudu::Inflate(input, output) == 0 && ~crc == expected;
}

bool ZlibInMemory(const std::string& data, uint32_t expected) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  std::vector<unsigned char> output(32768);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  uLong crc = crc32(0, nullptr, 0);
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = output.data();
    z.avail_out = static_cast<uInt>(output.size());
    rc = inflate(&z, Z_NO_FLUSH);
    crc = crc32(crc, output.data(), static_cast<uInt>(output.size() - z.avail_out));
  }
  inflateEnd(&z);
  return rc == Z_STREAM_END && crc == expected;
}

uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}
uint32_t Get32(const std::string& s, size_t at) { return Get16(s, at) | static_cast<uint32_t>(Get16(s, at + 2)) << 16; }

// The same extraction with zlib: the member's data in 64 KiB reads, raw inflate into a
// 32 KiB buffer, CRC-32 over the output, written to the file.
bool ZlibExtract(const std::string& archive, int32_t offset, const std::string& target) {
  platform::File in = platform::File::OpenRead(archive);
  std::string header(30, '\0');
  if (!in.Seek(offset) || in.Read(header.data(), 30) != 30) return false;
  int64_t left = Get32(header, 18);
  uint32_t expected = Get32(header, 14);
  if (!in.Seek(offset + 30 + Get16(header, 26) + Get16(header, 28))) return false;
  platform::File out = platform::File::Create(target);
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  std::vector<unsigned char> input(65536), output(32768);
  uLong crc = crc32(0, nullptr, 0);
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0) {
      int64_t got = in.Read(input.data(), std::min<int64_t>(left, static_cast<int64_t>(input.size())));
      if (got <= 0) break;
      left -= got;
      z.next_in = input.data();
      z.avail_in = static_cast<uInt>(got);
    }
    z.next_out = output.data();
    z.avail_out = static_cast<uInt>(output.size());
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    size_t produced = output.size() - z.avail_out;
    crc = crc32(crc, output.data(), static_cast<uInt>(produced));
    if (!out.Write(output.data(), static_cast<int64_t>(produced))) break;
  }
  inflateEnd(&z);
  return rc == Z_STREAM_END && crc == expected;
}

void Deflate() {
  const std::string archive = kWork + "/bench-deflated-8m.zip";
  if (!platform::FileExists(archive)) {
    std::string make = "python3 '" + kFixtures + "make_fixtures.py' --bench-only --out '" + kWork + "' >/dev/null";
    if (std::system(make.c_str()) != 0 || !platform::FileExists(archive)) {
      std::printf("deflate: cannot make %s\n", archive.c_str());
      return;
    }
  }
  ZipMemberInfo info;
  if (FirstMember(archive.c_str(), &info) != 0) return;
  const double megabytes = info.uncompressedSize / 1e6;
  std::string source;
  platform::ReadWholeFile(archive, source);
  const size_t at = static_cast<size_t>(info.localHeaderOffset);
  const std::string data = source.substr(at + 30 + Get16(source, at + 26) + Get16(source, at + 28), Get32(source, at + 18));
  const uint32_t expected = Get32(source, at + 14);
  double oursMemory = BestSeconds(9, [&] { return OursInMemory(data, expected); });
  double zlibMemory = BestSeconds(9, [&] { return ZlibInMemory(data, expected); });
  if (oursMemory > 0 && zlibMemory > 0) {
    std::printf("inflate  %-34s %8.1f MB  ours %7.1f MB/s  zlib %7.1f MB/s  ratio %.2f (decoding + CRC, in memory)\n",
                "bench-deflated-8m.zip", megabytes, megabytes / oursMemory, megabytes / zlibMemory,
                zlibMemory / oursMemory);
  }
  const std::string target = OutputFolder() + "/bench-out.txt";
  double ours = BestSeconds(9, [&] { return UnzipMember(archive.c_str(), target.c_str(), info.localHeaderOffset, 0, 0) == 0; });
  double zlib = BestSeconds(9, [&] { return ZlibExtract(archive, info.localHeaderOffset, target); });
  EndMemberWalk(&info);
  platform::RemoveFile(target);
  if (ours <= 0 || zlib <= 0) {
    std::printf("deflate: extraction failed\n");
    return;
  }
  std::printf("deflate  %-34s %8.1f MB  ours %7.1f MB/s  zlib %7.1f MB/s  ratio %.2f (target >= 0.80)\n",
              "bench-deflated-8m.zip", megabytes, megabytes / ours, megabytes / zlib, zlib / ours);
}

// An archive of `copies` copies of one member of a fixture archive.
bool BuildCopies(const std::string& fixture, const std::string& member, int copies, const std::string& path,
                 double* megabytes) {
  std::string source;
  if (!platform::ReadWholeFile(kFixtures + fixture, source)) return false;
  ZipMemberInfo info;
  int32_t rc = FirstMember((kFixtures + fixture).c_str(), &info);
  while (rc == 0 && std::string(info.name) != member) rc = NextMember(&info);
  EndMemberWalk(&info);
  if (rc != 0) return false;
  const size_t at = static_cast<size_t>(info.localHeaderOffset);
  const std::string fixed = source.substr(at, 30);
  const std::string data = source.substr(at + 30 + Get16(fixed, 26) + Get16(fixed, 28), Get32(fixed, 18));
  std::string out, central;
  auto put16 = [](std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
  };
  auto put32 = [&](std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
  };
  for (int i = 0; i < copies; ++i) {
    const std::string name = "copy" + std::to_string(i) + ".dat";
    const auto offset = static_cast<uint32_t>(out.size());
    out += fixed.substr(0, 26);
    put16(out, static_cast<uint32_t>(name.size()));
    put16(out, 0);
    out += name + data;
    put32(central, 0x02014B50);
    put16(central, 20);
    central += fixed.substr(4, 22);  // version needed .. uncompressed size
    put16(central, static_cast<uint32_t>(name.size()));
    central += std::string(12, '\0');
    put32(central, offset);
    central += name;
  }
  const auto centralOffset = static_cast<uint32_t>(out.size());
  out += central;
  put32(out, 0x06054B50);
  put32(out, 0);
  put16(out, static_cast<uint32_t>(copies));
  put16(out, static_cast<uint32_t>(copies));
  put32(out, static_cast<uint32_t>(central.size()));
  put32(out, centralOffset);
  put16(out, 0);
  *megabytes = copies * static_cast<double>(Get32(fixed, 22)) / 1e6;
  return platform::WriteWholeFile(path, out);
}

void WholeProcess(const char* label, const std::string& fixture, const std::string& member, int copies) {
  const std::string archive = kWork + "/bench-" + label + ".zip";
  const std::string folder = OutputFolder() + "/" + label;
  double megabytes = 0;
  if (!BuildCopies(fixture, member, copies, archive, &megabytes)) {
    std::printf("%-8s cannot build the archive from %s\n", label, fixture.c_str());
    return;
  }
  const std::string ours = "'" + kTool + "' -d '" + folder + "' '" + archive + "' >/dev/null";
  const std::string infozip = "unzip -p '" + archive + "' >/dev/null";
  double oursSeconds = BestSeconds(5, [&] { return std::system(ours.c_str()) == 0; });
  double infozipSeconds = BestSeconds(5, [&] { return std::system(infozip.c_str()) == 0; });
  std::system(("rm -rf '" + folder + "' '" + archive + "'").c_str());
  platform::RemoveFolder(OutputFolder());
  if (oursSeconds <= 0 || infozipSeconds <= 0) {
    std::printf("%-8s extraction failed\n", label);
    return;
  }
  std::printf("%-8s %-34s %8.1f MB  ours %7.1f MB/s  unzip -p %7.1f MB/s  ratio %.2f (target >= 1.00)\n", label,
              (fixture + " x" + std::to_string(copies)).c_str(), megabytes, megabytes / oursSeconds,
              megabytes / infozipSeconds, infozipSeconds / oursSeconds);
}

}  // namespace

int main() {
  platform::CreateFolder(kWork);
  Deflate();
  WholeProcess("shrunk", "shrunk-mixed-1m.zip", "mixed.txt", 32);
  WholeProcess("imploded", "imploded-8k3t-mixed-1m.zip", "mixed.txt", 32);
  return 0;
}
