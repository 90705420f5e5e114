// The archive of a plug-in folder: every file below the folder as a member, deflated with
// zlib (stored when that is not smaller), named relative to the folder with "\" between
// folders, dated from the file, in a fixed order so that one folder always gives the same
// bytes. Links, empty folders and names the installer would refuse are reported by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

struct FolderFile {
  std::string name;  // the member name: Windows-1252, "\" between folders
  std::string path;  // the file on this system
};

struct FolderProblem {
  std::string name;  // relative to the folder, as the system spells it
  std::string message;
  bool refusal = true;  // false: a warning
};

struct FolderListing {
  std::vector<FolderFile> files;  // sorted by member name
  std::vector<FolderProblem> problems;
};

// Lists the files below folder; never follows a link.
FolderListing ListFolderFiles(const std::string& folder);

struct ArchiveMember {
  std::string name;
  std::string data;
  uint32_t dosDateTime = 0;
};

// A ZIP archive of the members in the given order, each deflated or stored, whichever is
// smaller. The end record announces a comment of commentSize bytes that the caller appends.
// Empty on an archive too large for the format (more than 65535 members, 4 GiB).
std::string WriteZipArchive(const std::vector<ArchiveMember>& members, uint16_t commentSize);

// Reads the listed files and writes their archive; false with a message when a file cannot
// be read or the archive would be too large.
bool BuildFolderArchive(const FolderListing& listing, uint16_t commentSize, std::string& archive, std::string& error);

}  // namespace authoring
