// The font families installed on this system.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The names of the installed font families, enumerated for all character sets, each once.
// On POSIX there are no system fonts in this sense and the list is empty.
std::vector<std::string> InstalledFontFamilies();

}  // namespace platform
