#include "platform/drive_roots.h"

#include <windows.h>

namespace platform {

std::vector<std::string> FixedDriveRoots() {
  std::vector<std::string> roots;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = std::string(1, letter) + ":\\";
    UINT type = GetDriveTypeA(root.c_str());
    if (type == DRIVE_FIXED || type == DRIVE_UNKNOWN) roots.push_back(root);
  }
  return roots;
}

}  // namespace platform
