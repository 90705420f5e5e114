// The line numbers beside a memo: Courier New on silver, following the memo's scrolling.
#pragma once

#include <windows.h>

namespace quenda::controls {

inline constexpr wchar_t kLineGutterClass[] = L"QuendaLineGutter";

class LineGutter {
 public:
  LineGutter() = default;
  LineGutter(const LineGutter&) = delete;
  LineGutter& operator=(const LineGutter&) = delete;
  ~LineGutter();

  HWND Create(HWND parent, int id, const RECT& bounds, HWND memo);
  HWND Handle() const { return window_; }
  // Repaints at once; call when the memo's first visible line or its line count changed.
  void Refresh();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);

  HWND window_ = nullptr;
  HWND memo_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace quenda::controls
