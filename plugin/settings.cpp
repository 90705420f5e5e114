#include "plugin/settings.h"

#include <cstdint>

namespace quenda {

namespace {

using platform::RegistryRoot;
using platform::RegistryType;

// Both reports are Windows-1252 text, as every text the window shows.
std::string InvalidInteger(const std::string& text) { return "'" + text + "' ist kein g\xFCltiger Integerwert"; }
std::string InvalidType(const std::string& name) { return "Ung\xFCltiger Datentyp f\xFCr '" + name + "'"; }

// The stored text of a string value; empty when the value is missing.
std::string ReadStoredText(platform::Registry& registry, const std::string& keyPath, const std::string& name) {
  registry.CreateKey(RegistryRoot::CurrentUser, keyPath);
  auto value = registry.ReadValue(RegistryRoot::CurrentUser, keyPath, name);
  if (!value) return std::string();
  if (value->type != RegistryType::String && value->type != RegistryType::ExpandString) {
    throw SettingsError(InvalidType(name));
  }
  return value->data;
}

}  // namespace

void WriteSetting(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                  const std::string& text) {
  registry.CreateKey(RegistryRoot::CurrentUser, keyPath);
  registry.WriteValue(RegistryRoot::CurrentUser, keyPath, name, {RegistryType::String, text});
}

std::string ReadSettingInt(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                           int defaultValue) {
  std::string text = ReadStoredText(registry, keyPath, name);
  return text.empty() ? IntToText(defaultValue) : text;
}

std::string ReadSettingText(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                            const std::string& defaultText) {
  std::string text = ReadStoredText(registry, keyPath, name);
  return text.empty() ? defaultText : text;
}

std::string IntToText(int value) { return std::to_string(value); }

int TextToInt(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) throw SettingsError(InvalidInteger(text));
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') throw SettingsError(InvalidInteger(text));
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) throw SettingsError(InvalidInteger(text));
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) throw SettingsError(InvalidInteger(text));
  return static_cast<int>(value);
}

}  // namespace quenda
