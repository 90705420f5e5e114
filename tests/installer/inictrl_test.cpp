// The install script: defaults, the "\n" rule, placeholders, the Zelt switch and the fonts.
#include "installer/inictrl.h"

#include <gtest/gtest.h>

#include <set>
#include <span>

#include "installer/fontman.h"
#include "platform/font_list.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace {

using installer::InstallScript;
using installer::ScriptKeyId;

// The script with the given text; nullptr: a script file that does not exist.
InstallScript ScriptWith(installer_test::TempFolder& temp, const char* text) {
  std::string path = temp / "install.ini";
  EXPECT_TRUE(!text || platform::WriteWholeFile(path, text));
  InstallScript script;
  script.Open(path);
  return script;
}

TEST(InstallScript, SampleScriptNamesEveryKey) {
  InstallScript script;
  script.Open(std::string(QUENDA_SOURCE_DIR) + "/examples/install.ini");
  for (const installer::ScriptKey& key : std::span(installer::kScriptKeys, installer::kScriptKeyCount)) {
    EXPECT_TRUE(script.profile().Lookup(key.section, key.key).has_value()) << key.section << " " << key.key;
  }
  // The sample is in Windows-1252, and its texts take the placeholders.
  EXPECT_EQ(script.ReadTextWithPlaceholders(ScriptKeyId::Install),
            "Dieses wird jetzt Quenda 1.0 auf Ihrem Computer installieren.");
  EXPECT_EQ(script.ReadText(ScriptKeyId::SelectEditor), "Bitte w\xE4hlen Sie Ihren &Editor aus:");
}

TEST(InstallScript, TextsAsTheWizardShowsThem) {
  struct Case { const char* what; const char* script; ScriptKeyId id; std::string expected; };
  const Case cases[] = {
      {"missing script: default caption", nullptr, ScriptKeyId::Caption, "Parcelon - Unbekanntes Plugin"},
      {"empty value is not the default", "[plugin]\r\nname=\r\n", ScriptKeyId::PluginName, ""},
      {"backslash n becomes CR LF", "[language]\r\nfinished=C:\\new\\nline\r\n", ScriptKeyId::Finished,
       "C:\r\new\r\nline"},
      {"escaped backslash still breaks", "[language]\r\nnext=a\\\\nb\r\n", ScriptKeyId::Next, "a\\\r\nb"},
      {"placeholder search is case-sensitive, goes on behind each value",
       "[plugin]\r\nname=Q\r\n[language]\r\nwelcome=[Name] [name][name]\r\n", ScriptKeyId::Welcome, "[Name] QQ"},
      {"version holding [name] shows the name twice",
       "[plugin]\r\nname=Q\r\nversion=[name] 1.0\r\n[language]\r\ninstall=[name] [version]\r\n",
       ScriptKeyId::Install, "Q Q 1.0"},
      {"name holding [version] keeps it", "[plugin]\r\nname=Q [version]\r\nversion=1.0\r\n", ScriptKeyId::Install,
       "Dieses wird jetzt Q [version] 1.0 auf Ihrem Computer installieren."},
      {"other texts keep placeholders", "[plugin]\r\nname=Q\r\n[language]\r\nfinished=[name]\r\n",
       ScriptKeyId::Finished, "[name]"},
      {"name holding its own placeholder is inserted once", "[plugin]\r\nname=[name]!\r\n", ScriptKeyId::Caption,
       "Parcelon - [name]!"},
  };
  for (const Case& c : cases) {
    installer_test::TempFolder temp;
    EXPECT_EQ(ScriptWith(temp, c.script).ReadTextWithPlaceholders(c.id), c.expected) << c.what;
  }
}

TEST(InstallScript, ZeltSwitch) {
  const std::pair<const char*, bool> cases[] = {
      {"1", true},    {"0x10", true},  {"$ff", true},         {"X1", true},         {"-1", true},
      {"+7", true},   {"0", false},    {"", false},           {"yes", false},       {"0x", false},
      {"1a", false},  {"0x0", false},  {"2147483648", false}, {"0xFFFFFFFF", true}, {"0x100000000", false},
      {" 1 ", true},  {nullptr, false},
  };
  installer_test::TempFolder temp;
  for (const auto& [value, on] : cases) {
    const std::string text = value ? std::string("[Zelt]\r\nEnabled=") + value + "\r\n" : "[zelt]\r\n";
    EXPECT_EQ(ScriptWith(temp, text.c_str()).ZeltEnabled(), on) << "Enabled=" << (value ? value : "(none)");
  }
}

TEST(ScriptFonts, StandardThenFallbackThenMsSansSerif) {
  const std::vector<std::string> installed = {"Tahoma", "Arial", "MS Sans Serif"};
  struct Case { const char* what, *script; std::vector<std::string> families; std::string chosen, fallback; };
  const std::vector<Case> cases = {
      {"defaults, Tahoma installed", "", installed, "Tahoma", "MS Sans Serif"},
      {"stdfont missing, altfont installed", "[fonts]\r\nstdfont=No\r\naltfont=arial\r\n", installed, "arial", "arial"},
      {"neither installed", "[fonts]\r\nstdfont=No\r\naltfont=Gone\r\n", installed, "MS Sans Serif", "MS Sans Serif"},
      {"stdfont compared without case", "[fonts]\r\nstdfont=TAHOMA\r\n", installed, "TAHOMA", "MS Sans Serif"},
      {"Default always counts", "[fonts]\r\nstdfont=Default\r\n", {}, "Default", "MS Sans Serif"},
      {"MS Sans Serif used even when missing", "", {}, "MS Sans Serif", "MS Sans Serif"},
  };
  installer_test::TempFolder temp;
  for (const Case& c : cases) {
    installer::ScriptFonts fonts = installer::LoadScriptFonts(ScriptWith(temp, c.script), c.families);
    EXPECT_EQ(fonts.fallbackFont, c.fallback) << c.what;
    EXPECT_EQ(installer::ChooseScriptFont(fonts, c.families), c.chosen) << c.what;
  }
}

#ifdef _WIN32
TEST(ScriptFonts, SystemListNamesEachFamilyOnce) {
  std::vector<std::string> families = platform::InstalledFontFamilies();
  ASSERT_FALSE(families.empty());
  EXPECT_EQ(std::set<std::string>(families.begin(), families.end()).size(), families.size());
}
#endif

}  // namespace
