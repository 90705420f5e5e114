#include "platform/font_list.h"

namespace platform {

std::vector<std::string> InstalledFontFamilies() { return {}; }

}  // namespace platform
