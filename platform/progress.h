// Keeping a window alive during long work on its own thread: fetching and dispatching the
// pending window messages, telling a window how far the work has come (and learning whether
// it wants the work cancelled), sampling a key, and a millisecond clock.
#pragma once

#include <cstdint>

namespace platform {

// Processes every pending message of the calling thread's queue. When dialogWindow is set,
// each message is first offered to it as a dialog message (keyboard navigation). Where there
// is no window system (POSIX) there is nothing to process.
void PumpMessages(uint16_t dialogWindow);

// Tells `window` the percentage reached: WM_COMMAND with wParam = code and lParam pointing to
// the 16-bit percentage. Returns the value the receiver left there (kCancelProgress asks to
// cancel). On POSIX the receiver set with SetProgressReceiver stands in for the window.
inline constexpr uint16_t kCancelProgress = 65535;
uint16_t NotifyProgress(uint16_t window, int32_t code, uint16_t percent);

// Where there are no windows: a function that receives the notifications of NotifyProgress
// (null for none). Windows sends to the real window and ignores this.
using ProgressReceiver = void (*)(void* context, uint16_t window, int32_t code, uint16_t* percent);
void SetProgressReceiver(ProgressReceiver receiver, void* context);

// Whether the key with this virtual-key code is held down right now. On POSIX, which has no
// global keyboard state, a key counts as held while a program marks it with SetKeyHeld
// (for instance from a signal handler: the portable way to ask for cancelling).
bool IsKeyHeld(int32_t virtualKey);
void SetKeyHeld(int32_t virtualKey, bool held);

// Milliseconds since some fixed point; wraps around after about 49 days.
uint32_t TickCount();

}  // namespace platform
