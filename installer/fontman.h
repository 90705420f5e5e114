// The choice of the user-interface font: the script's standard font where it is installed,
// else its fallback font, else "MS Sans Serif". Applying the family to a window and to its
// labels with a font of their own is the window's work; this gives it the family.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "installer/inictrl.h"

namespace installer {

struct ScriptFonts {
  std::string standardFont;  // [fonts] stdfont
  std::string fallbackFont;  // [fonts] altfont, or "MS Sans Serif" when that is not installed
};

// A font counts as installed when its family is in the list, compared without case. The
// list the system's font dialogs show always holds "Default", so that name counts too.
bool IsFontInstalled(std::string_view family, const std::vector<std::string>& installedFamilies);

ScriptFonts LoadScriptFonts(const InstallScript& script, const std::vector<std::string>& installedFamilies);

// The family a window gets: the standard font if installed, otherwise the fallback font.
std::string ChooseScriptFont(const ScriptFonts& fonts, const std::vector<std::string>& installedFamilies);

// The process-wide fonts of the running installer, read from TheInstallScript() with the
// system's font list; call once after OpenInstallScript().
void LoadScriptFonts();
// The family that ApplyScriptFont gives the wizard, the about box and their own-font labels.
std::string ScriptFontFamily();

}  // namespace installer
