// Our texts are Windows-1252 bytes; the windows speak UTF-16. Converting with the fixed code
// page keeps every byte exact whatever code page the system itself runs in.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quenda::controls {

inline constexpr UINT kTextCodePage = 1252;

inline std::wstring Wide(std::string_view text) {
  if (text.empty()) return std::wstring();
  int size = MultiByteToWideChar(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

inline std::string Narrow(std::wstring_view text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                      nullptr);
  return narrow;
}

inline std::string WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return Narrow(text);
}

}  // namespace quenda::controls
