// The about box: its texts from the script, the link lines it shows and what a click opens.
#include "installer/info_controller.h"

#include <gtest/gtest.h>

#include "installer/wizard_controller.h"
#include "platform/files.h"
#include "tests/installer/temp_folder.h"

namespace wizard_test {
namespace {

using installer::InfoLinkId;
using Log = std::vector<std::string>;

// The about box on a script of the given text, with itself as the host.
struct InfoBox final : installer::InfoHost {
  explicit InfoBox(const std::string& scriptText) {
    EXPECT_TRUE(platform::WriteWholeFile(folder / "install.ini", scriptText));
    script.Open(folder / "install.ini");
    info.FormCreate(script);
  }
  void ApplyScriptFont() override { log.push_back("font"); }
  void RepaintLink(InfoLinkId id) override { log.push_back("repaint " + std::to_string(static_cast<int>(id))); }
  void OpenAddress(const std::string& address) override { log.push_back("open " + address); }
  Log log;
  installer_test::TempFolder folder;
  installer::InstallScript script;
  installer::InfoController info{*this};
};

TEST(InfoAddresses, HttpInFrontUnlessThereInAnyCaseAndMailtoAlways) {
  const std::pair<std::string, std::string> cases[] = {
      {"www.quenda.de", "http://www.quenda.de"}, {"hTtP://x", "hTtP://x"},
      {"https://secure.example", "http://https://secure.example"}, {"http:/", "http://http:/"}, {"", "http://"},
  };
  for (const auto& [text, address] : cases) EXPECT_EQ(installer::WebAddress(text), address) << text;
  EXPECT_EQ(installer::MailAddress("mailto:x"), "mailto:mailto:x");
}

TEST(InfoAbout, ScriptTextsOrDefaultsThePluginLinkLinesOnlyWithTheirKeysAndWhatAClickOpens) {
  // texts: caption, OK, Parcelon line, plug-in name, version, copyright, web link text.
  // full: with the Zelt logo and the plug-in's link lines.
  struct Case { std::string script; Log texts; bool full; };
  const Case cases[] = {
      {"", {"Info", "&OK", "Parcelon", "Unbekanntes Plugin", "Unbekannte Version", "Unbekanntes Copyright", ""}, false},
      {"[Zelt]\r\nEnabled=1\r\n[plugin]\r\nname=Quenda\r\nversion=Version 2.1\r\ncopyright=(c) Q\r\n"
       "www=www.quenda.de\r\nemail=q@quenda.de\r\n[language]\r\nabout=&About && more\r\nok=&Close\r\n",
       {"About  more", "&Close", "Parcelon (With Zelt Extensions)", "Quenda", "Version 2.1", "(c) Q", "www.quenda.de"},
       true},
  };
  for (const Case& c : cases) {
    InfoBox box(c.script);
    const installer::InfoState& s = box.info.state();
    EXPECT_EQ(box.log, Log{"font"});
    EXPECT_EQ((Log{s.caption, s.okbtn, s.parcelonlbl, s.pluginnamelbl, s.pluginversionlbl, s.pluginclbl,
                   s.link(InfoLinkId::PluginWww).text}),
              c.texts);
    EXPECT_EQ(s.zeltimgVisible, c.full);
    // The installer's own links always show, the plug-in's only with their keys.
    for (int i = 0; i < installer::kInfoLinkCount; ++i) EXPECT_EQ(s.links[i].visible, i < 3 || c.full) << i;
    if (!c.full) continue;
    // A click marks the link visited, repaints it, then opens its address. In the order of
    // InfoLinkId: the installer's web and mail links, the unzip link, the plug-in's.
    const std::string opened[] = {std::string("http://") + installer::kInstallerWww,
                                  std::string("mailto:") + installer::kInstallerEmail, installer::kUnzipHomePage,
                                  "http://www.quenda.de", "mailto:q@quenda.de"};
    for (int i = 0; i < installer::kInfoLinkCount; ++i) {
      box.log.clear();
      EXPECT_FALSE(s.links[i].visited);
      box.info.LinkClick(static_cast<InfoLinkId>(i));
      EXPECT_EQ(box.log, (Log{"repaint " + std::to_string(i), "open " + opened[i]}));
      EXPECT_TRUE(s.links[i].visited);
    }
    // Visited stays for the rest of the run; the logo opens the Zelt page and changes nothing.
    box.log.clear();
    box.info.zeltimgClick();
    EXPECT_EQ(box.log, Log{std::string("open ") + installer::kZeltInfoAddress});
    for (int i = 0; i < installer::kInfoLinkCount; ++i) EXPECT_TRUE(s.links[i].visited);
  }
}

}  // namespace
}  // namespace wizard_test
