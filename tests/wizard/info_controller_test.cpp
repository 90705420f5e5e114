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

TEST(InfoWebAddress, PutsHttpInFrontUnlessItIsThereInAnyCase) {
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
}

TEST(InfoMailAddress, IsMailtoAndTheTextUnexamined) {
  EXPECT_EQ(installer::MailAddress("me@quenda.de"), "mailto:me@quenda.de");
  EXPECT_EQ(installer::MailAddress("mailto:x"), "mailto:mailto:x");
}

TEST(InfoSetUp, MissingPluginKeysGiveDefaultsAndHideThePluginLinkLines) {
  InfoBox box("");
  const installer::InfoState& s = box.info.state();
  EXPECT_EQ(box.host.log, std::vector<std::string>{"font"});
  EXPECT_EQ(s.caption, "Info");
  EXPECT_EQ(s.okbtn, "&OK");
  EXPECT_EQ(s.parcelonlbl, "Parcelon");
  EXPECT_FALSE(s.zeltimgVisible);
  EXPECT_EQ(s.pluginnamelbl, "Unbekanntes Plugin");
  EXPECT_EQ(s.pluginversionlbl, "Unbekannte Version");
  EXPECT_EQ(s.pluginclbl, "Unbekanntes Copyright");
  EXPECT_FALSE(s.link(InfoLinkId::PluginWww).visible);
  EXPECT_FALSE(s.link(InfoLinkId::PluginEmail).visible);
  EXPECT_TRUE(s.link(InfoLinkId::InstallerWww).visible);
  EXPECT_TRUE(s.link(InfoLinkId::InstallerEmail).visible);
  EXPECT_EQ(s.link(InfoLinkId::Unzip).text, "KuduUnzip");
}

TEST(InfoSetUp, ScriptTextsAndZeltModeShowUp) {
  InfoBox box(
      "[Zelt]\r\nEnabled=1\r\n[plugin]\r\nname=Quenda\r\nversion=Version 2.1\r\ncopyright=(c) Q\r\n"
      "www=www.quenda.de\r\nemail=q@quenda.de\r\n[language]\r\nabout=&About && more\r\nok=&Close\r\n");
  const installer::InfoState& s = box.info.state();
  EXPECT_EQ(s.caption, "About  more");
  EXPECT_EQ(s.okbtn, "&Close");
  EXPECT_EQ(s.parcelonlbl, "Parcelon (With Zelt Extensions)");
  EXPECT_TRUE(s.zeltimgVisible);
  EXPECT_EQ(s.pluginnamelbl, "Quenda");
  EXPECT_EQ(s.pluginversionlbl, "Version 2.1");
  EXPECT_EQ(s.pluginclbl, "(c) Q");
  EXPECT_TRUE(s.link(InfoLinkId::PluginWww).visible);
  EXPECT_EQ(s.link(InfoLinkId::PluginWww).text, "www.quenda.de");
  EXPECT_TRUE(s.link(InfoLinkId::PluginEmail).visible);
}

TEST(InfoLinks, AClickMarksTheLinkVisitedRepaintsItThenOpensItsAddress) {
  InfoBox box("[plugin]\r\nwww=HTTP://Quenda.de\r\nemail=q@quenda.de\r\n");
  box.host.log.clear();
  struct Case {
    InfoLinkId id;
    std::string opened;
  };
  const Case cases[] = {
      {InfoLinkId::InstallerWww, std::string("open http://") + installer::kInstallerWww},
      {InfoLinkId::InstallerEmail, std::string("open mailto:") + installer::kInstallerEmail},
      {InfoLinkId::Unzip, std::string("open ") + installer::kUnzipHomePage},
      {InfoLinkId::PluginWww, "open HTTP://Quenda.de"},
      {InfoLinkId::PluginEmail, "open mailto:q@quenda.de"},
  };
  for (const Case& c : cases) {
    box.host.log.clear();
    EXPECT_FALSE(box.info.state().link(c.id).visited);
    box.info.LinkClick(c.id);
    EXPECT_EQ(box.host.log, (std::vector<std::string>{"repaint " + std::to_string(static_cast<int>(c.id)), c.opened}));
    EXPECT_TRUE(box.info.state().link(c.id).visited);
  }
  // Visited stays for the rest of the run; the logo opens the Zelt page and changes nothing.
  box.host.log.clear();
  box.info.zeltimgClick();
  EXPECT_EQ(box.host.log, std::vector<std::string>{std::string("open ") + installer::kZeltInfoAddress});
  for (int i = 0; i < installer::kInfoLinkCount; ++i) EXPECT_TRUE(box.info.state().links[i].visited);
}

}  // namespace
}  // namespace wizard_test
