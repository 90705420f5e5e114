// THauptform: the converter window. One window, its controls, and a message handler that
// hands each event to MainController at once.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/registry.h"
#include "plugin/controls/win32/caption_painter.h"
#include "plugin/controls/win32/html_memo.h"
#include "plugin/controls/win32/line_gutter.h"
#include "plugin/main_controller.h"

namespace quenda {

class THauptform : public MainView {
 public:
  explicit THauptform(platform::Registry& registry);
  ~THauptform() override;
  THauptform(const THauptform&) = delete;
  THauptform& operator=(const THauptform&) = delete;

  // Creates the window, hidden; throws std::runtime_error when it cannot.
  void Create(HWND owner);
  MainController& Controller() { return controller_; }
  // Loads the settings, shows the window modally (the caller's other windows disabled) and
  // returns when it has been closed, its settings saved and the window destroyed. Rethrows
  // as std::runtime_error when a handler failed.
  void ShowModal();

  // Releases the window classes; call when no window of ours is left.
  static void ReleaseClasses();

  OptionControls ReadControls() override;
  void WriteControls(const OptionControls& controls) override;
  void SetEncodingText(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void SetBusyCursor(bool busy) override;
  void ShowStatus(const std::string& text) override;
  void ShowProgress(int position) override;
  void SetOutputText(const std::string& text) override;
  std::string OutputText() override;
  void ShowPage(MainPage page) override;
  void EnableAccept() override;
  void CloseWindow() override;
  void OpenAddress(const std::string& address) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void CreateGeneralPage(HWND panel, const RECT& area);
  void CreateOutputPage(HWND panel, const RECT& area);
  void CreateHelpPage(HWND panel, const RECT& area);
  void CreateInfoPage(HWND panel, const RECT& area);
  HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, int id = 0);
  HWND TabItemOf(HWND focus) const;
  bool HandleWindowKey(const MSG& message);
  bool IsComboBox(HWND control) const;
  void OnLanguageNotification(int code);
  void OnCommand(int id, int code);
  void SelectPage(int index);
  LRESULT OnControlColor(UINT message, HDC dc, HWND control);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void PaintBottomStrip(HDC dc);
  bool IsLink(HWND control) const;

  MainController controller_;
  controls::CaptionPainter caption_;
  controls::HtmlMemo plusMemo1_;
  controls::LineGutter plusGutter1_;
  HWND window_ = nullptr;
  HWND pageControl_ = nullptr;
  HWND pages_[4] = {};
  HWND checkBox1_ = nullptr, checkBox2_ = nullptr;
  HWND comboBox1_ = nullptr, comboBox2_ = nullptr, comboBox3_ = nullptr;
  HWND label14_ = nullptr, progressBar1_ = nullptr;
  HWND speedButton2_ = nullptr, speedButton3_ = nullptr, speedButton5_ = nullptr;
  HWND image1_ = nullptr, image2_ = nullptr, label6_ = nullptr, label8_ = nullptr;
  HFONT font_ = nullptr, boldFont_ = nullptr, linkFont_ = nullptr;
  HBRUSH panelBrush_ = nullptr, listBrush_ = nullptr, stripBrush_ = nullptr;
  bool busy_ = false;
  bool closing_ = false;
  bool failed_ = false;
  bool faultOnConvert_ = false;
  int languageShown_ = -1;  // the language position the character set was last set for
};

}  // namespace quenda
