// The extraction step: every member of the unpacked "install.zip" is written into the
// plug-in folder, members whose names carry "$win\" or "$sys\" into the Windows or the system
// folder; each outcome becomes a row of the wizard's list.
#pragma once

#include <string>

#include "installer/unzip/extraction_list.h"

namespace installer {

// Where the "$win\" and "$sys\" markers lead, each ending in the separator.
struct TargetFolders {
  std::string windowsFolder;
  std::string systemFolder;
};

// The system's Windows folder and system folder with a trailing separator (empty when the
// system reports none).
std::string WindowsFolder();
std::string SystemFolder();
TargetFolders SystemTargetFolders();

// The path with everything up to and including a "$win\" marker (found anywhere, without
// case) replaced by the Windows folder; then the same for "$sys\" and the system folder.
std::string MapTargetPath(const std::string& path, const TargetFolders& folders);
std::string MapTargetPath(const std::string& path);

// Extracts every member of archive below pluginFolder (which ends in the separator) and adds
// one row per member to list. True when the archive could be walked and no member failed;
// an archive that is none, or whose walk does not start, gives false and no row.
bool ExtractArchiveFile(const std::string& archive, const std::string& pluginFolder, const TargetFolders& folders,
                        ExtractionList& list);
// The wizard's step: unpackFolder + "install.zip" with the system's folders.
bool ExtractArchive(const std::string& unpackFolder, const std::string& pluginFolder, ExtractionList& list);

}  // namespace installer
