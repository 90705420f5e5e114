#include "platform/message_box.h"

namespace platform {

// The system's own box; one implementation per platform.
void ShowSystemMessage(const std::string& text, const std::string& caption, MessageIcon icon);

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
  ShowSystemMessage(text, caption, icon);
}

}  // namespace platform
