// Reading and safely writing whole documents: a result goes to a temporary file beside its
// target and is renamed over it, so a failure never leaves a truncated or damaged file.
#pragma once

#include <string>

namespace quenda::site {

// Reads a whole file into `text` (its old capacity reused). On failure `reason` says why.
bool ReadDocument(const std::string& path, std::string& text, std::string& reason);

// Writes `text` to `path` through a temporary file in the same folder. With `keepModeOf`, the
// new file gets that file's permissions. On failure nothing is left behind and `reason` says
// why.
bool WriteReplacing(const std::string& path, const std::string& text, const std::string* keepModeOf,
                    std::string& reason);

// True when the file may not be written: no owner write bit on POSIX, the read-only
// attribute on Windows.
bool IsReadOnly(const std::string& path);

// Creates a folder and the folders above it that are missing.
bool CreateFolders(const std::string& folder, std::string& reason);

// The folder part of a path (empty when it has none).
std::string FolderOf(const std::string& path);

}  // namespace quenda::site
