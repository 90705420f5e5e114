#include "plugin/win32/page_panel.h"

#include "plugin/controls/win32/window_class.h"

namespace quenda {

namespace {

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(panel), message, wParam, lParam);
    // A control may ask its parent to close (a rich edit does so on Escape in a dialog). The
    // default handling would destroy the page with its controls; the window decides instead.
    case WM_CLOSE: return SendMessageW(GetAncestor(panel, GA_ROOT), WM_CLOSE, 0, 0);
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(panel, &area);
      HDC dc = reinterpret_cast<HDC>(wParam);
      HBRUSH border = CreateSolidBrush(kBorderColor);
      HBRUSH fill = CreateSolidBrush(kPanelColor);
      FillRect(dc, &area, border);
      InflateRect(&area, -1, -1);
      FillRect(dc, &area, fill);
      DeleteObject(border);
      DeleteObject(fill);
      return 1;
    }
    default: return DefWindowProcW(panel, message, wParam, lParam);
  }
}

}  // namespace

HWND CreatePagePanel(HWND window, int id, const RECT& bounds) {
  controls::EnsureWindowClass(kPagePanelClass, PanelProc);
  return CreateWindowExW(WS_EX_CONTROLPARENT, kPagePanelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), controls::ModuleInstance(), nullptr);
}

}  // namespace quenda
