// Folder creation for extraction targets. Works on whole prefixes of the path, so the
// process's current folder is never changed.
#include "installer/unzip/zip_path.h"

namespace kudu {
namespace {

constexpr char kSep = platform::kPathSeparator;

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the root part of a path, which is never created: "X:\" or "X:", "\\server\share\",
// a leading separator; 0 for a relative path.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    return path.size() >= 3 && path[2] == kSep ? 3 : 2;
  }
  if (kSep == '\\' && path.size() >= 2 && path[0] == kSep && path[1] == kSep) {
    // A network path: server and share name form the root.
    size_t server = path.find(kSep, 2);
    if (server == std::string::npos) return path.size();
    size_t share = path.find(kSep, server + 1);
    return share == std::string::npos ? path.size() : share + 1;
  }
  return !path.empty() && path[0] == kSep ? 1 : 0;
}

// Creates every missing folder named by a prefix of path that ends before a separator at or
// after `from`; stops at the first that cannot be made.
bool CreatePrefixes(const std::string& path, size_t from) {
  for (size_t i = path.find(kSep, from); i != std::string::npos; i = path.find(kSep, i + 1)) {
    if (i == 0 || path[i - 1] == kSep) continue;  // an empty element
    std::string prefix = path.substr(0, i);
    if (!platform::FolderExists(prefix) && !platform::CreateFolder(prefix)) return false;
  }
  return true;
}

}  // namespace

void CreateFoldersOnPath(const std::string& path) { CreatePrefixes(path, RootLength(path)); }

bool CreateFolderWithParents(const std::string& folder) {
  std::string absolute = folder;
  if (RootLength(absolute) == 0) {
    std::string current = platform::CurrentFolder();
    if (!current.empty() && current.back() != kSep) current += kSep;
    absolute = current + absolute;
  }
  if (absolute.back() != kSep) absolute += kSep;
  CreatePrefixes(absolute, RootLength(absolute));
  return platform::FolderExists(absolute);
}

}  // namespace kudu
