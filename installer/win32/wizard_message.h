// The wizard's message boxes: the system's message box with fixed German titles, and for the
// confirmation the buttons "&Ja" (default) and "&Nein", which Escape answers too.
#pragma once

#include <windows.h>

#include <string>

#include "installer/wizard_controller.h"

namespace installer {

// True for "OK" and "&Ja".
bool ShowWizardMessage(HWND owner, MessageKind kind, const std::string& text);

}  // namespace installer
