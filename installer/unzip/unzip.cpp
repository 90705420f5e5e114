// Extraction of one member: local header, output file (with its folders), the decoder for
// the member's method, the CRC-32 check, the file's date.
//
// While it works, the extraction keeps the caller's window alive: before every input block
// and after every stored chunk it processes pending window messages and reports progress,
// which is also where the user can cancel. Because message processing can run user actions,
// a nested extraction is refused by a busy flag (unless the running one has not processed
// messages for 30 seconds, so a flag left behind by a crashed call does not block forever).
#include "installer/unzip/unzip.h"

#include <algorithm>
#include <memory>
#include <new>

#include "installer/unzip/crc32.h"
#include "installer/unzip/decode_io.h"
#include "installer/unzip/explode.h"
#include "installer/unzip/inflate.h"
#include "installer/unzip/unshrink.h"
#include "installer/unzip/little_endian.h"
#include "installer/unzip/zip_path.h"
#include "platform/progress.h"

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kDescriptorSignature = 0x08074B50;
constexpr int kLocalHeaderSize = 30;
constexpr size_t kMaxTargetLength = 255;
constexpr uint32_t kStaleBusyMilliseconds = 30000;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagBigDictionary = 0x0002;
constexpr uint16_t kFlagLiteralTree = 0x0004;
constexpr uint16_t kFlagDataDescriptor = 0x0008;

constexpr uint16_t kStored = 0;
constexpr uint16_t kShrunk = 1;
constexpr uint16_t kImploded = 6;
constexpr uint16_t kDeflated = 8;

bool gBusy = false;
uint32_t gLastPump = 0;
ZipClock gClock = platform::TickCount;

using kudu::Get16;
using kudu::Get32;

// The state of one extraction: files, counters, and the fixed buffers (the decoders' input
// block lives in `input`).
struct Extraction {
  Extraction() : input(Refill, this), output(window, Flush, this) {}

  platform::File archive;
  platform::File file;
  int64_t compressedSize = 0;
  int64_t bytesRead = 0;  // compressed bytes read for the member so far
  uint32_t crc = kudu::kCrc32Start;
  uint16_t percent = 0;
  bool cancelled = false;
  bool inputEnded = false;
  uint16_t notifyWindow = 0;
  int32_t notifyCode = 0;
  uint8_t window[kudu::kWindowSize] = {};
  kudu::BitInput input;
  kudu::OutputWindow output;

  void Pump() {
    platform::PumpMessages(notifyWindow);
    gLastPump = gClock();
  }

  // Reports the share of the compressed data read so far when it changed; the receiver (or
  // the held key) may cancel.
  void ReportProgress() {
    if (compressedSize == 0) return;
    const auto now = static_cast<uint16_t>(std::min<int64_t>(100, bytesRead * 100 / compressedSize));
    if (now == percent) return;
    percent = now;
    if (notifyWindow != 0) {
      if (platform::NotifyProgress(notifyWindow, notifyCode, percent) == platform::kCancelProgress) cancelled = true;
    } else if (notifyCode != 0 && platform::IsKeyHeld(notifyCode)) {
      cancelled = true;
    }
  }

  // The next input block for a decoder: never more than the member's compressed data.
  static int32_t Refill(void* context, uint8_t* block) {
    auto* x = static_cast<Extraction*>(context);
    x->Pump();
    x->ReportProgress();
    if (x->cancelled) return kZipCancelled;
    const int64_t left = x->compressedSize - x->bytesRead;
    if (x->inputEnded || left <= 0) {
      x->inputEnded = true;
      return kZipInputEnded;
    }
    const int64_t got = x->archive.Read(block, std::min<int64_t>(kudu::kInputBlockSize, left));
    if (got <= 0) {
      x->inputEnded = true;
      return kZipInputEnded;
    }
    x->bytesRead += got;
    return static_cast<int32_t>(got);
  }

  static int32_t Flush(void* context, const uint8_t* data, size_t length) {
    auto* x = static_cast<Extraction*>(context);
    if (!x->file.Write(data, static_cast<int64_t>(length))) return kZipCannotWrite;
    x->crc = kudu::Crc32Update(x->crc, data, length);
    return 0;
  }

  // A stored member: its bytes as they are, in window-sized chunks.
  int32_t CopyStored() {
    for (int64_t left = compressedSize; left > 0;) {
      const int64_t chunk = std::min<int64_t>(left, kudu::kWindowSize);
      const int64_t got = archive.Read(window, chunk);
      if (got > 0) {
        bytesRead += got;
        if (Flush(this, window, static_cast<size_t>(got)) != 0) return kZipCannotWrite;
      }
      if (got != chunk) return kZipInputEnded;
      left -= chunk;
      Pump();
      ReportProgress();
      if (cancelled) return kZipCancelled;
    }
    return kZipOk;
  }

  // The CRC of a data descriptor, which follows the data at the next byte boundary: with the
  // signature 50 4B 07 08 in front of it or without.
  int32_t ReadDescriptorCrc(uint32_t& expected) {
    input.AlignToByte();
    uint32_t words[2];
    for (int i = 0; i < 2; ++i) {
      if (!input.Need(16)) return input.error() != 0 ? input.error() : kZipInputEnded;
      const uint32_t low = input.Bits(16);
      if (!input.Need(16)) return input.error() != 0 ? input.error() : kZipInputEnded;
      words[i] = low | input.Bits(16) << 16;
      if (i == 0 && words[0] != kDescriptorSignature) {
        expected = words[0];
        return kZipOk;
      }
    }
    expected = words[1];
    return kZipOk;
  }
};

