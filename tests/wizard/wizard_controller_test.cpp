#include "installer/wizard_controller.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "installer/pluginfolder.h"
#include "tests/wizard/fake_wizard.h"

namespace wizard_test {
namespace {

using installer::WizardMode;
using installer::WizardPage;

constexpr char kSep = platform::kPathSeparator;

class WizardTest : public ::testing::Test {
 protected:
  // Creates the wizard and forgets the creation's log.
  void Create() {
    wizard.FormCreate();
    log.clear();
  }
  // Leaves page 0 and lands on the folder page with the given folder text.
  void ToFolderPage(const std::string& folder) {
    Create();
    wizard.nextbtnClick();
    ASSERT_EQ(wizard.state().page, WizardPage::Folder);
    wizard.folderebChange(folder);
    log.clear();
    host.messages.clear();
  }
  bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
  size_t Position(const std::string& entry) const {
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }

  std::vector<std::string> log;
  FakeHost host{log};
  FakeSteps steps{log};
  installer::WizardController wizard{host, steps};
};

TEST(WizardMessageTitles, AreTheFixedGermanTitles) {
  EXPECT_STREQ(installer::MessageTitle(installer::MessageKind::Information), "Information");
  EXPECT_STREQ(installer::MessageTitle(installer::MessageKind::Error), "Fehler");
  EXPECT_STREQ(installer::MessageTitle(installer::MessageKind::Confirmation), "Best\xE4tigung");
}

TEST_F(WizardTest, CreationUnpacksThenOpensTheScriptThenAppliesTheFont) {
  wizard.FormCreate();
  std::vector<std::string> expected{"create unpack folder", "unpack container", "open script", "load fonts", "font"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(wizard.confirmquit());
  EXPECT_EQ(wizard.state().page, WizardPage::Welcome);
}

TEST_F(WizardTest, FailedUnpackingAsksToEndAndStillFinishesTheSetUpWithDefaults) {
  struct Case {
    bool createOk, unpackOk;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {false, true, {"create unpack folder", "end application", "unpack container", "open script", "load fonts", "font"}},
      {true, false,
       {"create unpack folder", "unpack container", "end application", "delete unpack folder", "open script",
        "load fonts", "font"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> caseLog;
    FakeHost caseHost(caseLog);
    FakeSteps caseSteps(caseLog);
    caseSteps.createOk = c.createOk;
    caseSteps.unpackOk = c.unpackOk;
    installer::WizardController caseWizard(caseHost, caseSteps);
    caseWizard.FormCreate();
    EXPECT_EQ(caseLog, c.expected);
    EXPECT_EQ(caseWizard.state().caption, "Parcelon - Unbekanntes Plugin");
    EXPECT_EQ(caseWizard.state().nextbtn.text, "&Weiter");
  }
}

TEST_F(WizardTest, StandardModeListsTheKnownEditorsAndPreselectsTheSecond) {
  Create();
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(s.mode, WizardMode::Standard);
  ASSERT_EQ(s.editors.size(), 6u);
  for (int i = 0; i < installer::kKnownEditorCount; ++i) EXPECT_EQ(s.editors[i], installer::kKnownEditors[i].displayText);
  EXPECT_EQ(s.editors[5], "Anderer Editor");
  EXPECT_EQ(s.selectedEditor, 1);
  EXPECT_TRUE(s.homepagebtn.visible);
  EXPECT_EQ(s.homepagebtn.text, "&Homepage");
  EXPECT_FALSE(s.zeltimgVisible);
  EXPECT_EQ(s.selecteditorlbl, "Bitte w\xE4hlen Sie Ihren &Editor aus:");
}

TEST_F(WizardTest, ScriptWithoutLanguageSectionGivesEveryDefaultText) {
  steps.scriptText = "[plugin]\r\nname=Quenda\r\nversion=2.1\r\n";
  Create();
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(s.caption, "Parcelon - Quenda");
  EXPECT_EQ(s.welcomelbl, "Willkommen zum Quenda Installationsprogramm!");
  EXPECT_EQ(s.installlbl, "Dieses wird jetzt Quenda 2.1 auf Ihrem Computer installieren.");
  EXPECT_EQ(s.searchingfolderlbl, "Pluginordner wird gesucht...");
  EXPECT_EQ(s.selectfolderlbl, "Bitte w\xE4hlen Sie Ihren &Pluginordner aus:");
  EXPECT_EQ(s.browsebtn, "&Durchsuchen...");
  EXPECT_EQ(s.extractingfileslbl, "Dateien werden entpackt...");
  EXPECT_EQ(s.aboutbtn.text, "&Info");
  EXPECT_EQ(s.cancelbtn.text, "&Abbrechen");
  EXPECT_EQ(s.finishedlbl, "Die Installation ist abgeschlossen.");
  EXPECT_EQ(wizard.fileoktext(), "OK");
  EXPECT_EQ(wizard.fileerrortext(), "Fehler");
}

TEST_F(WizardTest, EnglishScriptGivesEveryTextWithPlaceholdersReplaced) {
  steps.scriptText =
      "[plugin]\r\nname=Quenda\r\nversion=2.1\r\n"
      "[language]\r\ncaption=[name] Setup ([name])\r\nwelcome=Welcome to [name]!\r\n"
      "install=This installs [name] [version].\r\nselecteditor=Choose your &editor:\r\n"
      "unknowneditor=Other editor\r\nhomepage=&Home page\r\nsearchingfolder=Searching...\r\n"
      "selectfolder=Choose the &folder:\r\nbrowse=&Browse...\r\nextractingfiles=Extracting...\r\n"
      "about=&About\r\nnext=&Next\r\ncancel=&Cancel\r\nfinished=Done.\r\nfileok=fine\r\nfileerror=failed\r\n"
      "quit=&Quit\r\nfinishedsuccess=All well.\\nBye.\r\n";
  Create();
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(s.caption, "Quenda Setup (Quenda)");
  EXPECT_EQ(s.welcomelbl, "Welcome to Quenda!");
  EXPECT_EQ(s.installlbl, "This installs Quenda 2.1.");
  EXPECT_EQ(s.selecteditorlbl, "Choose your &editor:");
  EXPECT_EQ(s.editors.back(), "Other editor");
  EXPECT_EQ(s.homepagebtn.text, "&Home page");
  EXPECT_EQ(s.searchingfolderlbl, "Searching...");
  EXPECT_EQ(s.selectfolderlbl, "Choose the &folder:");
  EXPECT_EQ(s.browsebtn, "&Browse...");
  EXPECT_EQ(s.extractingfileslbl, "Extracting...");
  EXPECT_EQ(s.aboutbtn.text, "&About");
  EXPECT_EQ(s.nextbtn.text, "&Next");
  EXPECT_EQ(s.cancelbtn.text, "&Cancel");
  EXPECT_EQ(s.finishedlbl, "Done.");
  EXPECT_EQ(wizard.fileoktext(), "fine");
  EXPECT_EQ(wizard.fileerrortext(), "failed");
}

TEST_F(WizardTest, ZeltModeListsTheRegisteredEditorsAndProposesTheChosenOnesFolder) {
  steps.scriptText = "[Zelt]\r\nEnabled=1\r\n";
  steps.zeltEditors = {{"One", "C:\\one\\"}, {"Two", "C:\\two\\"}, {"Three", "C:\\three\\"}};
  Create();
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(s.mode, WizardMode::Zelt);
  EXPECT_EQ(s.editors, (std::vector<std::string>{"One", "Two", "Three", "Anderer Editor"}));
  EXPECT_EQ(s.selectedEditor, 0);
  EXPECT_TRUE(s.zeltimgVisible);
  EXPECT_FALSE(s.homepagebtn.visible);
  EXPECT_EQ(s.selecteditorlbl, "Bitte w\xE4hlen Sie den gew\xFCnschten &Editor aus:");
  EXPECT_EQ(wizard.zeltfolderlist().size(), 4u);

  wizard.editorselectcbChange(2);
  wizard.nextbtnClick();
  EXPECT_EQ(s.page, WizardPage::Folder);
  EXPECT_EQ(s.folderText, "C:\\three\\");
  EXPECT_TRUE(s.nextbtn.enabled);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(Logged("find folder 2"));
}

TEST_F(WizardTest, UnknownEditorOrEmptyZeltListLeadsToTheMessageAndAnEmptyFolderPage) {
  struct Case {
    std::string script;
    int select;
  };
  const Case cases[] = {{"", 5}, {"[Zelt]\r\nEnabled=1\r\n", 0}};
  for (const Case& c : cases) {
    std::vector<std::string> caseLog;
    FakeHost caseHost(caseLog);
    FakeSteps caseSteps(caseLog);
    caseSteps.scriptText = c.script;
    installer::WizardController caseWizard(caseHost, caseSteps);
    caseWizard.FormCreate();
    EXPECT_EQ(caseWizard.state().editors.size(), c.script.empty() ? 6u : 1u);
    caseWizard.editorselectcbChange(c.select);
    caseWizard.nextbtnClick();
    ASSERT_EQ(caseHost.messages.size(), 1u);
    EXPECT_EQ(caseHost.messages[0].kind, installer::MessageKind::Information);
    EXPECT_EQ(caseHost.messages[0].text,
              "Ihr Pluginordner konnte leider nicht gefunden werden.\r\nBitte w\xE4hlen Sie ihn manuell aus.");
    EXPECT_EQ(caseWizard.state().page, WizardPage::Folder);
    EXPECT_EQ(caseWizard.state().folderText, "");
    EXPECT_FALSE(caseWizard.state().nextbtn.enabled);
    EXPECT_TRUE(caseWizard.state().cancelbtn.enabled);
  }
}

TEST_F(WizardTest, SearchPagePaintsDisablesAnimatesThenLooksUpThePreselectedEditor) {
  steps.foundFolder = "C:\\editor\\Plugins\\";
  Create();
  wizard.nextbtnClick();
  std::vector<std::string> expected{"repaint page", "hourglass",   "repaint next", "repaint cancel",
                                    "repaint about", "animate",    "find folder 1", "still",
                                    "arrow",         "focus folder"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(host.messages.empty());
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(s.page, WizardPage::Folder);
  EXPECT_EQ(s.folderText, "C:\\editor\\Plugins\\");
  EXPECT_TRUE(s.nextbtn.enabled);
  EXPECT_TRUE(s.cancelbtn.enabled);
  EXPECT_TRUE(s.aboutbtn.enabled);
  EXPECT_TRUE(wizard.confirmquit());
}

TEST_F(WizardTest, NextIsEnabledExactlyWhenTheTrimmedFolderTextIsNotEmpty) {
  ToFolderPage("");
  const std::pair<std::string, bool> cases[] = {
      {"", false}, {"   ", false}, {"\t \r\n", false}, {"x", true}, {"  C:\\a  ", true}};
  for (const auto& [text, enabled] : cases) {
    wizard.folderebChange(text);
    EXPECT_EQ(wizard.state().nextbtn.enabled, enabled) << "[" << text << "]";
  }
}

TEST_F(WizardTest, NextOnTheFolderPageNormalisesAndCreatesMissingParents) {
  installer_test::TempFolder temp;
  std::string target = temp.path() + "one" + kSep + "two" + kSep + "three";
  ToFolderPage("  " + target + " \t");
  wizard.nextbtnClick();
  EXPECT_TRUE(platform::FolderExists(target));
  EXPECT_EQ(wizard.state().folderText, target + kSep);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(Logged("extract into " + target + kSep));
  EXPECT_EQ(wizard.state().page, WizardPage::Finished);
}

TEST_F(WizardTest, NextOnAnExistingFolderGoesOnWithOneTrailingSeparator) {
  installer_test::TempFolder temp;
  ToFolderPage(temp.path());
  wizard.nextbtnClick();
  EXPECT_EQ(wizard.state().folderText, temp.path());
  EXPECT_TRUE(Logged("extract into " + temp.path()));
}

TEST_F(WizardTest, FolderThatCannotBeMadeShowsTheErrorAndStaysWithTheNormalisedText) {
  installer_test::TempFolder temp;
  // A plain file where a parent folder should be.
  ASSERT_TRUE(platform::WriteWholeFile(temp / "blocker", "x"));
  std::string target = temp.path() + "blocker" + kSep + "plugins";
  ToFolderPage(" " + target);
  wizard.nextbtnClick();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, installer::MessageKind::Error);
  EXPECT_EQ(host.messages[0].text, "Der Pluginordner existiert nicht und konnte auch nicht erstellt werden.");
  EXPECT_EQ(wizard.state().page, WizardPage::Folder);
  EXPECT_EQ(wizard.state().folderText, target + kSep);
  EXPECT_FALSE(Logged("extract into " + target + kSep));
  EXPECT_TRUE(wizard.state().nextbtn.enabled);
}

TEST_F(WizardTest, SuccessfulExtractionShowsTheRowsPausesThenFinishes) {
  installer_test::TempFolder temp;
  steps.members = {{true, "a.dll"}, {true, "b.dll"}};
  ToFolderPage(temp.path());
  wizard.nextbtnClick();
  std::vector<std::string> expected{"repaint page",  "hourglass",    "repaint next",
                                    "repaint cancel", "repaint about", "extract into " + temp.path(),
                                    "repaint list",   "repaint list", "arrow",
                                    "pause 2000"};
  EXPECT_EQ(log, expected);
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(wizard.extractingfileslb().rows(),
            (std::vector<std::string>{"1" + temp.path() + "b.dll", "1" + temp.path() + "a.dll"}));
  EXPECT_EQ(s.page, WizardPage::Finished);
  EXPECT_EQ(s.completelbl.substr(0, 43), "Die Installation wurde erfolgreich beendet.");
  EXPECT_FALSE(s.nextbtn.visible);
  EXPECT_EQ(s.cancelbtn.text, "&Beenden");
  EXPECT_TRUE(s.cancelbtn.enabled);
  EXPECT_TRUE(s.aboutbtn.enabled);
  EXPECT_FALSE(wizard.confirmquit());
  // The last page ends without a question.
  EXPECT_TRUE(wizard.FormClose());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(Logged("delete unpack folder"));
}

TEST_F(WizardTest, FailedExtractionWaitsOnItsPageForNext) {
  installer_test::TempFolder temp;
  steps.members = {{true, "a.dll"}, {false, "b.dll"}};
  ToFolderPage(temp.path());
  wizard.nextbtnClick();
  const installer::WizardState& s = wizard.state();
  EXPECT_EQ(s.page, WizardPage::Extract);
  EXPECT_FALSE(Logged("pause 2000"));
  EXPECT_EQ(s.completelbl.substr(0, 33), "Beim Entpacken einer oder mehrere");
  EXPECT_TRUE(s.nextbtn.enabled);
  EXPECT_FALSE(s.cancelbtn.enabled);
  EXPECT_FALSE(wizard.EscapeCloses());
  EXPECT_TRUE(s.aboutbtn.enabled);
  EXPECT_TRUE(wizard.confirmquit());
  EXPECT_EQ(wizard.extractingfileslb().rows()[0], "0" + temp.path() + "b.dll");

  // The close box still asks there.
  host.confirmAnswer = false;
  EXPECT_FALSE(wizard.FormClose());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, installer::MessageKind::Confirmation);

  wizard.nextbtnClick();
  EXPECT_EQ(s.page, WizardPage::Finished);
  EXPECT_EQ(s.completelbl.substr(0, 33), "Beim Entpacken einer oder mehrere");
  EXPECT_TRUE(s.cancelbtn.enabled);
  EXPECT_TRUE(wizard.EscapeCloses());
  EXPECT_EQ(std::count(log.begin(), log.end(), "extract into " + temp.path()), 1);
}

TEST_F(WizardTest, CloseOnTheFirstPagesAsksAndNoKeepsEverything) {
  for (int page = 0; page <= 2; ++page) {
    std::vector<std::string> caseLog;
    FakeHost caseHost(caseLog);
    FakeSteps caseSteps(caseLog);
    caseSteps.foundFolder = "C:\\x\\";
    installer::WizardController caseWizard(caseHost, caseSteps);
    caseWizard.FormCreate();
    if (page > 0) caseWizard.nextbtnClick();
    caseLog.clear();
    caseHost.confirmAnswer = false;
    const installer::WizardState before = caseWizard.state();
    EXPECT_FALSE(caseWizard.FormClose());
    ASSERT_EQ(caseHost.messages.size(), 1u);
    EXPECT_EQ(caseHost.messages[0].kind, installer::MessageKind::Confirmation);
    EXPECT_EQ(caseHost.messages[0].text, "M\xF6" "chten Sie die Installation des Plugins wirklich abbrechen?");
    EXPECT_EQ(caseLog, std::vector<std::string>{"message Best\xE4tigung"});
    EXPECT_EQ(caseWizard.state().page, before.page);
    EXPECT_EQ(caseWizard.state().folderText, before.folderText);

    caseHost.confirmAnswer = true;
    EXPECT_TRUE(caseWizard.FormClose());
    std::vector<std::string> expected{"message Best\xE4tigung", "message Best\xE4tigung", "close script",
                                      "delete unpack folder"};
    EXPECT_EQ(caseLog, expected);
  }
}

TEST_F(WizardTest, CloseDuringTheExtractionIsRefusedAndANestedExtractionCannotStart) {
  installer_test::TempFolder temp;
  steps.members = {{true, "a.dll"}, {true, "b.dll"}};
  std::vector<bool> closeAnswers;
  steps.duringMember = [&] {
    closeAnswers.push_back(wizard.FormClose());
    wizard.nextbtnClick();
  };
  ToFolderPage(temp.path());
  wizard.nextbtnClick();
  EXPECT_EQ(closeAnswers, (std::vector<bool>{false, false}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(Logged("close script"));
  EXPECT_FALSE(Logged("delete unpack folder"));
  EXPECT_EQ(std::count(log.begin(), log.end(), "extract into " + temp.path()), 1);
  EXPECT_EQ(wizard.state().page, WizardPage::Finished);
  EXPECT_TRUE(wizard.FormClose());
  EXPECT_TRUE(Logged("delete unpack folder"));
}

TEST_F(WizardTest, BrowseTakesTheChosenFolderAndCancelChangesNothing) {
  ToFolderPage("");
  wizard.browsebtnClick();
  EXPECT_EQ(host.browseTitles, std::vector<std::string>{"Bitte w\xE4hlen Sie Ihren Pluginordner aus:"});
  EXPECT_EQ(wizard.state().folderText, "");
  EXPECT_FALSE(wizard.state().nextbtn.enabled);
  host.browseAnswer = "C:\\chosen";
  wizard.browsebtnClick();
  EXPECT_EQ(wizard.state().folderText, "C:\\chosen");
  EXPECT_TRUE(wizard.state().nextbtn.enabled);
}

TEST_F(WizardTest, HomePageOpensTheChosenMakersPageAndNothingForTheOtherEditor) {
  Create();
  for (int i = 0; i < 6; ++i) {
    host.opened.clear();
    wizard.editorselectcbChange(i);
    wizard.homepagebtnClick();
    if (i < installer::kKnownEditorCount) {
      EXPECT_EQ(host.opened, std::vector<std::string>{std::string(installer::kKnownEditors[i].homePage)});
    } else {
      EXPECT_TRUE(host.opened.empty());
    }
  }
  host.opened.clear();
  wizard.zeltimgClick();
  EXPECT_EQ(host.opened, std::vector<std::string>{installer::kZeltInfoAddress});
}

TEST_F(WizardTest, NextDoesNothingWhileDisabled) {
  ToFolderPage("   ");
  wizard.nextbtnClick();
  EXPECT_EQ(wizard.state().page, WizardPage::Folder);
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace wizard_test
