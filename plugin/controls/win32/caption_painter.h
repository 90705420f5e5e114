// The converter window's caption bar: the application name in bold and the rest of the
// caption in regular type, left-aligned, on a gradient that runs towards RGB(0,64,128) on
// the right while the window is active and towards grey while it is not.
#pragma once

#include <windows.h>

#include <string>

namespace quenda::controls {

class CaptionPainter {
 public:
  CaptionPainter(std::wstring appName, std::wstring rest) : appName_(std::move(appName)), rest_(std::move(rest)) {}
  CaptionPainter(const CaptionPainter&) = delete;
  CaptionPainter& operator=(const CaptionPainter&) = delete;
  ~CaptionPainter();

  // Call from the window procedure for every message; paints over the default caption after
  // the messages that draw it (non-client paint, activation, a new caption text).
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

 private:
  void Paint(HWND window, bool active);
  std::wstring appName_;
  std::wstring rest_;
  HFONT bold_ = nullptr;
  HFONT regular_ = nullptr;
  bool active_ = false;
};

}  // namespace quenda::controls
