// The member record that an archive walk fills, and the result codes of the ZIP reader.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/files.h"

// Result codes: 0 is success, every failure is negative.
inline constexpr int32_t kZipOk = 0;
inline constexpr int32_t kZipCrcMismatch = -1;       // written data has another CRC-32; output deleted
inline constexpr int32_t kZipCannotWrite = -2;       // output cannot be created, or a write failed
inline constexpr int32_t kZipInputEnded = -3;        // cannot position, or the compressed data ended early
inline constexpr int32_t kZipCorrupt = -4;           // local header unreadable, or compressed data corrupt
inline constexpr int32_t kZipCancelled = -5;         // cancelled through the notification
inline constexpr int32_t kZipUnsupported = -6;       // method not supported (also shrunk with sizes after the data)
inline constexpr int32_t kZipEncrypted = -7;         // member is encrypted
inline constexpr int32_t kZipBusy = -8;              // another extraction is in progress
inline constexpr int32_t kZipNoRoomForEntries = -9;  // end record too close to the start of the file
inline constexpr int32_t kZipNoMoreEntries = -10;    // end of the directory, a damaged entry, or no walk
inline constexpr int32_t kZipNoDirectory = -11;      // archive unreadable, empty, or without end record
inline constexpr int32_t kZipCannotOpen = -14;       // archive cannot be opened for extraction

// Sizes that the reader takes as unknown (sizes stored after the data).
inline constexpr int32_t kZipUnlimitedSize = 2147483647;

// One entry of the central directory, plus the state of the walk that produced it.
struct ZipMemberInfo {
  std::unique_ptr<uint8_t[]> directory;  // the central directory in memory; empty when no walk is active
  int32_t directoryLength = 0;           // bytes in the copy: the directory plus the end record's signature
  int32_t position = 0;                  // offset in the copy of the next entry to read
  int32_t dateTime = 0;                  // DOS time (low 16 bits) and date (high 16 bits)
  int32_t uncompressedSize = 0;
  int32_t compressedSize = 0;
  int32_t localHeaderOffset = 0;  // absolute offset of the entry's local header in the archive
  char name[260] = {};            // null-terminated, at most 259 characters, "/" turned into "\"
  uint16_t method = 0;            // compression method
  uint8_t attributes = 0;         // MS-DOS attribute byte, or 0 for other hosts
  platform::File archive;         // held open for the whole walk
};
