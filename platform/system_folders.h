// The Windows folder and the system folder, as the system reports them (without a trailing
// separator as a rule; empty when the system reports none).
#pragma once

#include <string>

namespace platform {

// POSIX has neither folder: these give the environment variables QUENDA_WINDOWS_FOLDER and
// QUENDA_SYSTEM_FOLDER, or the empty text.
std::string WindowsFolderPath();
std::string SystemFolderPath();

}  // namespace platform
