#include "platform/message_box.h"

#include <windows.h>

namespace platform {

namespace {
MessageObserver& Observer() {
  static MessageObserver observer;
  return observer;
}
}  // namespace

void SetMessageObserver(MessageObserver observer) { Observer() = std::move(observer); }

void ShowDesktopMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  if (Observer()) {
    Observer()(text, caption, icon);
    return;
  }
  UINT style = MB_OK;
  switch (icon) {
    case MessageIcon::Stop: style |= MB_ICONSTOP; break;
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
  }
  MessageBoxA(GetDesktopWindow(), text.c_str(), caption.c_str(), style);
}

}  // namespace platform
