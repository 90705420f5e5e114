// The plug-in's entry points. A host editor loads Quenda.dll, finds these by name and calls
// them on its user-interface thread: pluginInterfaceVersion, then pluginStart with the
// document (which returns when the converter window has been closed), then
// pluginRueckgabetyp to learn whether to use the returned text.
#include <windows.h>

#include <cstdint>

#include "platform/registry.h"
#include "plugin/main_controller.h"
#include "plugin/win32/main_window.h"

extern "C" {

// The window of the current call; null between calls.
quenda::THauptform* Hauptform = nullptr;

int32_t pluginInterfaceVersion() { return 1; }

// Arguments 2 and 3 are the host's own; the plug-in does not read them. The callee pops all
// three arguments (stdcall), as the hosts expect.
const char* WINAPI pluginStart(const char* document, int32_t, int32_t) {
  static const char kEmpty[] = "";
  try {
    quenda::THauptform form(platform::SystemRegistry());
    Hauptform = &form;
    form.Create(GetActiveWindow());
    form.Controller().SetDocument(document);
    form.ShowModal();
    Hauptform = nullptr;
  } catch (...) {
    // A window that failed hands nothing back: no text, and a return kind that says so.
    quenda::ResultText.clear();
    quenda::resultAccepted = false;
    Hauptform = nullptr;
    quenda::THauptform::ReleaseClasses();
    return nullptr;
  }
  quenda::THauptform::ReleaseClasses();
  return quenda::ResultText.empty() ? kEmpty : quenda::ResultText.c_str();
}

int32_t pluginRueckgabetyp() { return quenda::resultAccepted ? 2 : 0; }

}  // extern "C"
