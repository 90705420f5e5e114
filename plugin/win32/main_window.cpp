#include "plugin/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "plugin/controls/win32/help_view.h"
#include "plugin/controls/win32/wide_text.h"
#include "plugin/controls/win32/window_class.h"
#include "plugin/help_text.h"
#include "plugin/win32/main_ids.h"
#include "plugin/win32/page_panel.h"
#include "plugin/win32/pictures.h"

namespace quenda {

namespace {

using controls::Narrow;
using controls::Wide;

constexpr int kClientWidth = 425;
constexpr int kClientHeight = 363;
constexpr int kStripTop = 338;  // the bottom strip with the maker's banner
constexpr COLORREF kStripColor = RGB(245, 245, 245);
constexpr COLORREF kListColor = RGB(235, 235, 235);
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
// The system cursors by number: the IDC_ names are narrow strings in a build without UNICODE.
const LPCWSTR kArrowCursor = MAKEINTRESOURCEW(32512);
const LPCWSTR kWaitCursor = MAKEINTRESOURCEW(32514);
const LPCWSTR kHandCursor = MAKEINTRESOURCEW(32649);
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;  // no system menu, no caption buttons
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

HFONT MakeFont(const wchar_t* face, int points, bool bold, bool underline) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  // The font mapper falls back to the nearest installed face where Verdana is missing.
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// For the end-to-end tests: with QUENDA_FAULT=SpeedButton2Click in the environment the start
// button's handler fails, so the way a failing handler takes can be tried in the real window.
bool FaultWanted(const char* handler) {
  char value[64];
  DWORD length = GetEnvironmentVariableA("QUENDA_FAULT", value, sizeof(value));
  return length > 0 && length < sizeof(value) && lstrcmpA(value, handler) == 0;
}

}  // namespace

THauptform::THauptform(platform::Registry& registry)
    : controller_(*this, registry), caption_(L"Quenda", L" - Plugin") {}

THauptform::~THauptform() {
  if (window_) DestroyWindow(window_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_),
                         static_cast<HGDIOBJ>(linkFont_), static_cast<HGDIOBJ>(panelBrush_),
                         static_cast<HGDIOBJ>(listBrush_), static_cast<HGDIOBJ>(stripBrush_)}) {
    if (object) DeleteObject(object);
  }
}

void THauptform::ReleaseClasses() {
  controls::ReleaseWindowClass(ids::kMainClass);
  controls::ReleaseWindowClass(kPagePanelClass);
  controls::ReleaseWindowClass(controls::kLineGutterClass);
}

