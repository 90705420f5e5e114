// The wizard's page and button flow, texts and close guards against a fake host and steps.
#include "installer/wizard_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "installer/pluginfolder.h"
#include "platform/files.h"
#include "tests/installer/temp_folder.h"

namespace wizard_test {
namespace {

using installer::MessageKind;
using installer::WizardMode;
using installer::WizardPage;
using Log = std::vector<std::string>;
constexpr char kSep = platform::kPathSeparator;
const std::string kReallyQuit = "Best\xE4tigung|M\xF6" "chten Sie die Installation des Plugins wirklich abbrechen?";
const std::string kFinishedSuccess =
    "Die Installation wurde erfolgreich beendet.\r\n\r\nHinweise zum Start des Plugins entnehmen Sie bitte der "
    "Dokumentation Ihres Editors.";
const std::string kErrorExtract =
    "Beim Entpacken einer oder mehrerer Dateien sind Fehler aufgetreten. Wahrscheinlich arbeitet das Plugin nicht "
    "korrekt.\r\n\r\nWenn Sie bereits vorher eine \xE4" "ltere Version des Plugins installiert hatten, so k\xF6" "nnte "
    "diese schreibgesch\xFC" "tzt sein. In diesem Fall entfernen Sie bitte den Schreibschutz und installieren das "
    "Plugin erneut.";
const std::string kCannotMake = "Fehler|Der Pluginordner existiert nicht und konnte auch nicht erstellt werden.";
const std::string kNotFound =
    "Information|Ihr Pluginordner konnte leider nicht gefunden werden.\r\nBitte w\xE4hlen Sie ihn manuell aus.";

// The wizard's host and the installer steps in one, with the wizard on them. What the
// controller asks of them goes into one log, so that tests check the effects and their order.
struct Rig : installer::WizardHost, installer::InstallSteps {
  bool ShowMessage(MessageKind kind, const std::string& text) override {
    log.push_back(std::string("message ") + installer::MessageTitle(kind));
    shown.push_back(installer::MessageTitle(kind) + ("|" + text));
    return kind != MessageKind::Confirmation || confirmAnswer;
  }
  void StateChanged() override {}
  void Repaint(installer::WizardControl control) override {
    static const char* const kNames[] = {"page", "next", "cancel", "about", "list"};
    log.push_back(std::string("repaint ") + kNames[static_cast<int>(control)]);
  }
  void ApplyScriptFont() override { log.push_back("font"); }
  void SetBusyCursor(bool busy) override { log.push_back(busy ? "hourglass" : "arrow"); }
  void SetAnimation(bool playing) override { log.push_back(playing ? "animate" : "still"); }
  void FocusFolderEdit() override { log.push_back("focus folder"); }
  void OpenAddress(const std::string& address) override { opened.push_back(address); }
  bool BrowseForFolder(const std::string& title, std::string& folder) override {
    browseTitles.push_back(title);
    return !browseAnswer.empty() && (folder = browseAnswer, true);
  }
  void Pause(int milliseconds) override { log.push_back("pause " + std::to_string(milliseconds)); }
  void EndApplication() override { log.push_back("end application"); }

  bool CreateUnpackFolder() override { return log.push_back("create unpack folder"), createOk; }
  bool UnpackContainer() override { return log.push_back("unpack container"), unpackOk; }
  void DeleteUnpackFolder() override { log.push_back("delete unpack folder"); }
  void OpenInstallScript() override {
    log.push_back("open script");
    const std::string path = folder / "install.ini";
    if (!scriptText.empty() && platform::WriteWholeFile(path, scriptText)) script.Open(path);
  }
  void LoadScriptFonts() override { log.push_back("load fonts"); }
  void CloseInstallScript() override { log.push_back("close script"), script.Close(); }
  const installer::InstallScript& Script() override { return script; }
  std::string FindPluginFolder(int editor) override {
    return log.push_back("find folder " + std::to_string(editor)), editor == 1 ? foundFolder : std::string();
  }
  void LoadZeltEditorList(const std::string& unknownEditorText, Log& names, Log& folders) override {
    names = zeltNames, folders = zeltFolders;
    names.push_back(unknownEditorText), folders.emplace_back();
  }
  bool ExtractArchive(const std::string& pluginFolder, installer::ExtractionList& list) override {
    log.push_back("extract into " + pluginFolder);
    bool all = true;
    for (const auto& [ok, name] : members) {
      if (duringMember) duringMember();
      list.AddRow(ok, pluginFolder + name);
      all = all && ok;
    }
    return all;
  }

