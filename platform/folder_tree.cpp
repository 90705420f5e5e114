// Removing a folder with everything below it, on the file services of this layer.
#include "platform/files.h"

namespace platform {

bool RemoveTree(const std::string& folder) {
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += kPathSeparator;
  std::vector<FolderEntry> entries;
  if (ListFolder(folder, entries)) {
    for (const FolderEntry& entry : entries) {
      const std::string path = prefix + entry.name;
      if (entry.attributes.folder && !entry.attributes.link) {
        RemoveTree(path);
        continue;
      }
      // A link goes itself, never what it points to; a link to a folder is a folder to Windows.
      if (entry.attributes.readOnly) SetReadOnly(path, false);
      if (!RemoveFile(path)) RemoveFolder(path);
    }
  }
  return RemoveFolder(folder);
}

}  // namespace platform
