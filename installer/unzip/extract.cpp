#include "installer/unzip/extract.h"

#include "platform/folder_text.h"
#include "installer/unzip/member_name.h"
#include "installer/unzip/unzip.h"
#include "installer/unzip/zip_path.h"
#include "platform/system_folders.h"

namespace installer {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// The part up to and including marker (found anywhere, without case) replaced by folder.
std::string ReplaceMarker(const std::string& path, const std::string& marker, const std::string& folder) {
  std::string lower = path;
  for (char& c : lower) c = LowerAscii(c);
  size_t at = lower.find(marker);
  return at == std::string::npos ? path : folder + path.substr(at + marker.size());
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

// Whether target lies in one of the folders the step writes to. A marker whose folder the
// system does not report leaves a bare relative path, which must not be written.
bool InWritableFolder(const std::string& target, const std::string& pluginFolder, const TargetFolders& folders) {
  return StartsWith(target, pluginFolder) || StartsWith(target, folders.windowsFolder) ||
         StartsWith(target, folders.systemFolder);
}

}  // namespace

std::string WindowsFolder() { return platform::AddTrailingBackslash(platform::WindowsFolderPath()); }
std::string SystemFolder() { return platform::AddTrailingBackslash(platform::SystemFolderPath()); }
TargetFolders SystemTargetFolders() { return TargetFolders{WindowsFolder(), SystemFolder()}; }

std::string MapTargetPath(const std::string& path, const TargetFolders& folders) {
  const std::string sep(1, platform::kPathSeparator);
  std::string s = ReplaceMarker(path, "$win" + sep, folders.windowsFolder);
  return ReplaceMarker(s, "$sys" + sep, folders.systemFolder);
}

std::string MapTargetPath(const std::string& path) { return MapTargetPath(path, SystemTargetFolders()); }

bool ExtractArchiveFile(const std::string& archive, const std::string& pluginFolder, const TargetFolders& folders,
                        ExtractionList& list) {
  if (!IsZipArchive(archive.c_str(), nullptr)) return false;
  ZipMemberInfo info;
  int32_t code = FirstMember(archive.c_str(), &info);
  // An archive whose directory cannot be walked installs nothing: that is a failure.
  bool ok = code == kZipOk;
  while (code == kZipOk) {
    const bool safe = !kudu::IsUnsafeMemberName(info.name);
    std::string target = MapTargetPath(pluginFolder + kudu::NativePath(info.name), folders);
    const bool usable = safe && InWritableFolder(target, pluginFolder, folders);
    int32_t result = usable ? UnzipMember(archive.c_str(), target.c_str(), info.localHeaderOffset, 0, 0) : -1;
    if (result < 0) ok = false;
    list.AddRow(result >= 0, target);
    code = NextMember(&info);
  }
  EndMemberWalk(&info);
  return ok;
}

bool ExtractArchive(const std::string& unpackFolder, const std::string& pluginFolder, ExtractionList& list) {
  if (unpackFolder.empty()) return false;
  return ExtractArchiveFile(unpackFolder + "install.zip", pluginFolder, SystemTargetFolders(), list);
}

}  // namespace installer
