// The archive walk on arbitrary bytes: IsZipArchive, FirstMember, NextMember, EndMemberWalk
// must stay within their buffers and end.
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>

#include "installer/unzip/unzip.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = platform::TempFolder() + "/fuzz-unzip-walk-" + std::to_string(getpid()) + ".zip";
  static const int cleanup = std::atexit([] { platform::RemoveFile(path); });
  (void)cleanup;
  if (!platform::WriteWholeFile(path, std::string(reinterpret_cast<const char*>(data), size))) return 0;
  int32_t offset = 0;
  IsZipArchive(path.c_str(), &offset);
  if (offset < -1 || offset >= static_cast<int64_t>(size) + 1) __builtin_trap();
  ZipMemberInfo info;
  int32_t rc = FirstMember(path.c_str(), &info);
  size_t entries = 0;
  for (; rc == 0; rc = NextMember(&info)) {
    if (std::strlen(info.name) > 259) __builtin_trap();
    if (++entries > size / 46 + 1) __builtin_trap();  // every entry takes 46 bytes at least
  }
  if (info.directory) __builtin_trap();  // a failed step ends the walk
  EndMemberWalk(&info);
  EndMemberWalk(&info);
  return 0;
}
