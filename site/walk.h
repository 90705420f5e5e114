// Which documents a run over a whole site converts: the files named on the command line and
// those found below the folders named there.
#pragma once

#include <string>
#include <vector>

namespace quenda::site {

struct SiteFile {
  std::string path;       // as found: the input joined with the names below it
  std::string canonical;  // absolute, links resolved: where the bytes live
  std::string relative;   // below its input folder (the file's own name for a named file)
};

struct WalkSettings {
  std::vector<std::string> extensions;  // lower case, with the dot
  std::string skipFolder;               // canonical path of a folder never walked; may be empty
};

// Walks the inputs in the order given; each folder recursively, in path order, for files
// whose names end in one of the extensions (any case). Links to folders are not followed; a
// file reached twice is listed once. What cannot be walked is named in `problems`, one line
// each, and the walk goes on.
std::vector<SiteFile> WalkInputs(const std::vector<std::string>& inputs, const WalkSettings& settings,
                                 std::vector<std::string>& problems);

// The absolute path with links resolved, or empty when the entry does not exist.
std::string CanonicalPath(const std::string& path);

// What tells two canonical paths apart: on Windows, case does not.
std::string PathKey(const std::string& canonical);

// Joins a folder and a name with this platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace quenda::site
