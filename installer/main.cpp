// The installer program: the wizard, then the about box, then the message loop. The program
// reads no argument and ends with 0 whatever happened.
#include <windows.h>

#include "installer/inictrl.h"
#include "installer/win32/control_ids.h"
#include "installer/win32/infodialog.h"
#include "installer/win32/maindialog.h"

namespace {

// The application's title, the name the system shows for the program.
constexpr const char* kApplicationTitle = "Parcelon";

// The application window: hidden, it carries the application title; the wizard, a window of
// its own in the task bar, shows its caption there.
HWND CreateApplicationWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TApplication";
  RegisterClassA(&windowClass);
  return CreateWindowExA(WS_EX_TOOLWINDOW, "TApplication", kApplicationTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HWND application = CreateApplicationWindow();
  installer::Tmaindialog maindialog(installer::SystemInstallSteps());
  if (!maindialog.Create()) return 0;
  installer::Tinfodialog infodialog;
  if (infodialog.Create(installer::TheInstallScript(), maindialog.zeltLogo())) maindialog.SetAboutBox(&infodialog);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    HWND dialog = maindialog.window();
    // Escape is the cancel button's key from every control; some controls (the edit among
    // them) keep it for themselves under the dialog-message rules.
    if (dialog && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        (message.hwnd == dialog || IsChild(dialog, message.hwnd)) &&
        !SendMessageA(GetDlgItem(dialog, installer::ids::kEditorList), CB_GETDROPPEDSTATE, 0, 0)) {
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      continue;
    }
    if (dialog && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (application) DestroyWindow(application);
  return 0;
}
