// The search of all fixed drives for a program file, depth-first: drives in the order given,
// a folder's files before any of its sub-folders, sub-folders in the reverse of their listing
// order; the first match wins.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace installer {

// Lists a folder (given with its trailing separator); false when it cannot be listed.
using FolderLister = std::function<bool(const std::string& folder, std::vector<platform::FolderEntry>& entries)>;

// The folder (ending in the separator) of the first file named fileName, compared without
// the case of ASCII letters, or the empty text. Each root must end in the separator.
// Folders that are links or junctions are not entered, so the search always ends.
std::string FindFileOnFixedDrives(const std::string& fileName, const std::vector<std::string>& roots,
                                  const FolderLister& listFolder);

// The same over the system's fixed drives (platform::FixedDriveRoots) and folder listing.
std::string FindFileOnFixedDrives(const std::string& fileName);

}  // namespace installer
