// Driving another process's windows the way a person would, for end-to-end tests under Wine:
// start a program, find its windows and controls by class and ID, click, choose, type, read
// back. Every wait polls with a deadline; nothing sleeps for a fixed time and hopes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Polls until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(60));

class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();
  // Starts the program with its arguments, each quoted.
  bool Start(const std::wstring& program, const std::vector<std::wstring>& arguments);
  // Waits for the end; the exit code, or -1 when it did not end within a minute.
  int Wait();
  // Waits for a visible top-level window of the process with this class name ("#32770": a
  // message box); null when none came in time.
  HWND WaitFor(const wchar_t* className) const;
  DWORD id() const { return info_.dwProcessId; }
  // Whether the program still runs.
  bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

 private:
  PROCESS_INFORMATION info_{};
};

// The first window below root, at any depth, whose control ID is id.
HWND FindControl(HWND root, int id);
std::wstring Text(HWND window);
void SetText(HWND window, const std::wstring& text);
// The texts of the controls with these IDs below root (ID 0: root itself); of all static
// controls directly below root, joined.
std::vector<std::wstring> Texts(HWND root, const std::vector<int>& ids);
std::wstring StaticTexts(HWND root);
// A click as the mouse gives it; returns when the program has handled it (a conversion
// started by the click has then run to its end).
void Click(HWND button);
// Clicks a check box when its state differs; chooses a list entry and tells the owner, as a
// choice with the mouse does.
void SetChecked(HWND checkBox, bool checked);
bool IsChecked(HWND checkBox);
void Choose(HWND comboBox, int index);
int Chosen(HWND comboBox);

// Real input, as from the keyboard and the mouse (SendInput), to the foreground window:
// the keys are pressed in order and released in reverse, so {VK_CONTROL, 'V'} is Ctrl+V.
void PressKeys(const std::vector<WORD>& keys);
// A left click at a point of the window's client area (the middle when x and y are -1);
// nothing for a window that is gone.
void ClickAt(HWND window, int x = -1, int y = -1);
// Returns once the window's thread has handled what was sent to it so far: round trips to
// the thread, so that input and the messages it posts are most likely handled before the
// next step (a check that must not run ahead waits for the input's effect instead).
// False when the thread did not answer within 20 seconds.
bool Settle(HWND window);

// Latin-1 text, character by character.
std::wstring Wide(const std::string& latin1);
std::string Narrow(const std::wstring& wide);
// An environment variable with its slashes turned into backslashes; empty when unset.
std::wstring Environment(const wchar_t* name);
std::string ReadFile(const std::wstring& path);
bool Exists(const std::wstring& path);

// A REG_SZ value; reading one that is missing or of another type gives "<missing or no REG_SZ>".
void SetRegistryText(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name);
// Without a window manager under Xvfb, Wine is to draw the caption bars itself (for the pictures).
void LetWineDrawCaptions();

// Saves the window's screen area as NAME.bmp (24 bits) in the folder QUENDA_E2E_SHOTS names,
// after a repaint, or for a window whose thread may be busy (the installer pauses on a page)
// after a moment to paint by itself; false only when that was asked for and failed.
bool Picture(HWND window, const std::wstring& name, bool repaint = true);

// Real input, as the keyboard and the mouse give it (SendInput), for the window in front.
// Brings the top-level window to the front; true when it is there.
bool BringToFront(HWND window);
// Types the text character by character.
void TypeText(const std::wstring& text);

}  // namespace e2e
