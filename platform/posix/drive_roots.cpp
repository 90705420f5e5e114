#include "platform/drive_roots.h"

#include <cstdlib>

namespace platform {

std::vector<std::string> FixedDriveRoots() {
  const char* list = std::getenv("QUENDA_DRIVE_ROOTS");
  if (!list) return {"/"};
  std::vector<std::string> roots;
  std::string text = list;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(':', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) roots.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return roots;
}

}  // namespace platform
