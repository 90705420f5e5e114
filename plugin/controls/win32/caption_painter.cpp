#include "plugin/controls/win32/caption_painter.h"

namespace quenda::controls {

namespace {

constexpr COLORREF kActiveEnd = RGB(0, 64, 128);
constexpr COLORREF kInactiveEnd = RGB(128, 128, 128);
constexpr COLORREF kStart = RGB(0, 0, 0);

void Gradient(HDC dc, const RECT& area, COLORREF from, COLORREF to) {
  TRIVERTEX vertices[2] = {
      {area.left, area.top, static_cast<COLOR16>(GetRValue(from) << 8), static_cast<COLOR16>(GetGValue(from) << 8),
       static_cast<COLOR16>(GetBValue(from) << 8), 0},
      {area.right, area.bottom, static_cast<COLOR16>(GetRValue(to) << 8), static_cast<COLOR16>(GetGValue(to) << 8),
       static_cast<COLOR16>(GetBValue(to) << 8), 0},
  };
  GRADIENT_RECT rect{0, 1};
  GradientFill(dc, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_H);
}

// A desktop that composes the windows itself draws their frames and does not show a caption
// painted by the window, unless the window asks for the classic frame. The call lives in
// dwmapi.dll, which older systems lack: it is looked up when the window is created.
void AskForClassicFrame(HWND window) {
  HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
  if (!dwm) return;
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  auto set = reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
  if (set) {
    const DWORD kNcRenderingPolicy = 2, kPolicyDisabled = 1;  // DWMWA_NCRENDERING_POLICY, DWMNCRP_DISABLED
    set(window, kNcRenderingPolicy, &kPolicyDisabled, sizeof(kPolicyDisabled));
  }
  FreeLibrary(dwm);
}

}  // namespace

CaptionPainter::~CaptionPainter() {
  if (bold_) DeleteObject(bold_);
  if (regular_) DeleteObject(regular_);
}

LRESULT CaptionPainter::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  switch (message) {
    case WM_CREATE: AskForClassicFrame(window); return 0;
    case WM_NCPAINT:
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      Paint(window, active_);
      handled = true;
      return result;
    }
    case WM_NCACTIVATE: {
      // The default handling redraws the frame and a caption of its own; ours goes over it.
      LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      active_ = wParam != FALSE;
      Paint(window, active_);
      handled = true;
      return result;
    }
    default: return 0;
  }
}

void CaptionPainter::Paint(HWND window, bool active) {
  if ((GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return;
  RECT windowRect;
  GetWindowRect(window, &windowRect);
  POINT clientOrigin{0, 0};
  ClientToScreen(window, &clientOrigin);
  int frameX = GetSystemMetrics(SM_CXFIXEDFRAME);
  int frameY = GetSystemMetrics(SM_CYFIXEDFRAME);
  RECT caption{frameX, frameY, windowRect.right - windowRect.left - frameX, clientOrigin.y - windowRect.top};
  if (caption.bottom <= caption.top) return;

  HDC dc = GetWindowDC(window);
  Gradient(dc, caption, kStart, active ? kActiveEnd : kInactiveEnd);
  if (!bold_) {
    int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    bold_ = CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Verdana");
    regular_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Verdana");
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, active ? RGB(255, 255, 255) : RGB(200, 200, 200));
  RECT text = caption;
  text.left += 6;
  HGDIOBJ old = SelectObject(dc, bold_);
  DrawTextW(dc, appName_.c_str(), static_cast<int>(appName_.size()), &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RECT measure{0, 0, 0, 0};
  DrawTextW(dc, appName_.c_str(), static_cast<int>(appName_.size()), &measure,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  text.left += measure.right;
  SelectObject(dc, regular_);
  DrawTextW(dc, rest_.c_str(), static_cast<int>(rest_.size()), &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
}

}  // namespace quenda::controls
