// Recognising an archive and walking its central directory.
//
// The central directory is found through the end record at the end of the archive, which
// may be followed by a comment of up to 65535 bytes; it is searched backwards, one 4096-byte
// window after the other. The walk keeps the directory (and the end record's signature,
// which ends the walk) in memory and reads one entry per step.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "installer/unzip/unzip.h"
#include "installer/unzip/little_endian.h"
#include "installer/unzip/zip_path.h"

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kCentralEntrySignature = 0x02014B50;
constexpr uint32_t kEndRecordSignature = 0x06054B50;
constexpr int kEndRecordSize = 22;
constexpr int kCentralEntrySize = 46;
constexpr int kSearchWindow = 4096;
// A self-extracting program carries its archive behind itself; the local header signature
// is looked for in the first three quarters of at most this many bytes.
constexpr int64_t kScanLimit = 262143;

using kudu::Get16;
using kudu::Get32;

// Reads the entry at the walk's position into the record; 0, or -10 at the end record or at
// an entry that is incomplete or has no signature.
int32_t ReadEntry(ZipMemberInfo* info) {
  const uint8_t* copy = info->directory.get();
  const int64_t length = info->directoryLength;
  const int64_t q = info->position;
  if (q + 4 <= length && Get32(copy + q) == kEndRecordSignature) return kZipNoMoreEntries;
  if (length - q < kCentralEntrySize) return kZipNoMoreEntries;
  const uint8_t* entry = copy + q;
  const int64_t nameLength = Get16(entry + 28);
  const int64_t entryLength = kCentralEntrySize + nameLength + Get16(entry + 30) + Get16(entry + 32);
  if (length - q < entryLength || Get32(entry) != kCentralEntrySignature) return kZipNoMoreEntries;

  info->method = Get16(entry + 10);
  info->dateTime = static_cast<int32_t>(Get32(entry + 12));
  info->compressedSize = static_cast<int32_t>(Get32(entry + 20));
  info->uncompressedSize = static_cast<int32_t>(Get32(entry + 24));
  // Only MS-DOS hosts store DOS attributes in the low byte.
  info->attributes = entry[5] == 0 ? entry[38] : 0;
  info->localHeaderOffset = static_cast<int32_t>(Get32(entry + 42));
  const int64_t kept = std::min<int64_t>(nameLength, sizeof info->name - 1);
  for (int64_t i = 0; i < kept; ++i) {
    char c = static_cast<char>(entry[kCentralEntrySize + i]);
    info->name[i] = c == '/' ? '\\' : c;
  }
  info->name[kept] = '\0';
  info->position = static_cast<int32_t>(q + entryLength);
  return kZipOk;
}

// Finds the end record by searching backwards; its offset, or -1.
int64_t FindEndRecord(platform::File& file, int64_t size, uint8_t* window) {
  const int64_t w = std::min<int64_t>(kSearchWindow, size);
  int64_t start = size - w;
  for (;;) {
    if (!file.Seek(start) || file.Read(window, w) != w) return -1;
    for (int64_t i = w - kEndRecordSize; i >= 0; --i) {
      if (Get32(window + i) == kEndRecordSignature) return start + i;
    }
    if (start == 0) return -1;
    // The next window overlaps this one by the end record's size, so a record cut by the
    // window's start is found whole in the next.
    start = std::max<int64_t>(0, start - (w - kEndRecordSize));
  }
}

}  // namespace

bool IsZipArchive(const char* archive, int32_t* firstHeaderOffset) {
  if (firstHeaderOffset != nullptr) *firstHeaderOffset = -1;
  std::string path = kudu::NativePath(archive);
  if (!path.empty() && path.back() == platform::kPathSeparator) path.pop_back();
  if (platform::FolderExists(path)) return false;
  platform::File file = platform::File::OpenRead(path);
  uint8_t head[4];
  if (!file.IsOpen() || file.Read(head, 4) != 4) return false;
  if (Get32(head) == kLocalHeaderSignature) {
    if (firstHeaderOffset != nullptr) *firstHeaderOffset = 0;
    return true;
  }
  const int64_t size = file.Size();
  if (size < 5) return false;
  const int64_t scanned = std::min(size, kScanLimit);
  const int64_t wanted = scanned - scanned / 4;
  std::vector<uint8_t> bytes(static_cast<size_t>(wanted));
  if (!file.Seek(0)) return false;
  const int64_t got = file.Read(bytes.data(), wanted);
  for (int64_t p = 0; p + 5 <= got; ++p) {
    if (Get32(&bytes[static_cast<size_t>(p)]) == kLocalHeaderSignature) {
      if (firstHeaderOffset != nullptr) *firstHeaderOffset = static_cast<int32_t>(p);
      return p > 0;
    }
  }
  return false;
}

int32_t FirstMember(const char* archive, ZipMemberInfo* info) {
  if (info == nullptr) return kZipNoDirectory;
  EndMemberWalk(info);
  platform::File file = platform::File::OpenRead(kudu::NativePath(archive));
  if (!file.IsOpen()) return kZipNoDirectory;
  const int64_t size = file.Size();
  if (size <= 0) return kZipNoDirectory;

  uint8_t window[kSearchWindow + 4] = {};
  const int64_t end = FindEndRecord(file, size, window);
  if (end < 0) return kZipNoDirectory;
  uint8_t record[kEndRecordSize];
  if (!file.Seek(end) || file.Read(record, kEndRecordSize) != kEndRecordSize) return kZipNoDirectory;
  if (end < kCentralEntrySize) return kZipNoRoomForEntries;
  // The directory copy runs from the directory's offset to the end record's signature
  // inclusive; an offset behind the end record (or a damaged or shifted archive) has none.
  const int64_t directory = Get32(record + 16);
  if (directory > end) return kZipNoDirectory;
  const int64_t length = end + 4 - directory;
  if (length > std::numeric_limits<int32_t>::max()) return kZipNoDirectory;
  info->directory.reset(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
  if (!info->directory || !file.Seek(directory) || file.Read(info->directory.get(), length) != length) {
    info->directory.reset();
    return kZipNoDirectory;
  }
  info->directoryLength = static_cast<int32_t>(length);
  info->position = 0;
  info->archive = std::move(file);
  int32_t rc = ReadEntry(info);
  if (rc != kZipOk) EndMemberWalk(info);
  return rc;
}

int32_t NextMember(ZipMemberInfo* info) {
  if (info == nullptr || !info->directory) return kZipNoMoreEntries;
  int32_t rc = ReadEntry(info);
  if (rc != kZipOk) EndMemberWalk(info);
  return rc;
}

void EndMemberWalk(ZipMemberInfo* info) {
  if (info == nullptr) return;
  info->directory.reset();
  info->directoryLength = 0;
  info->position = 0;
  info->archive.Close();
}
