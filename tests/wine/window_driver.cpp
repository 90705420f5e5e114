#include "tests/wine/window_driver.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

namespace e2e {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return true;
}

Process::~Process() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 99);  // fails harmlessly when it has ended
  WaitForSingleObject(info_.hProcess, 10000);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

bool Process::Start(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring command = L"\"" + program + L"\"";
  for (const std::wstring& argument : arguments) command += L" \"" + argument + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_) != FALSE;
}

int Process::Wait() {
  DWORD code = 0;
  bool ended = WaitForSingleObject(info_.hProcess, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(info_.hProcess, &code);
  return ended ? static_cast<int>(code) : -1;
}

HWND Process::WaitFor(const wchar_t* className) const {
  HWND found = nullptr;
  WaitUntil([&] {
    while ((found = FindWindowExW(nullptr, found, className, nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == info_.dwProcessId && IsWindowVisible(found)) return true;
    }
    return false;
  });
  return found;
}

HWND FindControl(HWND root, int id) {
  for (HWND child = GetWindow(root, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == id) return child;
    if (HWND found = FindControl(child, id)) return found;
  }
  return nullptr;
}

std::wstring Text(HWND window) {
  // WM_GETTEXT is carried across processes; GetWindowText would not ask the control.
  LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(window, WM_GETTEXT, text.size(), LPARAM(text.data()))));
  return text;
}

std::vector<std::wstring> Texts(HWND root, const std::vector<int>& ids) {
  std::vector<std::wstring> texts;
  for (int id : ids) texts.push_back(Text(id == 0 ? root : FindControl(root, id)));
  return texts;
}

std::wstring StaticTexts(HWND root) {
  std::wstring texts;
  for (HWND child = nullptr; (child = FindWindowExW(root, child, L"Static", nullptr)) != nullptr;) texts += Text(child);
  return texts;
}

void SetText(HWND window, const std::wstring& text) { SendMessageW(window, WM_SETTEXT, 0, LPARAM(text.c_str())); }

void Click(HWND button) { SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 300000, nullptr); }

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND checkBox, bool checked) {
  if (IsChecked(checkBox) != checked) Click(checkBox);
}

void Choose(HWND comboBox, int index) {
  SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(comboBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(comboBox), CBN_SELCHANGE), LPARAM(comboBox));
}

int Chosen(HWND comboBox) { return static_cast<int>(SendMessageW(comboBox, CB_GETCURSEL, 0, 0)); }

void PressKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs(2 * keys.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i < keys.size() ? i : inputs.size() - 1 - i];
    inputs[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(inputs[i].ki.wVk, MAPVK_VK_TO_VSC));
    inputs[i].ki.dwFlags = i < keys.size() ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(HWND window, int x, int y) {
  RECT client{};
  if (!GetClientRect(window, &client)) return;
  POINT point{x < 0 ? client.right / 2 : x, y < 0 ? client.bottom / 2 : y};
  ClientToScreen(window, &point);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  // The button events carry the point too, as a real mouse's do: X may report where the
  // pointer was before (a window that appears under it), and a bare press would land there.
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, inputs, sizeof(INPUT));
}

bool Settle(HWND window) {
  // A sent message is handled before queued input; the pauses between the trips give the
  // thread its turn to take the input in, even on a busy machine.
  for (int trip = 0; trip < 3; ++trip) {
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr) && IsWindow(window)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::wstring Wide(const std::string& latin1) {
  std::wstring wide;
  for (unsigned char c : latin1) wide += static_cast<wchar_t>(c);
  return wide;
}

std::string Narrow(const std::wstring& wide) { return std::string(wide.begin(), wide.end()); }

std::wstring Environment(const wchar_t* name) {
  wchar_t value[2048];
  DWORD length = GetEnvironmentVariableW(name, value, 2048);
  std::wstring text(value, length < 2048 ? length : 0);
  std::replace(text.begin(), text.end(), L'/', L'\\');
  return text;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetRegistryText(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[512];
  DWORD size = sizeof(value);
  LONG status = RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
  return status == ERROR_SUCCESS ? value : L"<missing or no REG_SZ>";
}

void LetWineDrawCaptions() { SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N"); }

bool Picture(HWND window, const std::wstring& name, bool repaint) {
  std::wstring shots = Environment(L"QUENDA_E2E_SHOTS");
  if (shots.empty()) return true;
  CreateDirectoryW(shots.c_str(), nullptr);
  if (repaint) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  std::chrono::milliseconds wait(repaint ? 5000 : 300);
  WaitUntil([&] { return repaint && !GetUpdateRect(window, nullptr, FALSE); }, wait);
  RECT area;
  if (!GetWindowRect(window, &area)) return false;
  LONG width = area.right - area.left, height = area.bottom - area.top;
  DWORD imageSize = ((static_cast<DWORD>(width) * 3 + 3) & ~3u) * static_cast<DWORD>(height);
  BITMAPINFOHEADER header{sizeof(header), width, height, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0};
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(header) + imageSize), 0, 0,
                        sizeof(file) + sizeof(header)};
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  bool saved = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) && bits;
  GdiFlush();
  if (saved) {
    std::ofstream out((shots + L"\\" + name + L".bmp").c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    saved = out.write(static_cast<const char*>(bits), imageSize).good();
  }
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(5));
}

namespace {
INPUT KeyInput(WORD key, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}
}  // namespace

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE));
    inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace e2e
