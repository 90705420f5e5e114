#include "platform/message_box.h"

#include <cstdio>

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
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  (void)icon;
}

}  // namespace platform
