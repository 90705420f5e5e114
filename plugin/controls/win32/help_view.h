// The help page's text view: read-only, justified, with a vertical scroll bar, showing text
// written with the inline marks of marked_text.h.
#pragma once

#include <windows.h>

#include <string_view>

namespace quenda::controls {

HWND CreateHelpView(HWND parent, int id, const RECT& bounds, std::string_view markedText);

}  // namespace quenda::controls
