// The about box: draws InfoController's state; created once at start-up, shown modally by
// the wizard's about button as often as the user likes, so a visited link stays navy.
#pragma once

#include <windows.h>

#include "installer/info_controller.h"

namespace installer {

class Tinfodialog final : public InfoHost {
 public:
  Tinfodialog() : controller_(*this) {}
  ~Tinfodialog() override;
  Tinfodialog(const Tinfodialog&) = delete;
  Tinfodialog& operator=(const Tinfodialog&) = delete;

  // Creates the hidden window, owned by the wizard (so it has no task bar button of its own),
  // and runs its set-up; zeltLogo is the wizard's picture, copied.
  bool Create(HWND owner, const InstallScript& script, HBITMAP zeltLogo);
  // Shows the box with owner disabled and returns when it has been closed.
  void ShowModal(HWND owner);

  // InfoHost
  void ApplyScriptFont() override;
  void RepaintLink(InfoLinkId id) override;
  void OpenAddress(const std::string& address) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Add(const char* className, int id, DWORD style, int x, int y, int width, int height, const char* text);
  void CreateControls();
  void SizeLinks();
  int LinkOf(HWND control) const;

  InfoController controller_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr, boldFont_ = nullptr, linkFont_ = nullptr, smallFont_ = nullptr, smallLinkFont_ = nullptr;
  HBITMAP zeltLogo_ = nullptr;
  HBRUSH panelBrush_ = nullptr;
  bool shown_ = false;
};

}  // namespace installer
