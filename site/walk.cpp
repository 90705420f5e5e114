#include "site/walk.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/files.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenda::site {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasExtension(const std::string& name, const std::vector<std::string>& extensions) {
  for (const std::string& ext : extensions) {
    if (name.size() <= ext.size()) continue;
    if (std::equal(ext.begin(), ext.end(), name.end() - static_cast<long>(ext.size()),
                   [](char a, char b) { return a == Lower(b); })) {
      return true;
    }
  }
  return false;
}

std::string BaseName(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && platform::IsPathSeparator(path[end - 1])) --end;
  size_t start = end;
  while (start > 0 && !platform::IsPathSeparator(path[start - 1]) && path[start - 1] != ':') --start;
  return path.substr(start, end - start);
}

struct Walker {
  const WalkSettings& settings;
  std::vector<std::string>& problems;
  std::set<std::string> seen;  // keys of the files listed so far
  std::vector<SiteFile> files;

  void AddFile(const std::string& path, const std::string& relative) {
    std::string canonical = CanonicalPath(path);
    if (canonical.empty()) {
      problems.push_back("cannot read '" + path + "': " + std::strerror(ENOENT));
      return;
    }
    if (seen.insert(PathKey(canonical)).second) files.push_back({path, canonical, relative});
  }

  void WalkFolder(const std::string& folder, const std::string& relative) {
    if (!settings.skipFolder.empty() && PathKey(CanonicalPath(folder)) == PathKey(settings.skipFolder)) return;
    std::vector<platform::FolderEntry> entries;
    if (!platform::ListFolder(folder, entries)) {
      problems.push_back("cannot list '" + folder + "'");
      return;
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const platform::FolderEntry& entry : entries) {
      const std::string path = JoinPath(folder, entry.name);
      const std::string below = relative.empty() ? entry.name : JoinPath(relative, entry.name);
      if (entry.attributes.folder) {
        if (!entry.attributes.link) WalkFolder(path, below);
      } else if (HasExtension(entry.name, settings.extensions)) {
        AddFile(path, below);
      }
    }
  }
};

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (platform::IsPathSeparator(folder.back())) return folder + name;
  return folder + platform::kPathSeparator + name;
}

std::string PathKey(const std::string& canonical) {
#ifdef _WIN32
  std::string key = canonical;
  for (char& c : key) c = Lower(c);  // names that differ only in case name one file on Windows
  return key;
#else
  return canonical;
#endif
}

std::string CanonicalPath(const std::string& path) {
#ifdef _WIN32
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  char buffer[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (n == 0 || n >= sizeof buffer) return {};
  std::string result(buffer, n);
  for (char& c : result) c = c == '/' ? '\\' : c;
  return result;
#else
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string result(resolved);
  std::free(resolved);
  return result;
#endif
}

std::vector<SiteFile> WalkInputs(const std::vector<std::string>& inputs, const WalkSettings& settings,
                                 std::vector<std::string>& problems) {
  Walker walker{settings, problems, {}, {}};
  for (const std::string& input : inputs) {
    platform::FileAttributes attributes;
    if (!platform::GetAttributes(input, attributes)) {
      problems.push_back("cannot read '" + input + "': " + std::strerror(ENOENT));
      continue;
    }
    const size_t first = walker.files.size();
    if (attributes.folder) {
      // A folder named on the command line is walked even when it is a link.
      walker.WalkFolder(input, "");
    } else {
      walker.AddFile(input, BaseName(input));
    }
    std::sort(walker.files.begin() + static_cast<long>(first), walker.files.end(),
              [](const SiteFile& a, const SiteFile& b) { return a.relative < b.relative; });
  }
  return std::move(walker.files);
}

}  // namespace quenda::site
