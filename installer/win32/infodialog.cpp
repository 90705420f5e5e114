#include "installer/win32/infodialog.h"

#include <shellapi.h>

#include <initializer_list>

#include "installer/fontman.h"
#include "installer/win32/artwork.h"
#include "installer/win32/control_ids.h"

namespace installer {
namespace {

constexpr int kClientWidth = 321;
constexpr int kClientHeight = 243;
constexpr int kPanelHeight = 205;
constexpr int kLineTop = 115;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
constexpr COLORREF kVisitedColor = RGB(0, 0, 128);
constexpr int kSmallLinkWidth = 53;

// Label IDs without a role of their own.
constexpr int kStaticId = 0xFFFF;

HFONT MakeFont(const std::string& family, int height, bool bold, bool underline) {
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     family.c_str());
}

int PointHeight(int points) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return height;
}

HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The link labels, their place and the "WWW:"/"E-Mail:" label beside each.
struct LinkPlace {
  InfoLinkId id;
  int x, y;
  const char* caption;  // the label before the link, or none
};
constexpr LinkPlace kLinkPlaces[] = {
    {InfoLinkId::InstallerWww, 52, 80, "WWW:"},    {InfoLinkId::InstallerEmail, 52, 96, "E-Mail:"},
    {InfoLinkId::Unzip, kClientWidth - 8 - kSmallLinkWidth, 96, nullptr},
    {InfoLinkId::PluginWww, 52, 176, "WWW:"},      {InfoLinkId::PluginEmail, 52, 192, "E-Mail:"},
};

}  // namespace

Tinfodialog::~Tinfodialog() {
  if (window_) DestroyWindow(window_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_),
                         static_cast<HGDIOBJ>(linkFont_), static_cast<HGDIOBJ>(smallFont_),
                         static_cast<HGDIOBJ>(smallLinkFont_), static_cast<HGDIOBJ>(zeltLogo_),
                         static_cast<HGDIOBJ>(panelBrush_)}) {
    if (object) DeleteObject(object);
  }
}

bool Tinfodialog::Create(HWND owner, const InstallScript& script, HBITMAP zeltLogo) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ids::kInfoClass;
  RegisterClassA(&windowClass);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  window_ = CreateWindowExA(kExStyle, ids::kInfoClass, "", kStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                            (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, owner, nullptr,
                            windowClass.hInstance, this);
  if (!window_) return false;
  HMENU menu = GetSystemMenu(window_, FALSE);
  for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(menu, command, MF_BYCOMMAND);
  panelBrush_ = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  zeltLogo_ = static_cast<HBITMAP>(CopyImage(zeltLogo, IMAGE_BITMAP, 0, 0, 0));
  ApplyScriptFont();
  CreateControls();
  controller_.FormCreate(script);

  const InfoState& s = controller_.state();
  SetWindowTextA(window_, s.caption.c_str());
  SetDlgItemTextA(window_, ids::kOkButton, s.okbtn.c_str());
  SetDlgItemTextA(window_, ids::kInfoParcelon, s.parcelonlbl.c_str());
  SetDlgItemTextA(window_, ids::kInfoPluginName, s.pluginnamelbl.c_str());
  SetDlgItemTextA(window_, ids::kInfoPluginVersion, s.pluginversionlbl.c_str());
  SetDlgItemTextA(window_, ids::kInfoPluginCopyright, s.pluginclbl.c_str());
  for (const LinkPlace& place : kLinkPlaces) {
    const InfoLink& link = s.link(place.id);
    int id = ids::kInfoFirstLink + static_cast<int>(place.id);
    SetDlgItemTextA(window_, id, link.text.c_str());
    ShowWindow(GetDlgItem(window_, id), link.visible ? SW_SHOWNA : SW_HIDE);
    if (place.caption) ShowWindow(GetDlgItem(window_, id + ids::kInfoLinkCaptionOffset), link.visible ? SW_SHOWNA : SW_HIDE);
  }
  ShowWindow(GetDlgItem(window_, ids::kInfoZeltImage), s.zeltimgVisible ? SW_SHOWNA : SW_HIDE);
  SizeLinks();
  return true;
}

void Tinfodialog::ApplyScriptFont() {
  if (font_) return;  // the family is fixed for the run; the fonts are made once
  std::string family = ScriptFontFamily();
  font_ = MakeFont(family, PointHeight(8), false, false);
  boldFont_ = MakeFont(family, PointHeight(8), true, false);
  linkFont_ = MakeFont(family, PointHeight(8), false, true);
  smallFont_ = MakeFont(family, -9, false, false);
  smallLinkFont_ = MakeFont(family, -9, false, true);
}

