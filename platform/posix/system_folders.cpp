#include "platform/system_folders.h"

#include <cstdlib>

namespace platform {

namespace {
std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}
}  // namespace

std::string WindowsFolderPath() { return FromEnvironment("QUENDA_WINDOWS_FOLDER"); }
std::string SystemFolderPath() { return FromEnvironment("QUENDA_SYSTEM_FOLDER"); }

}  // namespace platform