  void Create() { wizard.FormCreate(), log.clear(); }
  // Leaves page 0 and lands on the folder page with the given folder text.
  void ToFolderPage(const std::string& folderText) {
    Create();
    wizard.nextbtnClick();
    ASSERT_EQ(s.page, WizardPage::Folder);
    wizard.folderebChange(folderText);
    log.clear(), shown.clear();
  }
  long Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }

  Log log, shown, opened, browseTitles;  // shown: the messages as "title|text"
  bool confirmAnswer = true;
  std::string browseAnswer;
  bool createOk = true, unpackOk = true;
  std::string scriptText;  // written and opened as the script; empty: no script
  std::string foundFolder;  // for the preselected editor
  Log zeltNames, zeltFolders;  // the registered editors
  std::vector<std::pair<bool, std::string>> members{{true, "Quenda.dll"}};
  std::function<void()> duringMember;  // runs while the extraction is under way
  installer_test::TempFolder folder;
  installer::InstallScript script;
  installer::WizardController wizard{*this, *this};
  const installer::WizardState& s = wizard.state();
};

struct WizardTest : ::testing::Test, Rig {};

TEST(WizardCreation, UnpacksOpensTheScriptAndAppliesTheFontEvenAfterAFailure) {
  const std::pair<std::pair<bool, bool>, Log> cases[] = {
      {{true, true}, {"create unpack folder", "unpack container", "open script", "load fonts", "font"}},
      {{false, true},
       {"create unpack folder", "end application", "unpack container", "open script", "load fonts", "font"}},
      {{true, false},
       {"create unpack folder", "unpack container", "end application", "delete unpack folder", "open script",
        "load fonts", "font"}},
  };
  for (const auto& [ok, expected] : cases) {
    Rig r;
    std::tie(r.createOk, r.unpackOk) = ok;
    r.wizard.FormCreate();
    EXPECT_EQ(r.log, expected);
    EXPECT_EQ(r.s.page, WizardPage::Welcome);
    EXPECT_EQ(r.s.caption, "Parcelon - Unbekanntes Plugin");
    // Closing asks from the first page on; no keeps everything, yes closes the script and
    // deletes the unpack folder.
    r.log.clear(), r.confirmAnswer = false;
    EXPECT_FALSE(r.wizard.FormClose());
    r.confirmAnswer = true;
    EXPECT_TRUE(r.wizard.FormClose());
    EXPECT_EQ(r.log, (Log{"message Best\xE4tigung", "message Best\xE4tigung", "close script", "delete unpack folder"}));
    EXPECT_EQ(r.shown, (Log{kReallyQuit, kReallyQuit}));
  }
}

TEST_F(WizardTest, EveryTextIsTheScriptsWithThePlaceholdersFilledInOrItsDefault) {
  scriptText = "[plugin]\r\nname=Quenda\r\nversion=2.1\r\n[language]\r\ncaption=[name] ([name])\r\nfileok=fine\r\n";
  Create();
  EXPECT_EQ((Log{s.caption, s.welcomelbl, s.installlbl, s.selecteditorlbl, s.editors.back(), s.homepagebtn.text,
                 s.searchingfolderlbl, s.selectfolderlbl, s.browsebtn, s.extractingfileslbl, s.aboutbtn.text,
                 s.nextbtn.text, s.cancelbtn.text, s.finishedlbl, wizard.fileoktext(), wizard.fileerrortext()}),
            (Log{"Quenda (Quenda)", "Willkommen zum Quenda Installationsprogramm!",
                 "Dieses wird jetzt Quenda 2.1 auf Ihrem Computer installieren.",
                 "Bitte w\xE4hlen Sie Ihren &Editor aus:", "Anderer Editor", "&Homepage",
                 "Pluginordner wird gesucht...", "Bitte w\xE4hlen Sie Ihren &Pluginordner aus:", "&Durchsuchen...",
                 "Dateien werden entpackt...", "&Info", "&Weiter", "&Abbrechen", "Die Installation ist abgeschlossen.",
                 "fine", "Fehler"}));
}

// Page 0 in each mode and the folder the search page then proposes: the standard mode searches
// for the chosen known editor, the Zelt mode takes the registered editor's folder. When there
// is none, the message and an empty folder page without Next.
TEST(WizardSearch, EachModeListsItsEditorsAndProposesTheChosenOnesFolderOrSaysItFoundNone) {
  const std::string zelt = "[Zelt]\r\nEnabled=1\r\n";
  struct Case { std::string script; bool registered; int select; std::string folder; };
  const Case cases[] = {{"", false, 1, "C:\\editor\\Plugins\\"}, {"", false, 0, ""}, {"", false, 2, ""},
                        {"", false, 3, ""}, {"", false, 4, ""}, {"", false, 5, ""},
                        {zelt, true, 2, "C:\\three\\"}, {zelt, true, 3, ""}, {zelt, false, 0, ""},
                        {zelt, true, 0, "C:\\one\\"}};
  for (const Case& c : cases) {
    Rig r;
    r.scriptText = c.script, r.foundFolder = "C:\\editor\\Plugins\\";
    if (c.registered) {
      r.zeltNames = {"One", "Two", "Three"}, r.zeltFolders = {"C:\\one\\", "C:\\two\\", "C:\\three\\"};
    }
    r.Create();
    const bool isZelt = !c.script.empty();
    Log editors = isZelt ? r.zeltNames
                         : Log{"HTML Suite 2000", "Meybohm HTML Editor", "Meybohm Proton", "Folium!", "Weaverslave"};
    editors.push_back("Anderer Editor");
    EXPECT_EQ(r.s.editors, editors);
    EXPECT_EQ((std::tuple{r.s.mode, r.s.selectedEditor, r.s.homepagebtn.visible, r.s.zeltimgVisible}),
              (std::tuple{isZelt ? WizardMode::Zelt : WizardMode::Standard, isZelt ? 0 : 1, !isZelt, isZelt}));
    EXPECT_EQ(r.s.selecteditorlbl, isZelt ? "Bitte w\xE4hlen Sie den gew\xFCnschten &Editor aus:"
                                          : "Bitte w\xE4hlen Sie Ihren &Editor aus:");
    r.wizard.editorselectcbChange(c.select);
    r.wizard.zeltimgClick(), r.wizard.homepagebtnClick();  // no home page in Zelt mode nor for "Anderer Editor"
    Log opened{installer::kZeltInfoAddress};
    if (!isZelt && c.select < 5) opened.emplace_back(installer::kKnownEditors[c.select].homePage);
    EXPECT_EQ(r.opened, opened);
    r.wizard.nextbtnClick();
    // The search page paints, disables and animates before the search.
    Log steps{"repaint page", "hourglass", "repaint next", "repaint cancel", "repaint about", "animate"};
    if (!isZelt && c.select < 5) steps.push_back("find folder " + std::to_string(c.select));
    steps.insert(steps.end(), {"still", "arrow"});
    if (c.folder.empty()) steps.push_back("message Information");
    steps.push_back("focus folder");
    EXPECT_EQ(r.log, steps);
    EXPECT_EQ((std::tuple{r.shown, r.s.page, r.s.folderText, r.s.nextbtn.enabled}),
              (std::tuple{c.folder.empty() ? Log{kNotFound} : Log{}, WizardPage::Folder, c.folder, !c.folder.empty()}));
    EXPECT_TRUE(r.s.cancelbtn.enabled && r.s.aboutbtn.enabled);
  }
}

TEST_F(WizardTest, NextWorksExactlyWhenTheTrimmedFolderTextIsNotEmptyAndBrowseFillsIt) {
  ToFolderPage("");
  for (const auto& [text, enabled] : {std::pair<std::string, bool>{"", false},
                                      {"x", true}, {"\t \r\n", false}, {"  C:\\a  ", true}, {"   ", false}}) {
    wizard.folderebChange(text);
    EXPECT_EQ(s.nextbtn.enabled, enabled) << "[" << text << "]";
  }
  wizard.nextbtnClick();  // on blanks it does nothing
  EXPECT_TRUE(s.page == WizardPage::Folder && log.empty());
  // Browse: cancelled it changes nothing, else it takes the chosen folder.
  wizard.browsebtnClick();
  EXPECT_EQ(browseTitles, Log{"Bitte w\xE4hlen Sie Ihren Pluginordner aus:"});
  EXPECT_EQ(s.folderText, "   ");
  browseAnswer = "C:\\chosen";
  wizard.browsebtnClick();
  EXPECT_EQ(s.folderText, "C:\\chosen");
  EXPECT_TRUE(s.nextbtn.enabled);
}

TEST(WizardFolder, NextNormalisesTheTextAndCreatesMissingParentsOrShowsTheError) {
  installer_test::TempFolder temp;
  ASSERT_TRUE(platform::WriteWholeFile(temp / "blocker", "x"));  // a plain file where a folder should be
  const std::string deep = temp.path() + "one" + kSep + "two" + kSep + "three";
  const std::string blocked = temp.path() + "blocker" + kSep + "plugins";
  struct Case { std::string typed, normalised; bool made; };
  const Case cases[] = {{"  " + deep + " \t", deep + kSep, true},
                        {temp.path(), temp.path(), true},
                        {" " + blocked, blocked + kSep, false}};
  for (const Case& c : cases) {
    Rig r;
    r.ToFolderPage(c.typed);
    r.wizard.nextbtnClick();
    EXPECT_EQ(r.s.folderText, c.normalised);
    EXPECT_EQ(platform::FolderExists(c.normalised), c.made);
    EXPECT_EQ(r.Count("extract into " + c.normalised), c.made ? 1 : 0);
    EXPECT_EQ(r.s.page, c.made ? WizardPage::Finished : WizardPage::Folder);
    EXPECT_EQ(r.shown, c.made ? Log{} : Log{kCannotMake});
    EXPECT_TRUE(r.s.nextbtn.enabled || c.made);  // Next stays usable after the error
  }
}

// A clean extraction shows its rows, pauses and finishes; a failed one waits on its page for
// Next. While it runs, close and Next are refused without a question.
TEST(WizardExtraction, FinishesAfterAPauseOrWaitsWithTheErrorRefusingCloseAndNextMeanwhile) {
  for (bool ok : {true, false}) {
    Rig r;
    const std::string& f = r.folder.path();
    r.members = {{true, "a.dll"}, {ok, "b.dll"}};
    std::vector<bool> closeAnswers;
    r.duringMember = [&] { closeAnswers.push_back(r.wizard.FormClose()), r.wizard.nextbtnClick(); };
    r.ToFolderPage(f);
    r.wizard.nextbtnClick();
    EXPECT_EQ(closeAnswers, (std::vector<bool>{false, false}));
    Log expected{"repaint page", "hourglass", "repaint next", "repaint cancel", "repaint about",
                 "extract into " + f, "repaint list", "repaint list", "arrow", "pause 2000"};
    if (!ok) expected.pop_back();
    EXPECT_EQ(r.log, expected);
    if (ok) {  // the newest row on top
      EXPECT_EQ(r.wizard.extractingfileslb().rows(), (Log{"1" + f + "b.dll", "1" + f + "a.dll"}));
    }
    const std::string& complete = ok ? kFinishedSuccess : kErrorExtract;
    EXPECT_EQ(r.s.completelbl, complete);
    if (!ok) {
      EXPECT_TRUE(r.s.page == WizardPage::Extract && r.s.nextbtn.enabled && r.s.aboutbtn.enabled);
      EXPECT_FALSE(r.s.cancelbtn.enabled);
      r.confirmAnswer = false;  // the close box still asks there
      EXPECT_FALSE(r.wizard.FormClose());
      EXPECT_EQ(r.shown, Log{kReallyQuit});
      r.shown.clear();
      r.wizard.nextbtnClick();
      EXPECT_EQ(r.Count("extract into " + f), 1);
    }
    EXPECT_EQ((std::tuple{r.s.page, r.s.completelbl, r.s.cancelbtn.text}),
              (std::tuple{WizardPage::Finished, complete, std::string("&Beenden")}));
    EXPECT_TRUE(!r.s.nextbtn.visible && r.s.cancelbtn.enabled && r.s.aboutbtn.enabled);
    EXPECT_TRUE(r.wizard.FormClose() && r.shown.empty());  // the last page ends without a question
    EXPECT_EQ(r.Count("delete unpack folder"), 1);
  }
}

}  // namespace
}  // namespace wizard_test
