#include "installer/unzip/extract.h"

#include "installer/folder_text.h"
#include "installer/unzip/unzip.h"
#include "platform/system_folders.h"

namespace installer {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Position of marker in text, compared without case; npos when absent.
size_t FindMarker(const std::string& text, const std::string& marker) {
  std::string lower = text;
  for (char& c : lower) c = LowerAscii(c);
  return lower.find(marker);
}

// Replaces the part up to and including marker by folder. usable turns false when the marker
// is found but there is no such folder on this system.
std::string ReplaceMarker(const std::string& path, const std::string& marker, const std::string& folder,
                          bool& usable) {
  size_t at = FindMarker(path, marker);
  if (at == std::string::npos) return path;
  if (folder.empty()) usable = false;
  return folder + path.substr(at + marker.size());
}

std::string MapTarget(const std::string& path, const TargetFolders& folders, bool& usable) {
  const std::string sep(1, platform::kPathSeparator);
  std::string s = ReplaceMarker(path, "$win" + sep, folders.windowsFolder, usable);
  return ReplaceMarker(s, "$sys" + sep, folders.systemFolder, usable);
}

// The member name as the reader gives it ("\" for "/") in this platform's form.
std::string NativeName(const char* name) {
  std::string native = name;
  for (char& c : native) {
    if (c == '/' || c == '\\') c = platform::kPathSeparator;
  }
  return native;
}

}  // namespace

std::string WindowsFolder() { return AddTrailingBackslash(platform::WindowsFolderPath()); }
std::string SystemFolder() { return AddTrailingBackslash(platform::SystemFolderPath()); }
TargetFolders SystemTargetFolders() { return TargetFolders{WindowsFolder(), SystemFolder()}; }

std::string MapTargetPath(const std::string& path, const TargetFolders& folders) {
  bool usable = true;
  return MapTarget(path, folders, usable);
}

std::string MapTargetPath(const std::string& path) { return MapTargetPath(path, SystemTargetFolders()); }

bool IsUnsafeMemberName(const std::string& name) {
  const char sep = platform::kPathSeparator;
  if (!name.empty() && name[0] == sep) return true;         // absolute, or a network path
  if (name.find(':') != std::string::npos) return true;     // a drive, or a Windows file stream
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find(sep, start);
    if (end == std::string::npos) end = name.size();
    // Windows drops trailing dots and blanks from a path element, so "..." and ". ." lead
    // upwards as well as "..".
    std::string segment = name.substr(start, end - start);
    size_t dots = 0;
    bool onlyDotsAndBlanks = !segment.empty();
    for (char c : segment) {
      if (c == '.') {
        ++dots;
      } else if (c != ' ') {
        onlyDotsAndBlanks = false;
      }
    }
    if (onlyDotsAndBlanks && dots >= 2) return true;
    start = end + 1;
  }
  return false;
}

bool ExtractArchiveFile(const std::string& archive, const std::string& pluginFolder, const TargetFolders& folders,
                        ExtractionList& list) {
  if (!IsZipArchive(archive.c_str(), nullptr)) return false;
  ZipMemberInfo info;
  int32_t code = FirstMember(archive.c_str(), &info);
  // An archive whose directory cannot be walked installs nothing: that is a failure.
  bool ok = code == kZipOk;
  while (code == kZipOk) {
    std::string name = NativeName(info.name);
    bool usable = !IsUnsafeMemberName(name);
    std::string target = MapTarget(pluginFolder + name, folders, usable);
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