HWND Tinfodialog::Add(const char* className, int id, DWORD style, int x, int y, int width, int height,
                      const char* text) {
  HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window_,
                                 Id(id), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void Tinfodialog::CreateControls() {
  SendMessageA(Add("STATIC", ids::kInfoParcelon, 0, 12, 8, 250, 14, ""), WM_SETFONT,
               reinterpret_cast<WPARAM>(boldFont_), FALSE);
  Add("STATIC", kStaticId, 0, 12, 24, 200, 14, kInstallerVersionText);
  Add("STATIC", kStaticId, 0, 12, 40, 200, 14, kInstallerBuildText);
  HWND icon = Add("STATIC", kStaticId, SS_ICON, kClientWidth - 12 - 32, 8, 32, 32, "");
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ids::kApplicationIcon))), 0);
  Add("STATIC", kStaticId, 0, 12, 60, 240, 14, kInstallerCopyrightText);
  SendMessageA(Add("STATIC", kStaticId, SS_RIGHT, kClientWidth - 8 - kSmallLinkWidth, 84, kSmallLinkWidth, 11,
                   kUnzipPoweredByText),
               WM_SETFONT, reinterpret_cast<WPARAM>(smallFont_), FALSE);
  SendMessageA(Add("STATIC", ids::kInfoPluginName, 0, 12, 120, 200, 14, ""), WM_SETFONT,
               reinterpret_cast<WPARAM>(boldFont_), FALSE);
  Add("STATIC", ids::kInfoPluginVersion, 0, 12, 136, 200, 14, "");
  Add("STATIC", ids::kInfoPluginCopyright, 0, 12, 156, 290, 14, "");
  for (const LinkPlace& place : kLinkPlaces) {
    int id = ids::kInfoFirstLink + static_cast<int>(place.id);
    bool small = place.id == InfoLinkId::Unzip;
    HWND link = Add("STATIC", id, SS_NOTIFY | (small ? SS_RIGHT : 0), place.x, place.y,
                    small ? kSmallLinkWidth : 200, small ? 11 : 14, "");
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(small ? smallLinkFont_ : linkFont_), FALSE);
    if (place.caption) Add("STATIC", id + ids::kInfoLinkCaptionOffset, 0, 12, place.y, 40, 14, place.caption);
  }
  Add("STATIC", ids::kInfoZeltImage, SS_OWNERDRAW | SS_NOTIFY, kClientWidth - 8 - artwork::kZeltLogoWidth, 124,
      artwork::kZeltLogoWidth, artwork::kZeltLogoHeight, "");
  Add("BUTTON", ids::kOkButton, WS_TABSTOP | BS_DEFPUSHBUTTON, kClientWidth - 8 - 77, kPanelHeight + 6, 77, 25, "");
}

// The address links are as wide as their text, so only the text itself takes clicks.
void Tinfodialog::SizeLinks() {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, linkFont_);
  for (const LinkPlace& place : kLinkPlaces) {
    if (place.id == InfoLinkId::Unzip) continue;
    const std::string& text = controller_.state().link(place.id).text;
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SetWindowPos(GetDlgItem(window_, ids::kInfoFirstLink + static_cast<int>(place.id)), nullptr, 0, 0, size.cx + 4,
                 size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
}

void Tinfodialog::ShowModal(HWND owner) {
  EnableWindow(owner, FALSE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(GetDlgItem(window_, ids::kOkButton));
  shown_ = true;
  MSG message;
  while (shown_) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageA(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  EnableWindow(owner, TRUE);
  ShowWindow(window_, SW_HIDE);
  SetForegroundWindow(owner);
}

void Tinfodialog::RepaintLink(InfoLinkId id) {
  RedrawWindow(GetDlgItem(window_, ids::kInfoFirstLink + static_cast<int>(id)), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Tinfodialog::OpenAddress(const std::string& address) {
  ShellExecuteA(GetDesktopWindow(), nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int Tinfodialog::LinkOf(HWND control) const {
  int id = GetDlgCtrlID(control) - ids::kInfoFirstLink;
  return id >= 0 && id < kInfoLinkCount ? id : -1;
}

LRESULT CALLBACK Tinfodialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Tinfodialog* self = reinterpret_cast<Tinfodialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Tinfodialog*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT Tinfodialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id == ids::kOkButton || id == IDCANCEL) {
        shown_ = false;
      } else if (id == ids::kInfoZeltImage && HIWORD(wParam) == STN_CLICKED) {
        controller_.zeltimgClick();
      } else if (id >= ids::kInfoFirstLink && id < ids::kInfoFirstLink + kInfoLinkCount &&
                 HIWORD(wParam) == STN_CLICKED) {
        controller_.LinkClick(static_cast<InfoLinkId>(id - ids::kInfoFirstLink));
      }
      return 0;
    }
    case WM_CLOSE:
      shown_ = false;
      return 0;
    case WM_DESTROY: {
      // Goes with its owner, the wizard.
      HWND window = window_;
      window_ = nullptr;
      shown_ = false;
      return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      RECT panel{0, 0, kClientWidth, kPanelHeight};
      FillRect(dc, &panel, panelBrush_);
      DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
      RECT line{8, kLineTop, kClientWidth - 8, kLineTop + 1};
      FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      int link = LinkOf(reinterpret_cast<HWND>(lParam));
      if (link >= 0) SetTextColor(dc, controller_.state().links[link].visited ? kVisitedColor : kLinkColor);
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(panelBrush_);
    }
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      artwork::DrawBitmap(item.hDC, zeltLogo_, item.rcItem);
      return TRUE;
    }
    case WM_SETCURSOR: {
      HWND control = reinterpret_cast<HWND>(wParam);
      if (LinkOf(control) >= 0 || GetDlgCtrlID(control) == ids::kInfoZeltImage) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace installer
