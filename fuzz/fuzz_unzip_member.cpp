// Extraction from arbitrary archive bytes: UnzipMember for every entry the walk finds and for
// offset 0, into a scratch folder. It must end with a result code, and a failure must leave
// no output file behind.
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <string>

#include "installer/unzip/unzip.h"
#include "platform/files.h"

namespace {

void Check(const char* archive, const std::string& target, int32_t offset) {
  int32_t rc = UnzipMember(archive, target.c_str(), offset, 0, 0);
  if (rc > 0 || rc < -14) __builtin_trap();
  if (rc < 0 && rc != kZipCannotWrite && platform::FileExists(target)) {
    // Failures before the output is created leave nothing, later ones delete it.
    __builtin_trap();
  }
  platform::RemoveFile(target);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = platform::TempFolder() + "/fuzz-unzip-member-" + std::to_string(getpid());
  static const std::string archive = folder + ".zip";
  static const bool made = platform::CreateFolder(folder) || platform::FolderExists(folder);
  static const int cleanup = std::atexit([] {
    platform::RemoveFile(folder + "/out.bin");
    platform::RemoveFolder(folder);
    platform::RemoveFile(archive);
  });
  (void)cleanup;
  if (!made || !platform::WriteWholeFile(archive, std::string(reinterpret_cast<const char*>(data), size))) return 0;
  const std::string target = folder + "/out.bin";
  Check(archive.c_str(), target, 0);
  ZipMemberInfo info;
  int members = 0;
  for (int32_t rc = FirstMember(archive.c_str(), &info); rc == 0 && members < 16; rc = NextMember(&info), ++members) {
    Check(archive.c_str(), target, info.localHeaderOffset);
  }
  EndMemberWalk(&info);
  return 0;
}
