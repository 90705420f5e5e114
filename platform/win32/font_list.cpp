#include "platform/font_list.h"

#include <windows.h>

#include <algorithm>

namespace platform {

namespace {
int CALLBACK AddFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM context) {
  auto* names = reinterpret_cast<std::vector<std::string>*>(context);
  std::string name = font->lfFaceName;
  if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
  return 1;
}
}  // namespace

std::vector<std::string> InstalledFontFamilies() {
  std::vector<std::string> names;
  HDC dc = GetDC(nullptr);
  if (!dc) return names;
  LOGFONTA query = {};
  query.lfCharSet = DEFAULT_CHARSET;  // every character set
  EnumFontFamiliesExA(dc, &query, AddFamily, reinterpret_cast<LPARAM>(&names), 0);
  ReleaseDC(nullptr, dc);
  return names;
}

}  // namespace platform
