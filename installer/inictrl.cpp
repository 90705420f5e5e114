#include "installer/inictrl.h"

#include "installer/sfx.h"

namespace installer {

void InstallScript::Open(const std::string& path) {
  profile_ = path.empty() ? ProfileFile{} : ProfileFile::Load(path);
  int32_t number = 0;
  zeltEnabled_ = ParseScriptInteger(ReadText(ScriptKeyId::ZeltEnabled), number) && number != 0;
}

void InstallScript::Close() {
  profile_ = ProfileFile{};
}

std::string InstallScript::ReadText(std::string_view section, std::string_view key,
                                    std::string_view defaultText) const {
  std::optional<std::string> value = profile_.Lookup(section, key);
  return ReplaceAll(value ? *value : std::string(defaultText), "\\n", "\r\n");
}

std::string InstallScript::ReadText(ScriptKeyId id) const {
  const ScriptKey& entry = GetScriptKey(id);
  return ReadText(entry.section, entry.key, entry.defaultText);
}

std::string InstallScript::ReadTextWithPlaceholders(ScriptKeyId id) const {
  std::string text = ReadText(id);
  switch (id) {
    case ScriptKeyId::Install:
      text = ReplaceAll(std::move(text), "[version]", ReadText(ScriptKeyId::PluginVersion));
      [[fallthrough]];
    case ScriptKeyId::Caption:
    case ScriptKeyId::Welcome:
      return ReplaceAll(std::move(text), "[name]", ReadText(ScriptKeyId::PluginName));
    default:
      return text;
  }
}

std::string ReplaceAll(std::string text, std::string_view placeholder, std::string_view value) {
  if (placeholder.empty()) return text;
  size_t from = 0;
  for (;;) {
    size_t at = text.find(placeholder, from);
    if (at == std::string::npos) return text;
    text.replace(at, placeholder.size(), value);
    from = at + value.size();
  }
}

bool ParseScriptInteger(std::string_view text, int32_t& number) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && (text.front() == 'x' || text.front() == 'X')) {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  uint64_t magnitude = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (base == 10) {
    // Decimal numbers must fit the signed range; hexadecimal ones may use all 32 bits.
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
  }
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  number = static_cast<int32_t>(bits);
  return true;
}

InstallScript& TheInstallScript() {
  static InstallScript script;
  return script;
}

void OpenInstallScript() {
  // Without an unpack folder there is no script: every text takes its default (a relative
  // "install.ini" would read whatever file the current folder holds).
  TheInstallScript().Open(UnpackFolder().empty() ? std::string() : UnpackFolder() + "install.ini");
}

void CloseInstallScript() { TheInstallScript().Close(); }

}  // namespace installer
