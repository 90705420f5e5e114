// The about box: its texts from the script, the link lines it shows and what a click opens.
#include "installer/info_controller.h"

#include <gtest/gtest.h>

#include "installer/wizard_controller.h"
#include "platform/files.h"
#include "tests/installer/temp_folder.h"

namespace wizard_test {
namespace {

using installer::InfoLinkId;

class FakeInfoHost final : public installer::InfoHost {
 public:
  void ApplyScriptFont() override { log.push_back("font"); }
  void RepaintLink(InfoLinkId id) override { log.push_back("repaint " + std::to_string(static_cast<int>(id))); }
  void OpenAddress(const std::string& address) override { log.push_back("open " + address); }
  std::vector<std::string> log;
};

struct InfoBox {
  explicit InfoBox(const std::string& scriptText) {
    if (!scriptText.empty()) {
      platform::WriteWholeFile(folder / "install.ini", scriptText);
      script.Open(folder / "install.ini");
    }
    info.FormCreate(script);
  }
  installer_test::TempFolder folder;
  installer::InstallScript script;
  FakeInfoHost host;
  installer::InfoController info{host};
};

TEST(InfoAddresses, HttpInFrontUnlessThereInAnyCaseAndMailtoAlways) {
  const std::pair<std::string, std::string> cases[] = {
      {"www.quenda.de", "http://www.quenda.de"},
      {"http://www.quenda.de/", "http://www.quenda.de/"},
      {"HTTP://WWW.QUENDA.DE", "HTTP://WWW.QUENDA.DE"},
      {"hTtP://x", "hTtP://x"},
      {"https://secure.example", "http://https://secure.example"},
      {"ftp://files.example", "http://ftp://files.example"},
      {"http:/", "http://http:/"},
      {"", "http://"},
  };
  for (const auto& [text, address] : cases) EXPECT_EQ(installer::WebAddress(text), address) << text;
  EXPECT_EQ(installer::MailAddress("me@quenda.de"), "mailto:me@quenda.de");
  EXPECT_EQ(installer::MailAddress("mailto:x"), "mailto:mailto:x");
}

TEST(InfoSetUp, ScriptTextsOrDefaultsAndThePluginLinkLinesOnlyWithTheirKeys) {
  // texts: caption, OK, Parcelon line, plug-in name, version, copyright, web link text.
  struct Case { std::string script; std::vector<std::string> texts; bool zelt, pluginLinks; };
  const Case cases[] = {
      {"",
       {"Info", "&OK", "Parcelon", "Unbekanntes Plugin", "Unbekannte Version", "Unbekanntes Copyright", ""},
       false, false},
      {"[Zelt]\r\nEnabled=1\r\n[plugin]\r\nname=Quenda\r\nversion=Version 2.1\r\ncopyright=(c) Q\r\n"
       "www=www.quenda.de\r\nemail=q@quenda.de\r\n[language]\r\nabout=&About && more\r\nok=&Close\r\n",
       {"About  more", "&Close", "Parcelon (With Zelt Extensions)", "Quenda", "Version 2.1", "(c) Q", "www.quenda.de"},
       true, true},
  };
  for (const Case& c : cases) {
    InfoBox box(c.script);
    const installer::InfoState& s = box.info.state();
    EXPECT_EQ(box.host.log, std::vector<std::string>{"font"});
    EXPECT_EQ((std::vector<std::string>{s.caption, s.okbtn, s.parcelonlbl, s.pluginnamelbl, s.pluginversionlbl,
                                        s.pluginclbl, s.link(InfoLinkId::PluginWww).text}),
              c.texts);
    EXPECT_EQ(s.zeltimgVisible, c.zelt);
    EXPECT_EQ(s.link(InfoLinkId::PluginWww).visible, c.pluginLinks);
    EXPECT_EQ(s.link(InfoLinkId::PluginEmail).visible, c.pluginLinks);
    EXPECT_TRUE(s.link(InfoLinkId::InstallerWww).visible);
    EXPECT_TRUE(s.link(InfoLinkId::InstallerEmail).visible);
    EXPECT_EQ(s.link(InfoLinkId::Unzip).text, "KuduUnzip");
  }
}

TEST(InfoLinks, AClickMarksTheLinkVisitedRepaintsItThenOpensItsAddress) {
  InfoBox box("[plugin]\r\nwww=HTTP://Quenda.de\r\nemail=q@quenda.de\r\n");
  const std::pair<InfoLinkId, std::string> cases[] = {
      {InfoLinkId::InstallerWww, std::string("open http://") + installer::kInstallerWww},
      {InfoLinkId::InstallerEmail, std::string("open mailto:") + installer::kInstallerEmail},
      {InfoLinkId::Unzip, std::string("open ") + installer::kUnzipHomePage},
      {InfoLinkId::PluginWww, "open HTTP://Quenda.de"},
      {InfoLinkId::PluginEmail, "open mailto:q@quenda.de"},
  };
  for (const auto& [id, opened] : cases) {
    box.host.log.clear();
    EXPECT_FALSE(box.info.state().link(id).visited);
    box.info.LinkClick(id);
    EXPECT_EQ(box.host.log, (std::vector<std::string>{"repaint " + std::to_string(static_cast<int>(id)), opened}));
    EXPECT_TRUE(box.info.state().link(id).visited);
  }
  // Visited stays for the rest of the run; the logo opens the Zelt page and changes nothing.
  box.host.log.clear();
  box.info.zeltimgClick();
  EXPECT_EQ(box.host.log, std::vector<std::string>{std::string("open ") + installer::kZeltInfoAddress});
  for (int i = 0; i < installer::kInfoLinkCount; ++i) EXPECT_TRUE(box.info.state().links[i].visited);
}

}  // namespace
}  // namespace wizard_test
