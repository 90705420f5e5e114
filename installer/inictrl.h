// The installation script "install.ini": the text lookup with its built-in defaults, the
// "\n" rule, the placeholder substitution and the Zelt switch. The script is read only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "installer/profile_file.h"
#include "installer/script_keys.h"

namespace installer {

// One opened script. A script that is missing or unreadable (or not opened) answers every
// lookup with its default.
class InstallScript {
 public:
  void Open(const std::string& path);
  void Close();

  // The key's value, or the default when the key is absent; then every "\n" becomes CR LF.
  std::string ReadText(std::string_view section, std::string_view key, std::string_view defaultText) const;
  std::string ReadText(ScriptKeyId id) const;
  // The texts that carry placeholders, substituted as the wizard shows them: "[name]" in the
  // caption and the welcome text; "[version]" and then "[name]" in the install text. Any
  // other key is returned as ReadText gives it.
  std::string ReadTextWithPlaceholders(ScriptKeyId id) const;

  // The [Zelt] switch as read when the script was opened.
  bool ZeltEnabled() const { return zeltEnabled_; }
  const ProfileFile& profile() const { return profile_; }

 private:
  ProfileFile profile_;
  bool zeltEnabled_ = false;
};

// Replaces every occurrence of placeholder (case-sensitive) by value. After each
// replacement the search goes on behind the inserted value, so a value that holds the
// placeholder itself is inserted once and never expanded again.
std::string ReplaceAll(std::string text, std::string_view placeholder, std::string_view value);

// Reads a script number: decimal with an optional sign, or hexadecimal after "$", "0x" or "x"
// (either case). The whole text must be the number and fit 32 bits; false otherwise.
bool ParseScriptInteger(std::string_view text, int32_t& number);

// The process-wide script of the running installer.
InstallScript& TheInstallScript();
// Binds the process-wide script to UnpackFolder() + "install.ini" and reads the switch.
void OpenInstallScript();
void CloseInstallScript();

}  // namespace installer
