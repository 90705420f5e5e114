// The installer program: the application window, the wizard, then the about box, then the
// message loop. The program reads no argument and ends with 0 whatever happened.
#include <windows.h>
#include <objbase.h>

#include "installer/inictrl.h"
#include "installer/win32/control_ids.h"
#include "installer/win32/infodialog.h"
#include "installer/win32/maindialog.h"

namespace {

// The application's title: the text of the program's task bar button.
constexpr const char* kApplicationTitle = "Parcelon";

// The application window owns the wizard and carries the task bar button, so the button
// reads "Parcelon" while the wizard's caption names the plug-in. It has no size, so nobody
// sees it; a click on the button or its close command goes on to the window in front.
LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        // The wizard, or the about box in front of it.
        HWND front = GetLastActivePopup(window);
        if (front && front != window && !IsWindowEnabled(front)) front = GetLastActivePopup(front);
        if (front && front != window && IsWindowEnabled(front)) SetActiveWindow(front);
        return 0;
      }
      break;
    case WM_CLOSE: {
      // The wizard decides (it asks first); the application window goes with the program.
      HWND wizard = FindWindowExA(nullptr, nullptr, installer::ids::kWizardClass, nullptr);
      if (wizard && GetWindow(wizard, GW_OWNER) == window && IsWindowEnabled(wizard)) {
        PostMessageA(wizard, WM_CLOSE, 0, 0);
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateApplicationWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ApplicationProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(installer::ids::kApplicationIcon));
  windowClass.lpszClassName = installer::ids::kApplicationClass;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, installer::ids::kApplicationClass, kApplicationTitle,
                         WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS,
                         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The folder browser is a shell dialog and needs COM on this thread.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  HWND application = CreateApplicationWindow();
  {
    installer::Tmaindialog maindialog(installer::SystemInstallSteps());
    if (maindialog.Create(application)) {
      installer::Tinfodialog infodialog;
      if (infodialog.Create(maindialog.window(), installer::TheInstallScript(), maindialog.zeltLogo())) {
        maindialog.SetAboutBox(&infodialog);
      }
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
    }
  }
  if (application) DestroyWindow(application);
  if (com) CoUninitialize();
  return 0;
}
