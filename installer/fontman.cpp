#include "installer/fontman.h"

#include "installer/ansi_text.h"
#include "platform/font_list.h"

namespace installer {

namespace {
constexpr std::string_view kLastResortFont = "MS Sans Serif";

struct FontState {
  ScriptFonts fonts;
  std::vector<std::string> families;
  bool familiesRead = false;
};

FontState& State() {
  static FontState state;
  return state;
}

const std::vector<std::string>& SystemFamilies() {
  FontState& state = State();
  if (!state.familiesRead) {
    state.families = platform::InstalledFontFamilies();
    state.familiesRead = true;
  }
  return state.families;
}
}  // namespace

bool IsFontInstalled(std::string_view family, const std::vector<std::string>& installedFamilies) {
  if (EqualsIgnoreCase(family, "Default")) return true;
  for (const std::string& name : installedFamilies) {
    if (EqualsIgnoreCase(name, family)) return true;
  }
  return false;
}

ScriptFonts LoadScriptFonts(const InstallScript& script, const std::vector<std::string>& installedFamilies) {
  ScriptFonts fonts;
  fonts.standardFont = script.ReadText(ScriptKeyId::StdFont);
  fonts.fallbackFont = script.ReadText(ScriptKeyId::AltFont);
  if (!IsFontInstalled(fonts.fallbackFont, installedFamilies)) fonts.fallbackFont = std::string(kLastResortFont);
  return fonts;
}

std::string ChooseScriptFont(const ScriptFonts& fonts, const std::vector<std::string>& installedFamilies) {
  return IsFontInstalled(fonts.standardFont, installedFamilies) ? fonts.standardFont : fonts.fallbackFont;
}

void LoadScriptFonts() { State().fonts = LoadScriptFonts(TheInstallScript(), SystemFamilies()); }


std::string ScriptFontFamily() { return ChooseScriptFont(State().fonts, SystemFamilies()); }

}  // namespace installer
