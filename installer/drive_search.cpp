#include "installer/drive_search.h"

#include <deque>

#include "installer/ansi_text.h"
#include "platform/folder_text.h"
#include "platform/drive_roots.h"

namespace installer {

std::string FindFileOnFixedDrives(const std::string& fileName, const std::vector<std::string>& roots,
                                  const FolderLister& listFolder) {
  // Only the folders still to visit are held: the current one at the front, directly behind
  // it its unvisited sub-folders, then those of its parents.
  std::deque<std::string> queue(roots.begin(), roots.end());
  std::vector<platform::FolderEntry> entries;
  while (!queue.empty()) {
    std::string folder = queue.front();
    if (listFolder(folder, entries)) {
      for (const platform::FolderEntry& entry : entries) {
        if (entry.attributes.folder) {
          if (entry.attributes.link || entry.name == "." || entry.name == "..") continue;
          queue.insert(queue.begin() + 1, folder + entry.name + platform::kPathSeparator);
        } else if (EqualsIgnoreAsciiCase(entry.name, fileName)) {
          return folder;
        }
      }
    }
    queue.pop_front();
  }
  return std::string();
}

std::string FindFileOnFixedDrives(const std::string& fileName) {
  std::vector<std::string> roots = platform::FixedDriveRoots();
  for (std::string& root : roots) root = platform::AddTrailingBackslash(root);
  return FindFileOnFixedDrives(fileName, roots, platform::ListFolder);
}

}  // namespace installer
