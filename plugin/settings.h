// The converter window's options in the registry of the current user. Each operation opens
// its own access to the key (creating the key when it is missing, also when only reading),
// does its one piece of work and lets go again, so nothing is held open while the window is.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/registry.h"

namespace quenda {

inline constexpr const char* kSettingsKey = "Software\\Quenda";

// A stored value that cannot be used as asked: the message is the German report the user
// sees ("'%s' ist kein gültiger Integerwert" or "Ungültiger Datentyp für '%s'").
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stores text as a string value.
void WriteSetting(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                  const std::string& text);

// The stored text, or the default's decimal text when the value is missing or empty.
// Throws SettingsError when the value is not of a string type.
std::string ReadSettingInt(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                           int defaultValue);

// The stored text, or the default text when the value is missing or empty.
// Throws SettingsError when the value is not of a string type.
std::string ReadSettingText(platform::Registry& registry, const std::string& keyPath, const std::string& name,
                            const std::string& defaultText);

// Decimal text of a number: a minus sign when negative, no leading zeros.
std::string IntToText(int value);

// A decimal integer (optional sign, digits, within 32 bits) as a number; throws SettingsError
// with the integer report naming the text otherwise.
int TextToInt(const std::string& text);

}  // namespace quenda
