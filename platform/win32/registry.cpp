// The real registry through advapi32 (ANSI API).
#include <windows.h>

#include "platform/registry.h"

namespace platform {

namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::string Relative(const std::string& keyPath) {
  size_t start = keyPath.find_first_not_of('\\');
  return start == std::string::npos ? std::string() : keyPath.substr(start);
}

RegistryType FromWin32(DWORD type) {
  switch (type) {
    case REG_SZ: return RegistryType::String;
    case REG_EXPAND_SZ: return RegistryType::ExpandString;
    case REG_DWORD: return RegistryType::Dword;
    case REG_BINARY: return RegistryType::Binary;
    default: return RegistryType::Other;
  }
}

DWORD ToWin32(RegistryType type) {
  switch (type) {
    case RegistryType::String: return REG_SZ;
    case RegistryType::ExpandString: return REG_EXPAND_SZ;
    case RegistryType::Dword: return REG_DWORD;
    case RegistryType::Binary: return REG_BINARY;
    case RegistryType::Other: break;
  }
  return REG_NONE;
}

bool IsText(RegistryType type) { return type == RegistryType::String || type == RegistryType::ExpandString; }

class Win32Registry : public Registry {
 public:
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override {
    HKEY key;
    if (RegOpenKeyExA(RootKey(root), Relative(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  bool CreateKey(RegistryRoot root, const std::string& keyPath) override {
    HKEY key;
    if (RegCreateKeyExA(RootKey(root), Relative(keyPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  std::optional<RegistryValue> ReadValue(RegistryRoot root, const std::string& keyPath,
                                         const std::string& name) override {
    HKEY key;
    if (RegOpenKeyExA(RootKey(root), Relative(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    DWORD type = 0, size = 0;
    std::optional<RegistryValue> result;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::string data(size, '\0');
      if (size == 0 ||
          RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
              ERROR_SUCCESS) {
        data.resize(size);
        RegistryValue value{FromWin32(type), data};
        if (IsText(value.type)) {
          size_t nul = value.data.find('\0');
          if (nul != std::string::npos) value.data.resize(nul);
        }
        result = value;
      }
    }
    RegCloseKey(key);
    return result;
  }

  bool WriteValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                  const RegistryValue& value) override {
    HKEY key;
    if (RegCreateKeyExA(RootKey(root), Relative(keyPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    std::string data = value.data;
    if (IsText(value.type)) data.push_back('\0');
    LONG rc = RegSetValueExA(key, name.c_str(), 0, ToWin32(value.type), reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }

  bool DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& name) override {
    HKEY key;
    if (RegOpenKeyExA(RootKey(root), Relative(keyPath).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return false;
    }
    LONG rc = RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }

  std::vector<std::string> ValueNames(RegistryRoot root, const std::string& keyPath) override {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(RootKey(root), Relative(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
      char name[16384];
      DWORD length = sizeof name;
      if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
  }
};

}  // namespace

Registry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace platform
