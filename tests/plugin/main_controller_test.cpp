// The converter window's behaviour through a fake window: settings load and save, the
// language preset, the conversion run and the result handed back.
#include "plugin/main_controller.h"

#include <gtest/gtest.h>

#include <vector>

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"

namespace {

using platform::RegistryRoot;
using platform::RegistryType;
using quenda::OptionControls;

const char* const kKey = "Software\\Quenda";

// A window that only remembers what it was told; its option controls start as the real
// window's do.
class FakeView : public quenda::MainView {
 public:
  OptionControls ReadControls() override { return controls; }
  void WriteControls(const OptionControls& c) override {
    controls = c;
    ++writes;
  }
  void SetEncodingText(const std::string& text) override { controls.comboBox2 = text; }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  void SetBusyCursor(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
  void ShowStatus(const std::string& text) override { events.push_back("status:" + text); }
  void ShowProgress(int position) override { events.push_back("pos:" + std::to_string(position)); }
  void SetOutputText(const std::string& text) override { output = text; }
  std::string OutputText() override { return output; }
  void ShowPage(quenda::MainPage p) override { page = p; }
  void EnableAccept() override { acceptEnabled = true; }
  void CloseWindow() override { ++closes; }
  void OpenAddress(const std::string& address) override { addresses.push_back(address); }

  OptionControls controls = quenda::InitialControls();
  int writes = 0;
  std::vector<std::string> errors, events, addresses;
  std::string output;
  quenda::MainPage page = quenda::MainPage::allgemein;
  bool acceptEnabled = false;
  int closes = 0;
};

class MainControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    quenda::ResultText.clear();
    quenda::resultAccepted = false;
  }
  void Store(const char* name, const std::string& text) {
    registry.WriteValue(RegistryRoot::CurrentUser, kKey, name, {RegistryType::String, text});
  }
  std::string Stored(const char* name) {
    auto value = registry.ReadValue(RegistryRoot::CurrentUser, kKey, name);
    return value ? value->data : "<missing>";
  }
  platform::MemoryRegistry registry;
  FakeView view;
  quenda::MainController controller{view, registry};
};

TEST_F(MainControllerTest, FirstUseOpensWithDefaultsAndCloseCreatesAllSevenValuesInOrder) {
  controller.FormShow();
  EXPECT_TRUE(view.errors.empty());
  EXPECT_EQ(view.controls, (OptionControls{150, 100, true, true, 0, "iso-8859-1", 0}));
  EXPECT_FALSE(controller.AcceptEnabled());
  controller.FormClose();
  EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kKey),
            (std::vector<std::string>{"PosX", "PosY", "convertSpecial", "nonXHTMLcompability", "doclanguage",
                                      "encoding", "dtd"}));
  EXPECT_EQ(Stored("PosX"), "150");
  EXPECT_EQ(Stored("PosY"), "100");
  EXPECT_EQ(Stored("convertSpecial"), "1");
  EXPECT_EQ(Stored("nonXHTMLcompability"), "1");
  EXPECT_EQ(Stored("doclanguage"), "german");
  EXPECT_EQ(Stored("encoding"), "iso-8859-1");
  EXPECT_EQ(Stored("dtd"), "transitional");
}

