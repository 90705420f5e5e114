#include "authoring/member_check.h"

#include <algorithm>

#include "installer/ansi_text.h"
#include "installer/sfx.h"
#include "installer/unzip/member_name.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"

namespace authoring {

namespace {

std::string Reason(int32_t code, uint16_t method) {
  switch (code) {
    case kZipCrcMismatch: return "its data does not match its CRC-32 (damaged)";
    case kZipCannotWrite: return "it cannot be written (not a valid file name?)";
    case kZipInputEnded: return "its data ends early or cannot be read";
    case kZipCorrupt: return "its local header is missing or its data is corrupt";
    case kZipUnsupported:
      return "compression method " + std::to_string(method) + (method == 1 ? " with sizes after the data" : "") +
             " is not supported (use stored or deflated)";
    case kZipEncrypted: return "it is encrypted";
    case kZipCannotOpen: return "the archive cannot be opened";
    default: return "the ZIP reader gives result " + std::to_string(code);
  }
}

std::string NativeName(const std::string& name) {
  std::string native = name;
  for (char& c : native) {
    if (c == '/' || c == '\\') c = platform::kPathSeparator;
  }
  return native;
}

}  // namespace

std::string MemberNameProblem(const std::string& name) {
  std::string native = NativeName(name);
  if (native.size() > kMaxMemberName) {
    return "its name is too long (" + std::to_string(native.size()) + " characters, at most " +
           std::to_string(kMaxMemberName) + ")";
  }
  if (kudu::IsUnsafeMemberName(native)) return "its name is absolute, has a drive or \":\", or a \"..\" element";
  return "";
}

std::string MarkerProblem(const std::string& name) {
  std::string lowered = name;
  for (char& c : lowered) c = installer::LowerAnsi(c == '/' ? '\\' : c);
  for (const char* marker : {"$win\\", "$sys\\"}) {
    size_t at = lowered.find(marker);
    if (at != std::string::npos && at != 0) {
      return std::string("the installer would send it to the ") + (marker[1] == 'w' ? "Windows" : "system") +
             " folder: \"" + std::string(marker, 4) + "\" works only as a top folder";
    }
  }
  return "";
}

bool ArchiveCheck::Ok() const {
  return problem.empty() &&
         std::all_of(members.begin(), members.end(), [](const MemberResult& m) { return m.problem.empty(); });
}

ArchiveCheck CheckArchive(const std::string& archivePath) {
  ArchiveCheck check;
  if (!IsZipArchive(archivePath.c_str(), nullptr)) {
    check.problem = "it is not a ZIP archive";
    return check;
  }
  ScratchFolder scratch;
  if (scratch.path().empty()) {
    check.problem = "no temporary folder for the test extraction";
    return check;
  }
  ZipMemberInfo info;
  int32_t code = FirstMember(archivePath.c_str(), &info);
  if (code == kZipNoRoomForEntries) {
    check.problem = "it holds no members";
    return check;
  }
  if (code != kZipOk) {
    check.problem = "its directory cannot be read (result " + std::to_string(code) + ")";
    return check;
  }
  for (int index = 0; code == kZipOk; code = NextMember(&info), ++index) {
    MemberResult member{info.name, MemberNameProblem(info.name), info.method,
                        static_cast<uint32_t>(info.uncompressedSize)};
    if (member.problem.empty()) {
      // Test names of our own: the member's name was checked above, and this way no name can
      // reach outside the scratch folder.
      std::string name = NativeName(info.name);
      bool folder = !name.empty() && name.back() == platform::kPathSeparator;
      std::string target = scratch.path() + (folder ? "d" : "m") + std::to_string(index);
      if (folder) target += platform::kPathSeparator;
      int32_t result = UnzipMember(archivePath.c_str(), target.c_str(), info.localHeaderOffset, 0, 0);
      if (result < 0) member.problem = Reason(result, info.method);
      if (!folder) platform::RemoveFile(target);
    }
    check.members.push_back(std::move(member));
  }
  EndMemberWalk(&info);
  return check;
}

std::string MethodName(uint16_t method) {
  switch (method) {
    case 0: return "stored";
    case 1: return "shrunk";
    case 6: return "imploded";
    case 8: return "deflated";
    default: return "method " + std::to_string(method);
  }
}

ScratchFolder::ScratchFolder() {
  installer::UnpackFolderOptions options;
  std::string temp = platform::TempFolder();
  options.tempFolder = temp.empty() ? platform::CurrentFolder() : temp;
  path_ = installer::MakeUnpackFolder(options);
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) platform::RemoveTree(path_);
}

}  // namespace authoring
