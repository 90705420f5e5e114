#include "installer/win32/maindialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <initializer_list>
#include <shlobj.h>

#include <vector>

#include "installer/fontman.h"
#include "installer/win32/artwork.h"
#include "installer/win32/control_ids.h"
#include "installer/win32/infodialog.h"
#include "installer/win32/wizard_message.h"

namespace installer {
namespace {

constexpr int kClientWidth = 413;
constexpr int kClientHeight = 229;
constexpr int kPanelHeight = 197;      // the panel above the button row
constexpr int kPageLeft = 98;          // right of the banner
constexpr int kPageTop = 8;
constexpr int kPageWidth = 309;
constexpr int kButtonTop = 200;
constexpr int kButtonWidth = 78;
constexpr int kButtonHeight = 25;
constexpr int kRowHeight = 13;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // close box only
// Owned by the application window, which carries the task bar button.
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kAllPages = -1;

struct PageControl {
  HWND window;
  int page;
};
// The controls of the hidden-tab page control, with the page each one belongs to.
std::vector<PageControl> pageControls;

HFONT MakeFont(const std::string& family, int points, bool bold) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     family.c_str());
}

HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

void SetText(HWND control, const std::string& text) {
  char current[4096];
  GetWindowTextA(control, current, sizeof current);
  if (text != current) SetWindowTextA(control, text.c_str());
}

}  // namespace

Tmaindialog::Tmaindialog(InstallSteps& steps) : controller_(*this, steps) {}

Tmaindialog::~Tmaindialog() {
  if (window_) DestroyWindow(window_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(headingFont_),
                         static_cast<HGDIOBJ>(banner_), static_cast<HGDIOBJ>(zeltLogo_),
                         static_cast<HGDIOBJ>(panelBrush_)}) {
    if (object) DeleteObject(object);
  }
}

bool Tmaindialog::Create(HWND application) {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_ANIMATE_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ids::kApplicationIcon));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ids::kWizardClass;
  RegisterClassA(&windowClass);

  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExA(kExStyle, ids::kWizardClass, "", kStyle, x, y, width, height, application, nullptr,
                            windowClass.hInstance, this);
  if (!window_) return false;
  HMENU menu = GetSystemMenu(window_, FALSE);
  for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(menu, command, MF_BYCOMMAND);

  font_ = MakeFont("Tahoma", 8, false);
  headingFont_ = MakeFont("Tahoma", 11, true);
  banner_ = artwork::MakeBanner();
  zeltLogo_ = artwork::MakeZeltLogo();
  panelBrush_ = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  CreateControls();
  controller_.FormCreate();
  ShowWindow(window_, SW_SHOW);
  SetFocus(GetDlgItem(window_, ids::kNextButton));
  return true;
}