void THauptform::Create(HWND owner) {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  if (!controls::EnsureWindowClass(ids::kMainClass, WindowProc, MAKEINTRESOURCEW(32512),
                                   reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
    throw std::runtime_error("window class");
  }
  faultOnConvert_ = FaultWanted("SpeedButton2Click");
  font_ = MakeFont(L"Verdana", 8, false, false);
  boldFont_ = MakeFont(L"Verdana", 8, true, false);
  linkFont_ = MakeFont(L"Verdana", 8, false, true);
  panelBrush_ = CreateSolidBrush(kPanelColor);
  listBrush_ = CreateSolidBrush(kListColor);
  stripBrush_ = CreateSolidBrush(kStripColor);

  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  OptionControls initial = InitialControls();
  window_ = CreateWindowExW(kExStyle, ids::kMainClass, ids::kMainCaption, kStyle, initial.left, initial.top,
                            frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                            controls::ModuleInstance(), this);
  if (!window_) throw std::runtime_error("converter window");
  CreateControls();
}

HWND THauptform::AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                            int width, int height, int id) {
  HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent, Id(id),
                                 controls::ModuleInstance(), nullptr);
  if (!control) throw std::runtime_error("control");
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void THauptform::CreateControls() {
  pageControl_ = AddControl(window_, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS | WS_TABSTOP, 4, 4, kClientWidth - 8, 298,
                            ids::kPageControl);
  const wchar_t* captions[] = {L"Allgemein", L"Ausgabe", L"Hilfe", L"Info"};
  for (int i = 0; i < 4; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(captions[i]);
    SendMessageW(pageControl_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  RECT display;
  GetClientRect(pageControl_, &display);
  TabCtrl_AdjustRect(pageControl_, FALSE, &display);
  MapWindowPoints(pageControl_, window_, reinterpret_cast<POINT*>(&display), 2);
  const int pageIds[] = {ids::kTabSheet1, ids::kTabSheet2, ids::kTabSheet4, ids::kTabSheetInfo};
  for (int i = 0; i < 4; ++i) {
    pages_[i] = CreatePagePanel(window_, pageIds[i], display);
    if (!pages_[i]) throw std::runtime_error("page");
    SetWindowPos(pages_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  RECT area{0, 0, display.right - display.left, display.bottom - display.top};
  CreateGeneralPage(pages_[0], area);
  CreateOutputPage(pages_[1], area);
  CreateHelpPage(pages_[2], area);
  CreateInfoPage(pages_[3], area);

  const int buttonTop = 307, buttonHeight = 26;
  speedButton5_ = AddControl(window_, L"BUTTON", L"Abbrechen", BS_OWNERDRAW | WS_TABSTOP, kClientWidth - 4 - 100,
                             buttonTop, 100, buttonHeight, ids::kSpeedButton5);
  speedButton3_ = AddControl(window_, L"BUTTON", L"\u00DCbernehmen", BS_OWNERDRAW | WS_TABSTOP,
                             kClientWidth - 4 - 100 - 6 - 110, buttonTop, 110, buttonHeight, ids::kSpeedButton3);
  EnableWindow(speedButton3_, FALSE);  // until the first conversion has run
  image2_ = AddControl(window_, L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, 6, kStripTop + 3, 220,
                       kClientHeight - kStripTop - 6, ids::kImage2);
  SelectPage(0);
}

void THauptform::CreateGeneralPage(HWND panel, const RECT& area) {
  const int left = 12, width = area.right - 2 * left;
  HWND heading = AddControl(panel, L"STATIC", L"Einstellungen:", SS_LEFT, left, 10, 200, 16);
  SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
  checkBox1_ = AddControl(panel, L"BUTTON", L"Listeneintr\u00E4ge und Auswahleintr\u00E4ge komplettieren",
                          BS_AUTOCHECKBOX | WS_TABSTOP, left, 30, width, 18, ids::kCheckBox1);
  checkBox2_ = AddControl(panel, L"BUTTON", L"Kompatibil\u00E4t zu nicht XHTML-f\u00E4higen Browsern",
                          BS_AUTOCHECKBOX | WS_TABSTOP, left, 50, width, 18, ids::kCheckBox2);
  AddControl(panel, L"STATIC", L"", SS_ETCHEDHORZ, left, 76, width, 2);
  const int labelWidth = 215, comboLeft = left + labelWidth, comboWidth = width - labelWidth;
  AddControl(panel, L"STATIC", L"Im Dokument verwendete Sprache:", SS_LEFT, left, 89, labelWidth, 16);
  comboBox1_ = AddControl(panel, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, comboLeft, 85,
                          comboWidth, 120, ids::kComboBox1);
  AddControl(panel, L"STATIC", L"Im Dokument verwendeter Zeichensatz:", SS_LEFT, left, 115, labelWidth, 16);
  comboBox2_ = AddControl(panel, WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                          comboLeft, 111, comboWidth, 120, ids::kComboBox2);
  AddControl(panel, L"STATIC", L"Document Type Definition:", SS_LEFT, left, 141, labelWidth, 16);
  comboBox3_ = AddControl(panel, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, comboLeft, 137,
                          comboWidth, 120, ids::kComboBox3);
  for (const wchar_t* item : {L"Deutsch", L"Englisch"}) SendMessageW(comboBox1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  for (const wchar_t* item : {L"iso-8859-1", L"UTF-8"}) SendMessageW(comboBox2_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  for (const wchar_t* item : {L"Transitional", L"Strict", L"Frameset"}) {
    SendMessageW(comboBox3_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  AddControl(panel, L"STATIC", L"", SS_ETCHEDHORZ, left, 170, width, 2);
  speedButton2_ = AddControl(panel, L"BUTTON", L"Konvertierung starten", BS_OWNERDRAW | WS_TABSTOP, left, 180, 180, 28,
                             ids::kSpeedButton2);
  AddControl(panel, L"STATIC", L"", SS_ETCHEDHORZ, left, 216, width, 2);
  label14_ = AddControl(panel, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, left, 226, 230, 30, ids::kLabel14);
  progressBar1_ = AddControl(panel, PROGRESS_CLASSW, L"", 0, left + 240, 230, width - 240, 16, ids::kProgressBar1);
  SendMessageW(progressBar1_, PBM_SETRANGE32, 0, 12);
  SendMessageW(progressBar1_, PBM_SETPOS, 0, 0);
  // The six step buttons stay hidden; each runs one step over the work text.
  for (int step = 0; step < 6; ++step) {
    wchar_t caption[] = L"Schritt 0";
    caption[8] = static_cast<wchar_t>(L'1' + step);
    HWND button = AddControl(panel, L"BUTTON", caption, BS_PUSHBUTTON, 0, 0, 10, 10, ids::kBitBtn1 + step);
    ShowWindow(button, SW_HIDE);
  }
  WriteControls(InitialControls());
}

void THauptform::CreateOutputPage(HWND panel, const RECT& area) {
  const int margin = 6, gutterWidth = 44;
  RECT memo{margin + gutterWidth, margin, area.right - margin, area.bottom - margin};
  if (!plusMemo1_.Create(panel, ids::kPlusMemo1, memo)) throw std::runtime_error("output memo");
  RECT gutter{margin, margin, margin + gutterWidth, area.bottom - margin};
  if (!plusGutter1_.Create(panel, ids::kPlusGutter1, gutter, plusMemo1_.Handle())) throw std::runtime_error("gutter");
  plusMemo1_.SetLinesListener([this] { plusGutter1_.Refresh(); });
}

void THauptform::CreateHelpPage(HWND panel, const RECT& area) {
  RECT view{6, 6, area.right - 6, area.bottom - 6};
  if (!controls::CreateHelpView(panel, ids::kPlusMemo2, view, kHelpText)) throw std::runtime_error("help view");
}

void THauptform::CreateInfoPage(HWND panel, const RECT& area) {
  const int left = 16, textLeft = 84, width = area.right - textLeft - 16;
  image1_ = AddControl(panel, L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, left, 18, 52, 52, ids::kImage1);
  HWND name = AddControl(panel, L"STATIC", L"Quenda 1.0", SS_LEFT, textLeft, 18, width, 16);
  SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
  AddControl(panel, L"STATIC",
             L"Wandelt HTML-4.0-Dokumente Ihres HTML-Editors in XHTML-1.0-Dokumente um.", SS_LEFT, textLeft, 38,
             width, 30);
  label8_ = AddControl(panel, L"STATIC", L"Ein Plug-in nach dem Zelt-Plug-in-Standard", SS_LEFT | SS_NOTIFY, textLeft,
                       76, width, 16, ids::kLabel8);
  SendMessageW(label8_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
  AddControl(panel, L"STATIC", L"", SS_ETCHEDHORZ, left, 110, area.right - 2 * left, 2);
  AddControl(panel, L"STATIC", L"Homepage:", SS_LEFT, left, 124, 70, 16);
  label6_ = AddControl(panel, L"STATIC", L"https://quenda.example.org/", SS_LEFT | SS_NOTIFY, textLeft, 124, width, 16,
                       ids::kLabel6);
  SendMessageW(label6_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
}

void THauptform::SelectPage(int index) {
  TabCtrl_SetCurSel(pageControl_, index);
  for (int i = 0; i < 4; ++i) ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
}

void THauptform::ShowModal() {
  controller_.FormShow();
  // Modal as a dialog is: the caller's windows on this thread take no input meanwhile.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
  std::erase(disabled, window_);
  for (HWND other : disabled) EnableWindow(other, FALSE);

  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(speedButton2_);
  MSG message;
  while (!closing_) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // leave the quit to the host's loop
      break;
    }
    if (HandleWindowKey(message)) continue;
    // The arrow keys move between the controls, as in a dialog. Characters go straight to
    // their control: the window has no mnemonics to look for, and Wine's search for them
    // loops for ever over the nested pages when a button has the focus.
    bool character = message.message == WM_CHAR || message.message == WM_SYSCHAR;
    if (character || !IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (!failed_) {
    try {
      controller_.FormClose();
    } catch (...) {
      failed_ = true;
    }
  }
  for (HWND other : disabled) EnableWindow(other, TRUE);
  ShowWindow(window_, SW_HIDE);
  DestroyWindow(window_);
  window_ = nullptr;
  if (failed_) throw std::runtime_error("converter window failed");
}

OptionControls THauptform::ReadControls() {
  OptionControls controls;
  RECT frame;
  GetWindowRect(window_, &frame);
  controls.left = frame.left;
  controls.top = frame.top;
  controls.checkBox1 = SendMessageW(checkBox1_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  controls.checkBox2 = SendMessageW(checkBox2_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  controls.comboBox1 = static_cast<int>(SendMessageW(comboBox1_, CB_GETCURSEL, 0, 0));
  controls.comboBox2 = controls::WindowText(comboBox2_);
  controls.comboBox3 = static_cast<int>(SendMessageW(comboBox3_, CB_GETCURSEL, 0, 0));
  return controls;
}

void THauptform::WriteControls(const OptionControls& controls) {
  SetWindowPos(window_, nullptr, controls.left, controls.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(checkBox1_, BM_SETCHECK, controls.checkBox1 ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(checkBox2_, BM_SETCHECK, controls.checkBox2 ? BST_CHECKED : BST_UNCHECKED, 0);
  // Selecting by message is no change by the user: the lists send no notification for it.
  SendMessageW(comboBox1_, CB_SETCURSEL, static_cast<WPARAM>(controls.comboBox1), 0);
  languageShown_ = controls.comboBox1;
  SetEncodingText(controls.comboBox2);
  SendMessageW(comboBox3_, CB_SETCURSEL, static_cast<WPARAM>(controls.comboBox3), 0);
}

void THauptform::SetEncodingText(const std::string& text) { SetWindowTextW(comboBox2_, Wide(text).c_str()); }

void THauptform::ShowError(const std::string& message) {
  MessageBoxW(nullptr, Wide(message).c_str(), L"Quenda", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void THauptform::SetBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? kWaitCursor : kArrowCursor));
}

void THauptform::ShowStatus(const std::string& text) {
  SetWindowTextW(label14_, Wide(text).c_str());
  RedrawWindow(label14_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void THauptform::ShowProgress(int position) {
  SendMessageW(progressBar1_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  RedrawWindow(progressBar1_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void THauptform::SetOutputText(const std::string& text) { plusMemo1_.SetText(text); }

std::string THauptform::OutputText() { return plusMemo1_.Text(); }

void THauptform::ShowPage(MainPage page) { SelectPage(static_cast<int>(page)); }

void THauptform::EnableAccept() { EnableWindow(speedButton3_, TRUE); }

// A click may reach the window as a sent message, which the modal loop handles inside
// GetMessage without returning; the posted message lets the loop see that it is to end.
void THauptform::CloseWindow() {
  closing_ = true;
  PostMessageW(window_, WM_NULL, 0, 0);
}

void THauptform::OpenAddress(const std::string& address) {
  ShellExecuteW(window_, nullptr, Wide(address).c_str(), nullptr, nullptr, SW_SHOW);
}

// The control below one of the window's control parents (the window, a page) that holds
// the focus, or null when the focus is not in the window.
HWND THauptform::TabItemOf(HWND focus) const {
  for (HWND control = focus; control && control != window_; control = GetParent(control)) {
    HWND parent = GetParent(control);
    if (parent == window_ || std::find(std::begin(pages_), std::end(pages_), parent) != std::end(pages_)) return control;
  }
  return nullptr;
}

// Keys that mean the same wherever the focus is, decided before any control sees them:
// Escape is "Abbrechen" (an open drop-down list closes first), Alt+F4 closes the window,
// which also cancels; Tab and Shift+Tab move between the controls, but in the output memo
// Tab types a tab and Ctrl+Tab moves on; Enter presses the button that has the focus.
bool THauptform::HandleWindowKey(const MSG& message) {
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) {
    CloseWindow();
    return true;
  }
  if (message.message != WM_KEYDOWN) return false;
  HWND control = TabItemOf(GetFocus());
  switch (message.wParam) {
    case VK_ESCAPE:
      if (IsComboBox(control) && SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) return false;
      controller_.SpeedButton5Click();
      return true;
    case VK_TAB:
      if (control == plusMemo1_.Handle() && !KeyDown(VK_CONTROL)) return false;
      if (HWND next = GetNextDlgTabItem(window_, control, KeyDown(VK_SHIFT))) SetFocus(next);
      return true;
    case VK_RETURN:
      if (control != speedButton2_ && control != speedButton3_ && control != speedButton5_) return false;
      SendMessageW(control, BM_CLICK, 0, 0);
      return true;
    default: return false;
  }
}

// The user's choice of a language, however the list reports it: a list dropped down with the
// mouse may end with another entry chosen and no selection change reported (so under Wine),
// so the choice shown is compared with the one handled whenever the list speaks.
void THauptform::OnLanguageNotification(int code) {
  if (code != CBN_SELCHANGE && code != CBN_CLOSEUP && code != CBN_SELENDOK && code != CBN_SELENDCANCEL) return;
  int shown = static_cast<int>(SendMessageW(comboBox1_, CB_GETCURSEL, 0, 0));
  if (shown == languageShown_ || SendMessageW(comboBox1_, CB_GETDROPPEDSTATE, 0, 0)) return;
  languageShown_ = shown;
  controller_.ComboBox1Change();
}

bool THauptform::IsComboBox(HWND control) const {
  return control == comboBox1_ || control == comboBox2_ || control == comboBox3_;
}

void THauptform::OnCommand(int id, int code) {
  // The buttons are owner-drawn, and such a button reports the second click of a quick pair
  // as a double click; an ordinary push button counts it as a click, and so do these.
  bool speedButton = id == ids::kSpeedButton2 || id == ids::kSpeedButton3 || id == ids::kSpeedButton5;
  if (speedButton && code == BN_DOUBLECLICKED) code = BN_CLICKED;
  switch (id) {
    case IDCANCEL: controller_.SpeedButton5Click(); break;  // Escape, wherever it came from
    case ids::kSpeedButton2:
      if (code != BN_CLICKED) break;
      if (faultOnConvert_) throw std::runtime_error("QUENDA_FAULT");
      controller_.SpeedButton2Click();
      break;
    case ids::kSpeedButton3: if (code == BN_CLICKED) controller_.SpeedButton3Click(); break;
    case ids::kSpeedButton5: if (code == BN_CLICKED) controller_.SpeedButton5Click(); break;
    case ids::kComboBox1: OnLanguageNotification(code); break;
    case ids::kImage2: if (code == STN_CLICKED) controller_.Image2Click(); break;
    case ids::kLabel6: if (code == STN_CLICKED) controller_.Label6Click(); break;
    case ids::kImage1: if (code == STN_CLICKED) controller_.Image1Click(); break;
    case ids::kLabel8: if (code == STN_CLICKED) controller_.Label8Click(); break;
    default:
      if (id >= ids::kBitBtn1 && id < ids::kBitBtn1 + 6 && code == BN_CLICKED) controller_.BitBtnClick(id - ids::kBitBtn1 + 1);
      break;
  }
}

bool THauptform::IsLink(HWND control) const {
  return control && (control == image1_ || control == image2_ || control == label6_ || control == label8_);
}

LRESULT THauptform::OnControlColor(UINT message, HDC dc, HWND control) {
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
    SetBkColor(dc, kListColor);
    return reinterpret_cast<LRESULT>(listBrush_);
  }
  SetBkColor(dc, kPanelColor);
  if (control == label6_ || control == label8_) SetTextColor(dc, kLinkColor);
  return reinterpret_cast<LRESULT>(panelBrush_);
}

void THauptform::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  if (item.CtlID == ids::kImage2) {
    pictures::DrawBanner(dc, area, boldFont_, font_);
    return;
  }
  if (item.CtlID == ids::kImage1) {
    pictures::DrawLogo(dc, area);
    return;
  }
  bool pushed = (item.itemState & ODS_SELECTED) != 0;
  bool enabled = (item.itemState & ODS_DISABLED) == 0;
  pictures::Glyph glyph = pictures::Glyph::convert;
  if (item.CtlID == ids::kSpeedButton2) {
    // The flat start button: the panel's colour with a thin edge.
    FillRect(dc, &area, panelBrush_);
    DrawEdge(dc, &area, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else {
    DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    glyph = item.CtlID == ids::kSpeedButton3 ? pictures::Glyph::accept : pictures::Glyph::cancel;
  }
  int offset = pushed ? 1 : 0;
  int glyphTop = (area.top + area.bottom - 16) / 2 + offset;
  pictures::DrawGlyph(dc, area.left + 8 + offset, glyphTop, glyph, enabled);
  wchar_t text[64];
  GetWindowTextW(item.hwndItem, text, 64);
  RECT label{area.left + 28 + offset, area.top + offset, area.right - 4, area.bottom + offset};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  HGDIOBJ old = SelectObject(dc, font_);
  DrawTextW(dc, text, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = area;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

void THauptform::PaintBottomStrip(HDC dc) {
  RECT strip{0, kStripTop, kClientWidth, kClientHeight};
  FillRect(dc, &strip, stripBrush_);
  RECT line{0, kStripTop, kClientWidth, kStripTop + 1};
  HBRUSH grey = CreateSolidBrush(RGB(190, 190, 190));
  FillRect(dc, &line, grey);
  DeleteObject(grey);
}

LRESULT CALLBACK THauptform::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<THauptform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form || (form->window_ && form->window_ != window)) return DefWindowProcW(window, message, wParam, lParam);
  if (!form->window_) form->window_ = window;
  // No exception may unwind through the system's message dispatch: a failing handler ends
  // the window, and pluginStart reports it to the host as a null result.
  try {
    return form->OnMessage(message, wParam, lParam);
  } catch (...) {
    form->failed_ = true;
    form->CloseWindow();
    return 0;
  }
}

LRESULT THauptform::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT captionResult = caption_.Handle(window_, message, wParam, lParam, handled);
  if (handled) return captionResult;
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == pageControl_ && header->code == TCN_SELCHANGE) SelectPage(TabCtrl_GetCurSel(pageControl_));
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return OnControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, kWaitCursor));
        return TRUE;
      }
      if (IsLink(reinterpret_cast<HWND>(wParam))) {
        SetCursor(LoadCursorW(nullptr, kHandCursor));
        return TRUE;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      PaintBottomStrip(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_CLOSE: CloseWindow(); return 0;  // saving and freeing follow in ShowModal
    default: break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quenda
