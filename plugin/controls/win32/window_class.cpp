#include "plugin/controls/win32/window_class.h"

namespace quenda::controls {

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
  return module;
}

bool EnsureWindowClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor, HBRUSH background) {
  WNDCLASSW existing;
  if (GetClassInfoW(ModuleInstance(), name, &existing)) return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, cursor);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassW(&wc) != 0;
}

void ReleaseWindowClass(const wchar_t* name) { UnregisterClassW(name, ModuleInstance()); }

}  // namespace quenda::controls