HWND Tmaindialog::Add(const char* className, int id, DWORD style, int x, int y, int width, int height, int page) {
  HWND control = CreateWindowExA(0, className, "", WS_CHILD | style, x, y, width, height, window_, Id(id),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (page != kAllPages) pageControls.push_back({control, page});
  return control;
}

void Tmaindialog::CreateControls() {
  const int p = kPageLeft, t = kPageTop, w = kPageWidth;
  // Page 0: welcome and the editor choice.
  Add("STATIC", ids::kWelcomeLabel, 0, p, t, w, 38, 0);
  Add("STATIC", ids::kInstallLabel, 0, p, t + 44, w, 28, 0);
  Add("STATIC", ids::kSelectEditorLabel, 0, p, t + 86, w, 14, 0);
  Add("COMBOBOX", ids::kEditorList, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, p, t + 102, w, 160, 0);
  Add("BUTTON", ids::kHomepageButton, WS_TABSTOP | BS_PUSHBUTTON, p + w - 109, t + 130, 109, kButtonHeight, 0);
  Add("STATIC", ids::kZeltImage, SS_OWNERDRAW | SS_NOTIFY, p + w - artwork::kZeltLogoWidth,
      kPanelHeight - 6 - artwork::kZeltLogoHeight, artwork::kZeltLogoWidth, artwork::kZeltLogoHeight, 0);
  // Page 1: the folder search with its animation.
  Add("STATIC", ids::kSearchingFolderLabel, 0, p, t, w, 14, 1);
  HWND animation = Add(ANIMATE_CLASSA, ids::kSearchingFolderAnimation, ACS_CENTER | ACS_TRANSPARENT,
                       p + (w - 80) / 2, t + 60, 80, 50, 1);
  SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(LoadLibraryA("shell32.dll")),
               reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(150)));
  // Page 2: the folder.
  Add("STATIC", ids::kSelectFolderLabel, 0, p, t, w, 14, 2);
  Add("EDIT", ids::kFolderEdit, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, p, t + 18, w, 21, 2);
  Add("BUTTON", ids::kBrowseButton, WS_TABSTOP | BS_PUSHBUTTON, p + w - 101, t + 46, 101, kButtonHeight, 2);
  // Page 3: the extraction list.
  Add("STATIC", ids::kExtractingFilesLabel, 0, p, t, w, 14, 3);
  Add("LISTBOX", ids::kExtractingFilesList,
      WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, p, t + 18, w,
      165, 3);
  // Page 4: the result.
  Add("STATIC", ids::kFinishedLabel, 0, p, t, w, 20, 4);
  Add("STATIC", ids::kCompleteLabel, 0, p, t + 28, w, 143, 4);
  // The button row.
  Add("BUTTON", ids::kAboutButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 8, kButtonTop, kButtonWidth,
      kButtonHeight, kAllPages);
  Add("BUTTON", ids::kNextButton, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 246, kButtonTop, kButtonWidth,
      kButtonHeight, kAllPages);
  Add("BUTTON", ids::kCancelButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 327, kButtonTop, kButtonWidth,
      kButtonHeight, kAllPages);
}

void Tmaindialog::ApplyScriptFont() {
  std::string family = ScriptFontFamily();
  if (font_) DeleteObject(font_);
  if (headingFont_) DeleteObject(headingFont_);
  font_ = MakeFont(family, 8, false);
  headingFont_ = MakeFont(family, 11, true);
  for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(child);
    HFONT font = (id == ids::kWelcomeLabel || id == ids::kFinishedLabel) ? headingFont_ : font_;
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

// Takes the controller's state over; controls change only where their state did.
void Tmaindialog::StateChanged() {
  const WizardState& s = controller_.state();
  syncing_ = true;
  SetText(window_, s.caption);
  auto button = [this](int id, const WizardButton& state) {
    HWND control = GetDlgItem(window_, id);
    SetText(control, state.text);
    EnableWindow(control, state.enabled);
    ShowWindow(control, state.visible ? SW_SHOWNA : SW_HIDE);
  };
  button(ids::kNextButton, s.nextbtn);
  button(ids::kCancelButton, s.cancelbtn);
  button(ids::kAboutButton, s.aboutbtn);
  SetText(GetDlgItem(window_, ids::kHomepageButton), s.homepagebtn.text);
  SetText(GetDlgItem(window_, ids::kWelcomeLabel), s.welcomelbl);
  SetText(GetDlgItem(window_, ids::kInstallLabel), s.installlbl);
  SetText(GetDlgItem(window_, ids::kSelectEditorLabel), s.selecteditorlbl);
  HWND editors = GetDlgItem(window_, ids::kEditorList);
  if (SendMessageA(editors, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(s.editors.size())) {
    SendMessageA(editors, CB_RESETCONTENT, 0, 0);
    for (const std::string& editor : s.editors) SendMessageA(editors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(editor.c_str()));
  }
  SendMessageA(editors, CB_SETCURSEL, static_cast<WPARAM>(s.selectedEditor), 0);
  SetText(GetDlgItem(window_, ids::kSearchingFolderLabel), s.searchingfolderlbl);
  SetText(GetDlgItem(window_, ids::kSelectFolderLabel), s.selectfolderlbl);
  SetText(GetDlgItem(window_, ids::kFolderEdit), s.folderText);
  SetText(GetDlgItem(window_, ids::kBrowseButton), s.browsebtn);
  SetText(GetDlgItem(window_, ids::kExtractingFilesLabel), s.extractingfileslbl);
  SetText(GetDlgItem(window_, ids::kFinishedLabel), s.finishedlbl);
  SetText(GetDlgItem(window_, ids::kCompleteLabel), s.completelbl);
  int page = static_cast<int>(s.page);
  for (const PageControl& control : pageControls) {
    int id = GetDlgCtrlID(control.window);
    bool visible = control.page == page;
    if (id == ids::kHomepageButton) visible = visible && s.homepagebtn.visible;
    if (id == ids::kZeltImage) visible = visible && s.zeltimgVisible;
    ShowWindow(control.window, visible ? SW_SHOWNA : SW_HIDE);
  }
  // A disabled or hidden default button would swallow Enter; the focus moves on with the page.
  if (page != shownPage_) {
    shownPage_ = page;
    HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus)) {
      HWND next = GetDlgItem(window_, s.nextbtn.visible ? ids::kNextButton : ids::kCancelButton);
      SetFocus(next);
    }
  }
  SyncFileList();
  syncing_ = false;
}