TEST_F(MainControllerTest, StoredValuesLoadIntoTheControls) {
  struct Case {
    std::vector<std::pair<const char*, std::string>> stored;
    OptionControls expected;
  };
  const Case cases[] = {
      {{{"PosX", "-20"}, {"PosY", "4000"}}, {-20, 4000, true, true, 0, "iso-8859-1", 0}},
      {{{"convertSpecial", "2"}, {"nonXHTMLcompability", "0"}}, {150, 100, false, false, 0, "iso-8859-1", 0}},
      {{{"convertSpecial", "01"}, {"nonXHTMLcompability", "-1"}}, {150, 100, true, false, 0, "iso-8859-1", 0}},
      {{{"doclanguage", "German"}}, {150, 100, true, true, 1, "iso-8859-1", 0}},
      {{{"doclanguage", "english"}, {"encoding", "UTF-8"}}, {150, 100, true, true, 1, "UTF-8", 0}},
      // A stored character set survives a language it does not match.
      {{{"doclanguage", "german"}, {"encoding", "windows-1252"}}, {150, 100, true, true, 0, "windows-1252", 0}},
      {{{"dtd", "strict"}}, {150, 100, true, true, 0, "iso-8859-1", 1}},
      {{{"dtd", "Strict"}}, {150, 100, true, true, 0, "iso-8859-1", 2}},
      {{{"dtd", "frameset"}}, {150, 100, true, true, 0, "iso-8859-1", 2}},
      {{{"dtd", "anything"}}, {150, 100, true, true, 0, "iso-8859-1", 2}},
      // Empty values count as missing.
      {{{"PosX", ""}, {"encoding", ""}, {"dtd", ""}}, {150, 100, true, true, 0, "iso-8859-1", 0}},
  };
  for (const Case& c : cases) {
    platform::MemoryRegistry fresh;
    FakeView freshView;
    quenda::MainController fresher(freshView, fresh);
    for (const auto& [name, text] : c.stored) {
      fresh.WriteValue(RegistryRoot::CurrentUser, kKey, name, {RegistryType::String, text});
    }
    fresher.FormShow();
    EXPECT_TRUE(freshView.errors.empty());
    EXPECT_EQ(freshView.controls, c.expected) << c.stored.front().first << "=" << c.stored.front().second;
  }
}

