// quenda-host: a minimal host editor for plug-ins that follow the interface of Quenda.dll,
// for the end-to-end tests and as an example for authors of host editors.
//
//   quenda-host PLUGIN.dll INPUT OUTPUT [OUTPUT...]
//
// Shows INPUT in a small editor window, loads the plug-in, finds its exports by name, calls
// pluginInterfaceVersion, then pluginStart with the document (the plug-in's window is modal
// over ours), then pluginRueckgabetyp. When that says 2 the returned text is written to
// OUTPUT. Each further OUTPUT is one more call with the same document in the same process,
// as an editor calls a plug-in again. Exit code of the last call: 0 text returned (2),
// 1 cancelled (0), 3 null result, a cancelled call that still returned text, or a load failure,
// 4 the plug-in returned and left the editor window disabled. A failed call ends the run.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/files.h"

namespace {

using InterfaceVersionFn = int32_t (*)();
using StartFn = const char*(WINAPI*)(const char*, int32_t, int32_t);
using ReturnKindFn = int32_t (*)();

constexpr int kAccepted = 0, kCancelled = 1, kFailed = 3, kLeftDisabled = 4;

int Fail(const char* what, const char* detail) {
  std::fprintf(stderr, "quenda-host: %s: %s\n", what, detail);
  return kFailed;
}

// The editor window: the document in a read-only edit control, the way a host shows it
// while the plug-in works on it.
HWND CreateEditorWindow(const std::string& document) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "QuendaHostEditor";
  RegisterClassA(&wc);
  HWND editor = CreateWindowExA(0, wc.lpszClassName, "quenda-host", WS_OVERLAPPEDWINDOW, 20, 20, 640, 480, nullptr,
                                nullptr, wc.hInstance, nullptr);
  if (!editor) return nullptr;
  RECT client;
  GetClientRect(editor, &client);
  CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", document.c_str(),
                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, client.right,
                  client.bottom, editor, nullptr, wc.hInstance, nullptr);
  ShowWindow(editor, SW_SHOW);
  UpdateWindow(editor);
  SetActiveWindow(editor);
  return editor;
}

// One call: the document in, the text out; the result codes of main.
int CallPlugin(StartFn start, ReturnKindFn returnKind, const std::string& document, const char* output, HWND editor) {
  // Arguments 2 and 3 are the host's own values; the plug-in ignores them.
  const char* result = start(document.c_str(), 0x1234, -1);
  int32_t kind = returnKind();
  std::printf("pluginRueckgabetyp %d\n", static_cast<int>(kind));
  std::fflush(stdout);
  // The plug-in's modal window disables ours while it is open; once it has returned, the
  // editor must take input again.
  if (editor && !IsWindowEnabled(editor)) {
    Fail("the editor window is still disabled after", output);
    return kLeftDisabled;
  }
  if (result == nullptr) return Fail("the plug-in returned no text", "null pointer");
  std::string text = result;  // copied before anything else may call the plug-in
  if (kind != 2) return text.empty() ? kCancelled : Fail("a cancelled call returned text", output);
  if (!platform::WriteWholeFile(output, text)) return Fail("cannot write", output);
  return kAccepted;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: quenda-host PLUGIN.dll INPUT OUTPUT [OUTPUT...]\n");
    return kFailed;
  }
  std::string document;
  if (!platform::ReadWholeFile(argv[2], document)) return Fail("cannot read the document", argv[2]);
  // A host hands over a zero-terminated text: the document ends at its first NUL.
  document = document.c_str();

  HMODULE plugin = LoadLibraryA(argv[1]);
  if (!plugin) return Fail("cannot load the plug-in", argv[1]);
  auto version = reinterpret_cast<InterfaceVersionFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "pluginInterfaceVersion")));
  auto start = reinterpret_cast<StartFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "pluginStart")));
  auto returnKind = reinterpret_cast<ReturnKindFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "pluginRueckgabetyp")));
  if (!version || !start || !returnKind) return Fail("missing export in", argv[1]);
  std::printf("pluginInterfaceVersion %d\n", static_cast<int>(version()));
  std::fflush(stdout);

  HWND editor = CreateEditorWindow(document);
  int code = kFailed;
  for (int call = 3; call < argc; ++call) {
    code = CallPlugin(start, returnKind, document, argv[call], editor);
    if (code == kFailed || code == kLeftDisabled) break;
  }
  if (editor) DestroyWindow(editor);
  return code;
}