void Tmaindialog::SyncFileList() {
  HWND list = GetDlgItem(window_, ids::kExtractingFilesList);
  const std::vector<std::string>& rows = controller_.extractingfileslb().rows();
  if (SendMessageA(list, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(rows.size())) return;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& row : rows) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void Tmaindialog::Repaint(WizardControl control) {
  StateChanged();
  HWND target = window_;
  switch (control) {
    case WizardControl::PageControl:
      target = window_;
      break;
    case WizardControl::NextButton:
      target = GetDlgItem(window_, ids::kNextButton);
      break;
    case WizardControl::CancelButton:
      target = GetDlgItem(window_, ids::kCancelButton);
      break;
    case WizardControl::AboutButton:
      target = GetDlgItem(window_, ids::kAboutButton);
      break;
    case WizardControl::FileList:
      target = GetDlgItem(window_, ids::kExtractingFilesList);
      break;
  }
  RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool Tmaindialog::ShowMessage(MessageKind kind, const std::string& text) {
  return ShowWizardMessage(window_, kind, text);
}

void Tmaindialog::SetBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(busy ? 32514 : 32512)));
}

void Tmaindialog::SetAnimation(bool playing) {
  HWND animation = GetDlgItem(window_, ids::kSearchingFolderAnimation);
  if (playing) {
    SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 29));
  } else {
    SendMessageA(animation, ACM_STOP, 0, 0);
  }
}

void Tmaindialog::FocusFolderEdit() { SetFocus(GetDlgItem(window_, ids::kFolderEdit)); }

