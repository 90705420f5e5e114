// Path handling shared by the walk and the extraction: archives name folders with "/", the
// member record with "\", and the file system with its own separator.
#pragma once

#include <string>

#include "platform/files.h"

namespace kudu {

// The path with both "/" and "\" turned into this platform's separator.
inline std::string NativePath(const char* path) {
  std::string native = path != nullptr ? path : "";
  for (char& c : native) {
    if (c == '/' || c == '\\') c = platform::kPathSeparator;
  }
  return native;
}

// Creates the missing folders on the way to the path's last element, from the root down,
// stopping at the first folder that can neither be found nor created. A path ending in a
// separator names a folder, which is created too.
void CreateFoldersOnPath(const std::string& path);

// Creates the folder and every missing folder above it, starting below the root of its
// absolute path. True when the folder exists afterwards.
bool CreateFolderWithParents(const std::string& folder);

}  // namespace kudu
