#include "plugin/controls/win32/rich_text.h"

#include <richedit.h>

#include <cstring>

namespace quenda::controls {

namespace {

struct StreamSource {
  const std::string* text;
  size_t at;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  size_t left = source->text->size() - source->at;
  size_t count = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
  std::memcpy(buffer, source->text->data() + source->at, count);
  source->at += count;
  *done = static_cast<LONG>(count);
  return 0;
}

}  // namespace

const wchar_t* RichEditClass() {
  static HMODULE library = LoadLibraryW(L"riched20.dll");
  return library ? RICHEDIT_CLASSW : L"EDIT";
}

void LoadRtf(HWND edit, const std::string& rtf) {
  StreamSource source{&rtf, 0};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadRtf;
  SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

std::string RichText(HWND edit) {
  GETTEXTLENGTHEX lengthQuery{GTL_USECRLF | GTL_NUMBYTES, 1252};
  LRESULT length = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GETTEXTEX query{};
  query.cb = static_cast<DWORD>(text.size());
  query.flags = GT_USECRLF;
  query.codepage = 1252;
  LRESULT copied = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace quenda::controls
