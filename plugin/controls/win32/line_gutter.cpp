#include "plugin/controls/win32/line_gutter.h"

#include <richedit.h>

#include <string>

#include "plugin/controls/win32/window_class.h"

namespace quenda::controls {

namespace {

constexpr COLORREF kSilver = RGB(192, 192, 192);

}  // namespace

LineGutter::~LineGutter() {
  if (font_) DeleteObject(font_);
}

HWND LineGutter::Create(HWND parent, int id, const RECT& bounds, HWND memo) {
  EnsureWindowClass(kLineGutterClass, WindowProc);
  memo_ = memo;
  window_ = CreateWindowExW(0, kLineGutterClass, L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
  if (!window_) return nullptr;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  HDC screen = GetDC(nullptr);
  font_ = CreateFontW(-MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      FIXED_PITCH | FF_MODERN, L"Courier New");
  ReleaseDC(nullptr, screen);
  return window_;
}

void LineGutter::Refresh() {
  if (!window_) return;
  InvalidateRect(window_, nullptr, TRUE);
  UpdateWindow(window_);
}

// Each visible line's number is drawn at the height where the memo draws that line, so
// the numbers stay level with the text whatever the scroll position.
void LineGutter::Paint(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  HBRUSH silver = CreateSolidBrush(kSilver);
  FillRect(dc, &client, silver);
  DeleteObject(silver);
  if (!memo_) return;
  RECT memoClient;
  GetClientRect(memo_, &memoClient);
  POINT offset{0, 0};
  MapWindowPoints(memo_, window_, &offset, 1);
  HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  LRESULT count = SendMessageW(memo_, EM_GETLINECOUNT, 0, 0);
  LRESULT line = SendMessageW(memo_, EM_GETFIRSTVISIBLELINE, 0, 0);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  for (; line < count; ++line) {
    LRESULT index = SendMessageW(memo_, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (index < 0) break;
    POINTL at{};
    SendMessageW(memo_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), index);
    if (at.y > memoClient.bottom) break;
    int top = static_cast<int>(at.y) + offset.y;
    std::wstring number = std::to_wstring(line + 1);
    RECT cell{client.left, top, client.right - 4, top + metrics.tmHeight};
    DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &cell, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK LineGutter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* gutter = reinterpret_cast<LineGutter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (gutter) gutter->Paint(dc);
      EndPaint(window, &ps);
      return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace quenda::controls
