#include "installer/win32/wizard_message.h"

namespace installer {
namespace {

HHOOK hook = nullptr;
WNDPROC boxProc = nullptr;

// A box with "Yes" and "No" has no cancel button, so the system ignores Escape there; the
// confirmation must read Escape as "&Nein".
LRESULT CALLBACK ConfirmationProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(box, IDNO);
    return 0;
  }
  return CallWindowProcA(boxProc, box, message, wParam, lParam);
}

// Renames the buttons as the box is activated, before it is first painted.
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    SetDlgItemTextA(box, IDYES, kYesButtonText);
    SetDlgItemTextA(box, IDNO, kNoButtonText);
    boxProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ConfirmationProc)));
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    return 0;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

bool ShowWizardMessage(HWND owner, MessageKind kind, const std::string& text) {
  UINT style = MB_TASKMODAL | MB_SETFOREGROUND;
  switch (kind) {
    case MessageKind::Information:
      style |= MB_OK | MB_ICONINFORMATION;
      break;
    case MessageKind::Error:
      style |= MB_OK | MB_ICONERROR;
      break;
    case MessageKind::Confirmation:
      style |= MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;
      hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
      break;
  }
  int answer = MessageBoxA(owner, text.c_str(), MessageTitle(kind), style);
  if (hook) {
    UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
  return kind != MessageKind::Confirmation || answer == IDYES;
}

}  // namespace installer
