// The panel each page of the converter window sits on: RGB(215,215,215) inside a
// RGB(0,64,128) border. It hands its children's notifications (commands, colours, owner
// drawing) to the window, so every handler lives in one place.
#pragma once

#include <windows.h>

namespace quenda {

inline constexpr wchar_t kPagePanelClass[] = L"QuendaPagePanel";
inline constexpr COLORREF kPanelColor = RGB(215, 215, 215);
inline constexpr COLORREF kBorderColor = RGB(0, 64, 128);

HWND CreatePagePanel(HWND window, int id, const RECT& bounds);

}  // namespace quenda
