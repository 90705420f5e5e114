#include "tests/wine/window_driver.h"

#include <thread>

namespace e2e {

namespace {

constexpr std::chrono::milliseconds kPollInterval{25};

struct FindTop {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchTop(HWND window, LPARAM data) {
  auto* find = reinterpret_cast<FindTop*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[128];
  if (owner == find->processId && IsWindowVisible(window) && GetClassNameW(window, name, 128) &&
      lstrcmpW(name, find->className) == 0) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

struct FindChild {
  int id;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data) {
  auto* find = reinterpret_cast<FindChild*>(data);
  if (find->className) {
    wchar_t name[128];
    if (GetClassNameW(window, name, 128) && lstrcmpiW(name, find->className) == 0) {
      find->found = window;
      return FALSE;
    }
  } else if (GetDlgCtrlID(window) == find->id) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

Process::~Process() {
  if (info_.hProcess) {
    Kill();
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool Process::Start(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring command = L"\"" + program + L"\"";
  for (const std::wstring& argument : arguments) command += L" \"" + argument + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_) != FALSE;
}

int Process::Wait(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

void Process::Kill() {
  if (info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 10000);
  }
}

HWND FindTopWindow(DWORD processId, const wchar_t* className) {
  FindTop find{processId, className, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

HWND FindControl(HWND root, int id) {
  FindChild find{id, nullptr, nullptr};
  EnumChildWindows(root, MatchChild, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

HWND FindChildOfClass(HWND root, const wchar_t* className) {
  FindChild find{0, className, nullptr};
  EnumChildWindows(root, MatchChild, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

std::wstring Text(HWND window) {
  // WM_GETTEXT is carried across processes; GetWindowText would not ask the control.
  LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

void SetText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 300000, &ignored);
}

namespace {

BOOL CALLBACK CollectStatic(HWND window, LPARAM data) {
  wchar_t name[64];
  if (GetClassNameW(window, name, 64) && lstrcmpiW(name, L"Static") == 0) {
    *reinterpret_cast<std::wstring*>(data) += Text(window);
  }
  return TRUE;
}

}  // namespace

std::wstring StaticTexts(HWND root) {
  std::wstring texts;
  EnumChildWindows(root, CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND checkBox, bool checked) {
  if (IsChecked(checkBox) != checked) SendMessageW(checkBox, BM_CLICK, 0, 0);
}

void Choose(HWND comboBox, int index) {
  SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(comboBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(comboBox), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(comboBox));
}

int Chosen(HWND comboBox) { return static_cast<int>(SendMessageW(comboBox, CB_GETCURSEL, 0, 0)); }

void Type(HWND control, const std::wstring& text) {
  for (wchar_t c : text) {
    if (c == L'\r') {
      // The Enter key arrives as a key press and a character, as from the keyboard; controls
      // differ in which of the two they act on.
      SendMessageW(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
      SendMessageW(control, WM_CHAR, L'\r', 0x001C0001);
      SendMessageW(control, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
    } else {
      SendMessageW(control, WM_CHAR, c, 1);
    }
  }
}

std::wstring Wide(const std::string& latin1) {
  if (latin1.empty()) return std::wstring();
  int size = MultiByteToWideChar(1252, 0, latin1.data(), static_cast<int>(latin1.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(1252, 0, latin1.data(), static_cast<int>(latin1.size()), wide.data(), size);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int size = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

bool SaveWindowPicture(HWND window, const std::wstring& path) {
  RECT area;
  if (!GetWindowRect(window, &area)) return false;
  int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  bool saved = false;
  if (copied && bits) {
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      saved = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
              WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
              WriteFile(out, bits, imageSize, &written, nullptr);
      CloseHandle(out);
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

}  // namespace e2e
