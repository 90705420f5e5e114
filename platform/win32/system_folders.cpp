#include "platform/system_folders.h"

#include <windows.h>

namespace platform {

namespace {
// Asks first for the length, then for the text, as the folder may be longer than MAX_PATH.
template <typename Query>
std::string AskFolder(Query query) {
  UINT length = query(nullptr, 0);
  if (length == 0) return std::string();
  std::string text(length, '\0');
  UINT got = query(text.data(), length);
  if (got == 0 || got >= length) return std::string();
  text.resize(got);
  return text;
}
}  // namespace

std::string WindowsFolderPath() { return AskFolder(GetWindowsDirectoryA); }
std::string SystemFolderPath() { return AskFolder(GetSystemDirectoryA); }

}  // namespace platform
