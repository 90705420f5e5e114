// Window classes of a library. A class registered by a DLL outlives the DLL, with a window
// procedure that points into unloaded code; so our classes are registered for our own module
// when first needed and released again when the plug-in's window is gone.
#pragma once

#include <windows.h>

namespace quenda::controls {

// The module (DLL or program) this code is linked into.
HINSTANCE ModuleInstance();

// Registers the class for ModuleInstance() unless it is registered already.
bool EnsureWindowClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor = MAKEINTRESOURCEW(32512),
                       HBRUSH background = nullptr);

void ReleaseWindowClass(const wchar_t* name);

}  // namespace quenda::controls
