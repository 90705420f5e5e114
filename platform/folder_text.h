// Folder texts passed between the installer's steps end in the path separator ("\" on
// Windows); the empty text means that there is no folder.
#pragma once

#include <string>

#include "platform/files.h"

namespace platform {

// A non-empty text whose last character is not the separator gets one appended; any other
// text, the empty one included, comes back unchanged. Nothing is removed or merged.
inline std::string AddTrailingBackslash(std::string text) {
  if (!text.empty() && text.back() != kPathSeparator) text += kPathSeparator;
  return text;
}

}  // namespace platform
