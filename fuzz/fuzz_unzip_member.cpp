// Extraction from arbitrary archive bytes: UnzipMember for every entry the walk finds and for
// offset 0, into a scratch folder. It must end with a result code, and a failure must leave
// no output file behind.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "installer/unzip/unzip.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = platform::TempFolder() + "/fuzz-unzip-member-" + std::to_string(getpid());
  static const std::string archive = folder + ".zip", target = folder + "/out.bin";
  static const bool made = platform::CreateFolder(folder) || platform::FolderExists(folder);
  [[maybe_unused]] static const int cleanup = std::atexit([] {
    platform::RemoveFile(target);
    platform::RemoveFolder(folder);
    platform::RemoveFile(archive);
  });
  if (!made || !platform::WriteWholeFile(archive, std::string(reinterpret_cast<const char*>(data), size))) return 0;
  auto extract = [](int32_t offset) {
    const int32_t rc = UnzipMember(archive.c_str(), target.c_str(), offset, 0, 0);
    // Failures before the output is created leave nothing, later ones delete it.
    if (rc > 0 || rc < -14 || (rc < 0 && rc != kZipCannotWrite && platform::FileExists(target))) __builtin_trap();
    platform::RemoveFile(target);
  };
  extract(0);
  ZipMemberInfo info;  // the first 16 members
  for (int32_t rc = FirstMember(archive.c_str(), &info), n = 0; rc == 0 && n < 16; rc = NextMember(&info), ++n) {
    extract(info.localHeaderOffset);
  }
  EndMemberWalk(&info);
  return 0;
}
