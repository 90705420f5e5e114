// The few rich edit operations the memos share: loading a whole document as rich text
// format and reading the plain text back in Windows-1252.
#pragma once

#include <windows.h>

#include <string>

namespace quenda::controls {

// Loads (or registers) the rich edit control class once; its name for CreateWindowEx.
const wchar_t* RichEditClass();

// Replaces the control's whole content with the document.
void LoadRtf(HWND edit, const std::string& rtf);

// The control's text with every line break as CR LF.
std::string RichText(HWND edit);

}  // namespace quenda::controls