// Clears the busy flag on every way out.
struct BusyScope {
  BusyScope() {
    gBusy = true;
    gLastPump = gClock();
  }
  ~BusyScope() { gBusy = false; }
};

// Creates the output file, making its folders when needed. Returns 1 for a created file,
// 0 for a folder entry (done), or -2.
int32_t CreateOutput(const std::string& target, platform::File& file) {
  const bool folderEntry = !target.empty() && target.back() == platform::kPathSeparator;
  if (!folderEntry) file = platform::File::Create(target);
  if (file.IsOpen()) return 1;
  kudu::CreateFoldersOnPath(target);
  if (folderEntry) return 0;
  file = platform::File::Create(target);
  if (file.IsOpen()) return 1;
  const size_t cut = target.rfind(platform::kPathSeparator);
  if (cut != std::string::npos && cut > 0) {
    const std::string folder = target.substr(0, cut);
    if (!platform::FolderExists(folder) && kudu::CreateFolderWithParents(folder)) {
      file = platform::File::Create(target);
      if (file.IsOpen()) return 1;
    }
  }
  return kZipCannotWrite;
}

}  // namespace

void SetZipClock(ZipClock clock) { gClock = clock != nullptr ? clock : platform::TickCount; }

int32_t UnzipMember(const char* archive, const char* target, int32_t localHeaderOffset, uint16_t notifyWindow,
                    int32_t notifyCode) {
  if (gBusy && gClock() - gLastPump <= kStaleBusyMilliseconds) return kZipBusy;
  BusyScope busy;

  // A longer target is refused rather than cut: a cut path would name another file.
  const std::string path = kudu::NativePath(target);
  if (path.empty() || path.size() > kMaxTargetLength) return kZipCannotWrite;
  std::unique_ptr<Extraction> x(new (std::nothrow) Extraction());
  if (!x) return kZipCannotWrite;

  x->archive = platform::File::OpenRead(kudu::NativePath(archive));
  if (!x->archive.IsOpen()) return kZipCannotOpen;
  if (localHeaderOffset < 0 || !x->archive.Seek(localHeaderOffset)) return kZipInputEnded;
  uint8_t header[kLocalHeaderSize];
  if (x->archive.Read(header, kLocalHeaderSize) != kLocalHeaderSize) return kZipCorrupt;
  if (Get32(header) != kLocalHeaderSignature) return kZipCorrupt;

  const uint16_t flags = Get16(header + 6);
  const uint16_t method = Get16(header + 8);
  const uint32_t dateTime = Get32(header + 10);
  const bool descriptor = (flags & kFlagDataDescriptor) != 0;
  // Without a descriptor the header has the CRC and sizes; with one they follow the data,
  // and the data must end by itself.
  uint32_t expectedCrc = descriptor ? 0 : Get32(header + 14);
  x->compressedSize = descriptor ? kZipUnlimitedSize : Get32(header + 18);
  const uint32_t uncompressedSize = descriptor ? kZipUnlimitedSize : Get32(header + 22);
  const int64_t dataStart = int64_t{localHeaderOffset} + kLocalHeaderSize + Get16(header + 26) + Get16(header + 28);

  if (method != kStored && method != kShrunk && method != kImploded && method != kDeflated) return kZipUnsupported;
  // Shrunk data has no end of its own: without its size it cannot be decoded.
  if (method == kShrunk && descriptor) return kZipUnsupported;
  if (flags & kFlagEncrypted) return kZipEncrypted;

  if (!x->archive.Seek(dataStart)) return kZipInputEnded;
  switch (CreateOutput(path, x->file)) {
    case 0:
      return kZipOk;
    case 1:
      break;
    default:
      return kZipCannotWrite;
  }

  x->notifyWindow = notifyWindow;
  x->notifyCode = notifyCode;
  x->Pump();
  int32_t rc;
  switch (method) {
    case kStored:
      rc = x->CopyStored();
      break;
    case kShrunk:
      rc = kudu::Unshrink(x->input, x->output);
      // Shrunk data ends where its input ends; input that stopped short of the member's
      // size means the archive itself was cut, not that the data was complete.
      if (rc == kZipOk && x->bytesRead < x->compressedSize) rc = kZipInputEnded;
      break;
    case kImploded:
      rc = kudu::Explode(x->input, x->output, (flags & kFlagBigDictionary) != 0, (flags & kFlagLiteralTree) != 0,
                         uncompressedSize);
      break;
    default:
      rc = kudu::Inflate(x->input, x->output);
      break;
  }
  if (rc == kZipOk && descriptor) rc = x->ReadDescriptorCrc(expectedCrc);
  x->archive.Close();
  x->file.Close();
  const uint32_t crc = ~x->crc;

  if (rc != kZipOk) {
    platform::RemoveFile(path);
    return rc;
  }
  if (crc != expectedCrc) {
    platform::RemoveFile(path);
    return kZipCrcMismatch;
  }
  x->percent = 100;
  if (notifyWindow != 0) platform::NotifyProgress(notifyWindow, notifyCode, x->percent);
  platform::SetFileTimeFromDos(path, dateTime);
  return kZipOk;
}
