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

using Clock = std::chrono::steady_clock;
inline constexpr std::chrono::seconds kDefaultWait{60};

// Polls until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kDefaultWait);

class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();
  // Starts the program with its arguments, each quoted.
  bool Start(const std::wstring& program, const std::vector<std::wstring>& arguments);
  DWORD Id() const { return info_.dwProcessId; }
  // Waits for the end; the exit code, or -1 when it did not end in time.
  int Wait(std::chrono::milliseconds timeout = kDefaultWait);
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};

// A visible top-level window of the process with this class name, or null.
HWND FindTopWindow(DWORD processId, const wchar_t* className);
// Any window (child windows included) below root whose control ID is id.
HWND FindControl(HWND root, int id);
// The first child of class className below root, or null.
HWND FindChildOfClass(HWND root, const wchar_t* className);

std::wstring Text(HWND window);
void SetText(HWND window, const std::wstring& text);
// A click as the mouse gives it; returns when the program has handled it (a conversion
// started by the click has then run to its end).
void Click(HWND button);
// The texts of all static controls below root, joined.
std::wstring StaticTexts(HWND root);
// Sets a check box to the state by clicking it when it differs.
void SetChecked(HWND checkBox, bool checked);
bool IsChecked(HWND checkBox);
// Chooses a list entry and tells the owner, as a choice with the mouse does.
void Choose(HWND comboBox, int index);
int Chosen(HWND comboBox);
// Types the text into the control, one character message per character.
void Type(HWND control, const std::wstring& text);

// Text converted with the fixed code page of the plug-in's texts.
std::wstring Wide(const std::string& latin1);
std::string Narrow(const std::wstring& wide);

// Saves the screen area of the window as a 24-bit BMP file; false when it cannot.
bool SaveWindowPicture(HWND window, const std::wstring& path);

}  // namespace e2e
