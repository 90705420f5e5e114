// The roots of the drives that a search over "all fixed drives" covers.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Windows: "A:\" to "Z:\" in letter order, for the drives whose type is fixed or unknown
// (removable, remote, CD-ROM and RAM-disk drives and letters without a root are left out).
// POSIX: the folders listed in the environment variable QUENDA_DRIVE_ROOTS (separated by
// ":"), or "/" when it is not set.
std::vector<std::string> FixedDriveRoots();

}  // namespace platform
