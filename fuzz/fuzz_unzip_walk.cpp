// The archive walk on arbitrary bytes: IsZipArchive, FirstMember, NextMember, EndMemberWalk
// must stay within their buffers and end.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "installer/unzip/unzip.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = platform::TempFolder() + "/fuzz-unzip-walk-" + std::to_string(getpid()) + ".zip";
  [[maybe_unused]] static const int cleanup = std::atexit([] { platform::RemoveFile(path); });
  if (!platform::WriteWholeFile(path, std::string(reinterpret_cast<const char*>(data), size))) return 0;
  int32_t offset = 0;
  IsZipArchive(path.c_str(), &offset);
  if (offset < -1 || offset >= static_cast<int64_t>(size) + 1) __builtin_trap();
  ZipMemberInfo info;
  size_t entries = 0;
  for (int32_t rc = FirstMember(path.c_str(), &info); rc == 0; rc = NextMember(&info)) {
    if (std::strlen(info.name) > 259 || ++entries > size / 46 + 1) __builtin_trap();  // 46 bytes an entry at least
  }
  if (info.directory) __builtin_trap();  // a failed step ends the walk
  EndMemberWalk(&info);
  EndMemberWalk(&info);
  return 0;
}
