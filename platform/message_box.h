// Modal message boxes owned by the desktop window, with an OK button: what a program shows
// before (or without) a window of its own. Tests and tools can take the messages instead.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class MessageIcon { Stop, Information, Warning };

// Shows the message and returns when the user has closed it. On POSIX it is written to the
// standard error stream.
void ShowDesktopMessage(const std::string& text, const std::string& caption, MessageIcon icon);

// While an observer is set, ShowDesktopMessage hands the message to it and shows nothing.
// An empty function removes the observer.
using MessageObserver = std::function<void(const std::string& text, const std::string& caption, MessageIcon icon)>;
void SetMessageObserver(MessageObserver observer);

}  // namespace platform
