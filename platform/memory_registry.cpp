#include "platform/registry.h"

namespace platform {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

bool SameName(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

}  // namespace

std::string MemoryRegistry::Normalize(RegistryRoot root, const std::string& keyPath) {
  std::string path = LowerAscii(keyPath);
  size_t start = path.find_first_not_of('\\');
  path = start == std::string::npos ? std::string() : path.substr(start);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return (root == RegistryRoot::CurrentUser ? "hkcu\\" : "hklm\\") + path;
}

MemoryRegistry::Key* MemoryRegistry::Find(RegistryRoot root, const std::string& keyPath) {
  auto it = keys_.find(Normalize(root, keyPath));
  return it == keys_.end() ? nullptr : &it->second;
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& keyPath) { return Find(root, keyPath); }

bool MemoryRegistry::CreateKey(RegistryRoot root, const std::string& keyPath) {
  std::string full = Normalize(root, keyPath);
  // Parents exist whenever a child does, as in the real registry.
  for (size_t at = full.find('\\', 5); at != std::string::npos; at = full.find('\\', at + 1)) {
    keys_.try_emplace(full.substr(0, at));
  }
  keys_.try_emplace(full);
  return true;
}

std::optional<RegistryValue> MemoryRegistry::ReadValue(RegistryRoot root, const std::string& keyPath,
                                                       const std::string& name) {
  Key* key = Find(root, keyPath);
  if (!key) return std::nullopt;
  for (const auto& [valueName, value] : key->values) {
    if (SameName(valueName, name)) return value;
  }
  return std::nullopt;
}

bool MemoryRegistry::WriteValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                                const RegistryValue& value) {
  CreateKey(root, keyPath);
  Key* key = Find(root, keyPath);
  for (auto& [valueName, stored] : key->values) {
    if (SameName(valueName, name)) {
      stored = value;
      return true;
    }
  }
  key->values.emplace_back(name, value);
  return true;
}

bool MemoryRegistry::DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& name) {
  Key* key = Find(root, keyPath);
  if (!key) return false;
  for (auto it = key->values.begin(); it != key->values.end(); ++it) {
    if (SameName(it->first, name)) {
      key->values.erase(it);
      return true;
    }
  }
  return false;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegistryRoot root, const std::string& keyPath) {
  std::vector<std::string> names;
  if (Key* key = Find(root, keyPath)) {
    for (const auto& entry : key->values) names.push_back(entry.first);
  }
  return names;
}

}  // namespace platform
