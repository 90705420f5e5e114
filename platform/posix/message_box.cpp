#include <cstdio>

#include "platform/message_box.h"

namespace platform {

void ShowSystemMessage(const std::string& text, const std::string& caption, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace platform