TEST_F(MainControllerTest, UnusableValueStopsTheLoadLeavingTheRestAtInitialValues) {
  const OptionControls initial = quenda::InitialControls();
  struct Case {
    const char* name;
    bool dword;
    std::string text;
    std::string message;
    OptionControls expected;
  };
  OptionControls afterPosY = initial;
  afterPosY.top = 100;
  OptionControls afterPosX = afterPosY;
  afterPosX.left = 150;
  OptionControls afterBox1 = afterPosX;
  OptionControls afterBox2 = afterBox1;
  OptionControls afterLanguage = afterBox2;
  afterLanguage.comboBox1 = 0;
  OptionControls afterEncoding = afterLanguage;
  afterEncoding.comboBox2 = "iso-8859-1";
  const Case cases[] = {
      {"PosY", false, "oben", "'oben' ist kein g\xFCltiger Integerwert", initial},
      {"PosX", false, "abc", "'abc' ist kein g\xFCltiger Integerwert", afterPosY},
      {"convertSpecial", false, "ja", "'ja' ist kein g\xFCltiger Integerwert", afterPosX},
      {"nonXHTMLcompability", false, "1.0", "'1.0' ist kein g\xFCltiger Integerwert", afterBox1},
      {"PosX", true, "", "Ung\xFCltiger Datentyp f\xFCr 'PosX'", afterPosY},
      {"doclanguage", true, "", "Ung\xFCltiger Datentyp f\xFCr 'doclanguage'", afterBox2},
      {"encoding", true, "", "Ung\xFCltiger Datentyp f\xFCr 'encoding'", afterLanguage},
      {"dtd", true, "", "Ung\xFCltiger Datentyp f\xFCr 'dtd'", afterEncoding},
  };
  for (const Case& c : cases) {
    platform::MemoryRegistry fresh;
    FakeView freshView;
    quenda::MainController fresher(freshView, fresh);
    if (c.dword) {
      fresh.WriteValue(RegistryRoot::CurrentUser, kKey, c.name, {RegistryType::Dword, std::string("\x05\0\0\0", 4)});
    } else {
      fresh.WriteValue(RegistryRoot::CurrentUser, kKey, c.name, {RegistryType::String, c.text});
    }
    fresher.FormShow();
    EXPECT_EQ(freshView.errors, std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(freshView.controls, c.expected) << c.name;
  }
}

TEST_F(MainControllerTest, ListsWithoutSelectionReadAsEnglishAndFramesetAndSaveSo) {
  quenda::ConversionOptions options = quenda::OptionsFromControls(quenda::InitialControls());
  EXPECT_EQ(options.docLanguage, quenda::DocLanguage::english);
  EXPECT_EQ(options.dtd, quenda::DtdKind::frameset);
  EXPECT_EQ(options.encoding, "");
  EXPECT_TRUE(options.completeLists);
  EXPECT_TRUE(options.nonXhtmlCompatible);
  controller.FormClose();  // never shown: the controls still hold their initial values
  EXPECT_EQ(Stored("PosX"), "160");
  EXPECT_EQ(Stored("PosY"), "10");
  EXPECT_EQ(Stored("doclanguage"), "english");
  EXPECT_EQ(Stored("encoding"), "");
  EXPECT_EQ(Stored("dtd"), "frameset");
}

TEST_F(MainControllerTest, OptionsMapTheListPositions) {
  OptionControls c{0, 0, false, true, 1, "UTF-8", 1};
  quenda::ConversionOptions options = quenda::OptionsFromControls(c);
  EXPECT_FALSE(options.completeLists);
  EXPECT_TRUE(options.nonXhtmlCompatible);
  EXPECT_EQ(options.docLanguage, quenda::DocLanguage::english);
  EXPECT_EQ(options.encoding, "UTF-8");
  EXPECT_EQ(options.dtd, quenda::DtdKind::strict);
  c.comboBox1 = 0;
  c.comboBox3 = 2;
  options = quenda::OptionsFromControls(c);
  EXPECT_EQ(options.docLanguage, quenda::DocLanguage::german);
  EXPECT_EQ(options.dtd, quenda::DtdKind::frameset);
}

TEST_F(MainControllerTest, ChangedOptionsAndPositionAreSavedOnClose) {
  controller.FormShow();
  view.controls = OptionControls{-5, 0, false, false, 1, "koi8-r", 2};
  controller.SpeedButton5Click();
  controller.FormClose();
  EXPECT_EQ(Stored("PosX"), "-5");
  EXPECT_EQ(Stored("PosY"), "0");
  EXPECT_EQ(Stored("convertSpecial"), "0");
  EXPECT_EQ(Stored("nonXHTMLcompability"), "0");
  EXPECT_EQ(Stored("doclanguage"), "english");
  EXPECT_EQ(Stored("encoding"), "koi8-r");
  EXPECT_EQ(Stored("dtd"), "frameset");
  // The next window opens with them.
  FakeView next;
  quenda::MainController nextController(next, registry);
  nextController.FormShow();
  EXPECT_EQ(next.controls, view.controls);
}

TEST_F(MainControllerTest, LanguageChoicePresetsTheCharacterSetUntilTheNextChoice) {
  controller.FormShow();
  view.controls.comboBox1 = 1;
  controller.ComboBox1Change();
  EXPECT_EQ(view.controls.comboBox2, "UTF-8");
  view.controls.comboBox2 = "us-ascii";  // typed by hand
  EXPECT_EQ(quenda::OptionsFromControls(view.controls).encoding, "us-ascii");
  view.controls.comboBox1 = 0;
  controller.ComboBox1Change();
  EXPECT_EQ(view.controls.comboBox2, "iso-8859-1");
}

TEST_F(MainControllerTest, ButtonsSetTheResultAndCloseAndAnyOtherCloseCancels) {
  controller.FormShow();
  view.output = "<p>Hand edit</p>";
  controller.SpeedButton3Click();
  EXPECT_EQ(view.closes, 1);
  controller.FormClose();
  EXPECT_EQ(quenda::ResultText, "<p>Hand edit</p>");
  EXPECT_TRUE(quenda::resultAccepted);

  // The next window is cancelled: the earlier result must not survive.
  FakeView second;
  quenda::MainController cancelled(second, registry);
  cancelled.FormShow();
  cancelled.SpeedButton5Click();
  cancelled.FormClose();
  EXPECT_EQ(quenda::ResultText, "");
  EXPECT_FALSE(quenda::resultAccepted);

  // A window closed some other way (no button) counts as cancelled, and still saves.
  quenda::ResultText = "stale";
  quenda::resultAccepted = true;
  FakeView third;
  quenda::MainController closed(third, registry);
  closed.FormShow();
  third.controls.left = 321;
  closed.FormClose();
  EXPECT_EQ(quenda::ResultText, "");
  EXPECT_FALSE(quenda::resultAccepted);
  EXPECT_EQ(Stored("PosX"), "321");
}

TEST_F(MainControllerTest, LinksOpenTheirHomePages) {
  controller.Image2Click();
  controller.Label6Click();
  controller.Image1Click();
  controller.Label8Click();
  EXPECT_EQ(view.addresses, (std::vector<std::string>{quenda::kMakerHomePage, quenda::kMakerHomePage,
                                                      quenda::kZeltHomePage, quenda::kZeltHomePage}));
}

const char kDocument[] =
    "<HTML>\r\n<HEAD>\r<TITLE>Gr\xFC\xDF" "e</TITLE></HEAD>\r\n<BODY>\n<UL>\r\n<LI>eins\r\n<LI>zwei\r\n</UL>\r\n"
    "<IMG SRC=a.gif><BR></BODY>\r\n</HTML>";

TEST_F(MainControllerTest, ConversionRunReportsEachStepThenShowsTheOutput) {
  controller.SetDocument(kDocument);
  controller.FormShow();
  controller.SpeedButton2Click();
  ASSERT_GE(view.events.size(), 4u);
  EXPECT_EQ(view.events.front(), "busy");
  EXPECT_EQ(view.events.back(), "idle");
  EXPECT_EQ(view.events[view.events.size() - 2], "status:Alles abgeschlossen!");
  std::vector<std::string> statuses;
  std::vector<std::string> positions;
  for (const std::string& e : view.events) {
    if (e.rfind("status:", 0) == 0) statuses.push_back(e.substr(7));
    if (e.rfind("pos:", 0) == 0) positions.push_back(e.substr(4));
  }
  EXPECT_EQ(statuses.size(), 7u);
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.front(), "0");
  EXPECT_EQ(positions.back(), "12");
  // The lone CR became a line break, the lone LF stayed inside its line.
  std::string hostText = "<HTML>\r\n<HEAD>\r\n<TITLE>Gr\xFC\xDF" "e</TITLE></HEAD>\r\n<BODY>\n<UL>\r\n<LI>eins\r\n"
                         "<LI>zwei\r\n</UL>\r\n<IMG SRC=a.gif><BR></BODY>\r\n</HTML>";
  quenda::ConversionOptions defaults;
  EXPECT_EQ(view.output, quenda::ConvertText(hostText, defaults));
  EXPECT_NE(view.output.find("&uuml;"), std::string::npos);
  EXPECT_EQ(view.page, quenda::MainPage::ausgabe);
  EXPECT_TRUE(view.acceptEnabled);
  EXPECT_TRUE(controller.AcceptEnabled());
}

TEST_F(MainControllerTest, SecondRunConvertsTheConvertedTextAndReplacesAnEdit) {
  controller.SetDocument(kDocument);
  controller.FormShow();
  view.controls.comboBox1 = 1;
  view.controls.comboBox2 = "UTF-8";
  view.controls.comboBox3 = 1;
  view.controls.checkBox1 = false;
  controller.SpeedButton2Click();
  std::string first = view.output;
  quenda::ConversionOptions options = quenda::OptionsFromControls(view.controls);
  EXPECT_EQ(first, quenda::ConvertText(quenda::HostLineText(kDocument), options));
  view.output += "\r\nedited";
  controller.SpeedButton2Click();
  EXPECT_EQ(view.output, quenda::ConvertText(first, options));
  EXPECT_EQ(view.output.find("edited"), std::string::npos);
}

TEST_F(MainControllerTest, NullDocumentIsAnEmptyText) {
  controller.SetDocument(nullptr);
  EXPECT_EQ(controller.TempMemo().Text(), "");
  controller.FormShow();
  controller.SpeedButton2Click();
  EXPECT_EQ(view.output, quenda::ConvertText("", quenda::OptionsFromControls(view.controls)));
}

}  // namespace
