// Win32: the thread's message queue, WM_COMMAND notifications, the asynchronous key state
// and the system tick count.
#include "platform/progress.h"

#include <windows.h>

namespace platform {
namespace {

// Windows accept a handle given by its low 16 bits alone.
HWND WindowFromShortHandle(uint16_t window) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(window)); }

}  // namespace

void PumpMessages(uint16_t dialogWindow) {
  HWND dialog = WindowFromShortHandle(dialogWindow);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The quit request belongs to the program's own message loop: leave it for that.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (dialog != nullptr && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

uint16_t NotifyProgress(uint16_t window, int32_t code, uint16_t percent) {
  SendMessageA(WindowFromShortHandle(window), WM_COMMAND, static_cast<WPARAM>(static_cast<uint32_t>(code)),
               reinterpret_cast<LPARAM>(&percent));
  return percent;
}

void SetProgressReceiver(ProgressReceiver, void*) {}

bool IsKeyHeld(int32_t virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

void SetKeyHeld(int32_t, bool) {}

uint32_t TickCount() { return GetTickCount(); }

}  // namespace platform