void Tmaindialog::OpenAddress(const std::string& address) {
  ShellExecuteA(GetDesktopWindow(), nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Tmaindialog::BrowseForFolder(const std::string& title, std::string& folder) {
  BROWSEINFOA browse{};
  browse.hwndOwner = window_;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return false;
  char path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (ok) folder = path;
  return ok;
}

void Tmaindialog::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void Tmaindialog::EndApplication() { PostQuitMessage(0); }

void Tmaindialog::aboutbtnClick() {
  if (about_) about_->ShowModal(window_);
}

void Tmaindialog::OnCommand(int id, int code) {
  switch (id) {
    case ids::kNextButton:
      if (code == BN_CLICKED) controller_.nextbtnClick();
      break;
    case ids::kCancelButton:
      // Escape arrives here as well; it closes only while the button is enabled.
      if (code == BN_CLICKED && controller_.EscapeCloses()) SendMessageA(window_, WM_CLOSE, 0, 0);
      break;
    case ids::kAboutButton:
      if (code == BN_CLICKED && controller_.state().aboutbtn.enabled) aboutbtnClick();
      break;
    case ids::kHomepageButton:
      if (code == BN_CLICKED) controller_.homepagebtnClick();
      break;
    case ids::kBrowseButton:
      if (code == BN_CLICKED) controller_.browsebtnClick();
      break;
    case ids::kZeltImage:
      if (code == STN_CLICKED) controller_.zeltimgClick();
      break;
    case ids::kEditorList:
      if (code == CBN_SELCHANGE) {
        controller_.editorselectcbChange(
            static_cast<int>(SendMessageA(GetDlgItem(window_, id), CB_GETCURSEL, 0, 0)));
      }
      break;
    case ids::kFolderEdit:
      if (code == EN_CHANGE && !syncing_) {
        char text[4096];
        GetWindowTextA(GetDlgItem(window_, id), text, sizeof text);
        controller_.folderebChange(text);
      }
      break;
    default:
      break;
  }
}

void Tmaindialog::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT panel{0, 0, kClientWidth, kPanelHeight};
  FillRect(dc, &panel, panelBrush_);
  DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
  RECT banner{2, 2, 2 + artwork::kBannerWidth, 2 + artwork::kBannerHeight};
  artwork::DrawBitmap(dc, banner_, banner);
  EndPaint(window_, &paint);
}

// One row: the target path, shortened to leave room for the status word at the right edge.
void Tmaindialog::extractingfileslbDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  const RECT& row = item.rcItem;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HBRUSH fill = selected ? CreateSolidBrush(RGB(kSelectedRowColor.red, kSelectedRowColor.green, kSelectedRowColor.blue))
                         : GetSysColorBrush(COLOR_WINDOW);
  FillRect(dc, &row, fill);
  if (selected) DeleteObject(fill);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  auto width = [dc](const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  const std::vector<std::string>& rows = controller_.extractingfileslb().rows();
  if (item.itemID >= rows.size()) return;
  const std::string& text = rows[item.itemID];
  RECT client;
  GetClientRect(item.hwndItem, &client);
  RowLayout layout = LayoutRow(row.left, row.right, client.right - client.left, width(controller_.fileoktext()),
                               width(controller_.fileerrortext()));
  std::string path = ShortenRowPath(RowTarget(text), layout.pathMaxWidth, width);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  // A file name wider than its column is cut at the column's end rather than drawn over the
  // status word.
  RECT pathArea{layout.pathLeft, row.top, layout.pathLeft + layout.pathMaxWidth, row.bottom};
  ExtTextOutA(dc, layout.pathLeft, row.top, ETO_CLIPPED, &pathArea, path.c_str(), static_cast<UINT>(path.size()),
              nullptr);
  bool extracted = RowExtracted(text);
  RowColor color = extracted ? kExtractedColor : kFailedColor;
  const std::string& word = extracted ? controller_.fileoktext() : controller_.fileerrortext();
  SetTextColor(dc, RGB(color.red, color.green, color.blue));
  TextOutA(dc, layout.statusLeft, row.top, word.c_str(), static_cast<int>(word.size()));
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK Tmaindialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Tmaindialog* self = reinterpret_cast<Tmaindialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Tmaindialog*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT Tmaindialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HWND control = reinterpret_cast<HWND>(lParam);
      RECT area;
      GetWindowRect(control, &area);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
      if (area.top >= kPanelHeight) break;  // the button row keeps the dialog colour
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(panelBrush_);
    }
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
      return TRUE;
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID == static_cast<UINT>(ids::kExtractingFilesList)) {
        extractingfileslbDrawItem(item);
      } else if (item.CtlID == static_cast<UINT>(ids::kZeltImage)) {
        artwork::DrawBitmap(item.hDC, zeltLogo_, item.rcItem);
      }
      return TRUE;
    }
    case WM_SETCURSOR: {
      if (busy_) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
        return TRUE;
      }
      if (reinterpret_cast<HWND>(wParam) == GetDlgItem(window_, ids::kZeltImage)) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
        return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      if (controller_.FormClose()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace installer
