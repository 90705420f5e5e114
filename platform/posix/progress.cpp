// POSIX stand-ins: no message queue, notifications go to a registered receiver, keys are
// held when a program says so, and the clock is the monotonic one.
#include "platform/progress.h"

#include <atomic>
#include <ctime>

namespace platform {
namespace {

ProgressReceiver gReceiver = nullptr;
void* gReceiverContext = nullptr;

// Keys marked as held; one bit per virtual-key code 0..255. Atomic, so a signal handler may
// set a key.
std::atomic<uint32_t> gHeldKeys[8];

}  // namespace

void PumpMessages(uint16_t) {}

uint16_t NotifyProgress(uint16_t window, int32_t code, uint16_t percent) {
  if (gReceiver != nullptr) gReceiver(gReceiverContext, window, code, &percent);
  return percent;
}

void SetProgressReceiver(ProgressReceiver receiver, void* context) {
  gReceiver = receiver;
  gReceiverContext = context;
}

bool IsKeyHeld(int32_t virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return false;
  return (gHeldKeys[virtualKey >> 5].load() >> (virtualKey & 31)) & 1;
}

void SetKeyHeld(int32_t virtualKey, bool held) {
  if (virtualKey < 0 || virtualKey > 255) return;
  uint32_t bit = 1u << (virtualKey & 31);
  if (held) {
    gHeldKeys[virtualKey >> 5].fetch_or(bit);
  } else {
    gHeldKeys[virtualKey >> 5].fetch_and(~bit);
  }
}

uint32_t TickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace platform
