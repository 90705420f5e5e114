// The wizard window: draws WizardController's state and forwards its events to it.
#pragma once

#include <windows.h>

#include <string>

#include "installer/wizard_controller.h"

namespace installer {

class Tinfodialog;

class Tmaindialog final : public WizardHost {
 public:
  explicit Tmaindialog(InstallSteps& steps);
  ~Tmaindialog() override;
  Tmaindialog(const Tmaindialog&) = delete;
  Tmaindialog& operator=(const Tmaindialog&) = delete;

  // Creates the window, owned by the application window, and runs the creation step, then
  // shows it on page 0.
  bool Create(HWND application);
  HWND window() const { return window_; }
  HBITMAP zeltLogo() const { return zeltLogo_; }
  void SetAboutBox(Tinfodialog* about) { about_ = about; }

  // WizardHost
  bool ShowMessage(MessageKind kind, const std::string& text) override;
  void StateChanged() override;
  void Repaint(WizardControl control) override;
  void ApplyScriptFont() override;
  void SetBusyCursor(bool busy) override;
  void SetAnimation(bool playing) override;
  void FocusFolderEdit() override;
  void OpenAddress(const std::string& address) override;
  bool BrowseForFolder(const std::string& title, std::string& folder) override;
  void Pause(int milliseconds) override;
  void EndApplication() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND Add(const char* className, int id, DWORD style, int x, int y, int width, int height, int page);
  void OnCommand(int id, int code);
  void OnPaint();
  void extractingfileslbDrawItem(const DRAWITEMSTRUCT& item);
  void SyncFileList();
  void aboutbtnClick();

  WizardController controller_;
  HWND window_ = nullptr;
  Tinfodialog* about_ = nullptr;
  HFONT font_ = nullptr;
  HFONT headingFont_ = nullptr;
  HBITMAP banner_ = nullptr;
  HBITMAP zeltLogo_ = nullptr;
  HBRUSH panelBrush_ = nullptr;
  bool busy_ = false;
  bool syncing_ = false;
  int shownPage_ = -1;
};

}  // namespace installer
