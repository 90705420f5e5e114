// The Windows registry as the portable layers see it: an interface with a Win32 backend
// (SystemRegistry on Windows) and an in-memory one for tests and for POSIX builds.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

enum class RegistryType { String, ExpandString, Dword, Binary, Other };

struct RegistryValue {
  RegistryType type = RegistryType::String;
  std::string data;  // the stored bytes; for the text types without the terminating NUL
};

// Key paths are given from the root, with or without a leading backslash ("Software\Quenda").
class Registry {
 public:
  virtual ~Registry() = default;
  virtual bool KeyExists(RegistryRoot root, const std::string& keyPath) = 0;
  // Opens the key, creating it and its parents when missing.
  virtual bool CreateKey(RegistryRoot root, const std::string& keyPath) = 0;
  // The value, or nothing when the key or the value does not exist.
  virtual std::optional<RegistryValue> ReadValue(RegistryRoot root, const std::string& keyPath,
                                                 const std::string& name) = 0;
  // Stores a value, creating the key when missing.
  virtual bool WriteValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                          const RegistryValue& value) = 0;
  virtual bool DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& name) = 0;
  // Value names in the order the registry enumerates them; empty when the key is missing.
  virtual std::vector<std::string> ValueNames(RegistryRoot root, const std::string& keyPath) = 0;
};

// A registry held in memory. Key paths and value names compare without regard to the case
// of ASCII letters, as in Windows; values are enumerated in the order they were created.
class MemoryRegistry : public Registry {
 public:
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool CreateKey(RegistryRoot root, const std::string& keyPath) override;
  std::optional<RegistryValue> ReadValue(RegistryRoot root, const std::string& keyPath,
                                         const std::string& name) override;
  bool WriteValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                  const RegistryValue& value) override;
  bool DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& name) override;
  std::vector<std::string> ValueNames(RegistryRoot root, const std::string& keyPath) override;

 private:
  struct Key {
    std::vector<std::pair<std::string, RegistryValue>> values;
  };
  static std::string Normalize(RegistryRoot root, const std::string& keyPath);
  Key* Find(RegistryRoot root, const std::string& keyPath);
  std::map<std::string, Key> keys_;
};

// The registry of this machine: the real one on Windows, a process-wide MemoryRegistry
// elsewhere.
Registry& SystemRegistry();

}  // namespace platform
