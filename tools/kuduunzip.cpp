// kuduunzip: lists, tests or extracts a ZIP archive with the installer's own ZIP reader.
//
//   kuduunzip -l ARCHIVE          one line per member: method, compressed and uncompressed
//                                 size, name (tab-separated)
//   kuduunzip -t ARCHIVE          extracts every member into a temporary folder, removes it
//   kuduunzip -d DIR ARCHIVE      extracts every member below DIR
//
// -t and -d print one line per member: the reader's result code, a tab, the member name.
// Names that would land outside the folder (absolute, with a drive, or with a ".." element)
// are not written and give -2. Esc held down (Windows) or Ctrl+C cancels the member being
// extracted (-5) and stops. Exit status: 0 when every member gave 0, 1 otherwise, 2 for
// usage errors.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "installer/unzip/member_name.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"
#include "platform/progress.h"

namespace {

constexpr int32_t kCancelKey = 0x1B;  // the Escape key

void OnInterrupt(int) { platform::SetKeyHeld(kCancelKey, true); }

int Usage() {
  std::fputs(
      "usage: kuduunzip -l ARCHIVE\n"
      "       kuduunzip -t ARCHIVE\n"
      "       kuduunzip -d DIR ARCHIVE\n",
      stderr);
  return 2;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += platform::kPathSeparator;
  return folder;
}

int List(const char* archive) {
  ZipMemberInfo info;
  int32_t rc = FirstMember(archive, &info);
  if (rc != 0) {
    std::fprintf(stderr, "kuduunzip: %s: no member directory (%d)\n", archive, static_cast<int>(rc));
    return 1;
  }
  for (; rc == 0; rc = NextMember(&info)) {
    std::printf("%u\t%lu\t%lu\t%s\n", static_cast<unsigned>(info.method),
                static_cast<unsigned long>(static_cast<uint32_t>(info.compressedSize)),
                static_cast<unsigned long>(static_cast<uint32_t>(info.uncompressedSize)), info.name);
  }
  EndMemberWalk(&info);
  return 0;
}

int Extract(const char* archive, const std::string& folder) {
  ZipMemberInfo info;
  int32_t rc = FirstMember(archive, &info);
  if (rc != 0) {
    std::fprintf(stderr, "kuduunzip: %s: no member directory (%d)\n", archive, static_cast<int>(rc));
    return 1;
  }
  std::signal(SIGINT, OnInterrupt);
  bool allOk = true;
  for (; rc == 0; rc = NextMember(&info)) {
    int32_t code = kZipCannotWrite;
    if (!kudu::IsUnsafeMemberName(info.name)) {
      std::string target = folder + info.name;
      code = UnzipMember(archive, target.c_str(), info.localHeaderOffset, 0, kCancelKey);
    }
    std::printf("%d\t%s\n", static_cast<int>(code), info.name);
    std::fflush(stdout);
    if (code != 0) allOk = false;
    if (code == kZipCancelled) break;
  }
  EndMemberWalk(&info);
  return allOk ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "-l") == 0) return List(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "-t") == 0) {
    std::string temp = WithSeparator(platform::TempFolder()) + "kuduunzip-test-" + std::to_string(platform::TickCount());
    if (!platform::CreateFolder(temp)) {
      std::fprintf(stderr, "kuduunzip: cannot create %s\n", temp.c_str());
      return 1;
    }
    int status = Extract(argv[2], WithSeparator(temp));
    platform::RemoveTree(temp);
    return status;
  }
  if (argc == 4 && std::strcmp(argv[1], "-d") == 0) {
    std::string folder = argv[2];
    if (!platform::FolderExists(folder)) platform::CreateFolder(folder);
    return Extract(argv[3], WithSeparator(folder));
  }
  return Usage();
}
