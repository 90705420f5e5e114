#include <windows.h>

#include "platform/message_box.h"

namespace platform {

void ShowSystemMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  UINT style = MB_OK;
  switch (icon) {
    case MessageIcon::Stop: style |= MB_ICONSTOP; break;
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
  }
  MessageBoxA(GetDesktopWindow(), text.c_str(), caption.c_str(), style);
}

}  // namespace platform
