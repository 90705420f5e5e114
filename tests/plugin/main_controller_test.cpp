// The converter window's behaviour through a fake window: settings load and save, the
// conversion run. The real window's keys, buttons and results: tests/wine/plugin_e2e_test.cpp.
#include "plugin/main_controller.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"

namespace {

using platform::RegistryRoot;
using platform::RegistryType;
using quenda::OptionControls;
using Strings = std::vector<std::string>;

const char* const kKey = "Software\\Quenda";

// A window that only remembers what it was told; its option controls start as the real
// window's do.
class FakeView : public quenda::MainView {
 public:
  OptionControls ReadControls() override { return controls; }
  void WriteControls(const OptionControls& c) override { controls = c; }
  void SetEncodingText(const std::string& text) override { controls.comboBox2 = text; }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  void SetBusyCursor(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
  void ShowStatus(const std::string& text) override { events.push_back("status:" + text); }
  void ShowProgress(int position) override { events.push_back("pos:" + std::to_string(position)); }
  void SetOutputText(const std::string& text) override { output = text; }
  std::string OutputText() override { return output; }
  void ShowPage(quenda::MainPage p) override { page = p; }
  void EnableAccept() override { acceptEnabled = true; }
  void CloseWindow() override {}
  void OpenAddress(const std::string&) override {}

  OptionControls controls = quenda::InitialControls();
  Strings errors, events;
  std::string output;
  quenda::MainPage page = quenda::MainPage::allgemein;
  bool acceptEnabled = false;
};

class MainControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    quenda::ResultText.clear();
    quenda::resultAccepted = false;
  }
  // The seven values in the order they are written, "<missing>" for an absent one.
  Strings StoredValues() {
    Strings values;
    for (const char* name : {"PosX", "PosY", "convertSpecial", "nonXHTMLcompability", "doclanguage", "encoding", "dtd"}) {
      auto value = registry.ReadValue(RegistryRoot::CurrentUser, kKey, name);
      values.push_back(value ? value->data : "<missing>");
    }
    return values;
  }
  // A fresh window shown over a registry holding `stored`.
  static FakeView ShowWith(const std::vector<std::pair<const char*, platform::RegistryValue>>& stored) {
    platform::MemoryRegistry fresh;
    for (const auto& [name, value] : stored) fresh.WriteValue(RegistryRoot::CurrentUser, kKey, name, value);
    FakeView view;
    quenda::MainController(view, fresh).FormShow();
    return view;
  }
  platform::MemoryRegistry registry;
  FakeView view;
  quenda::MainController controller{view, registry};
};

TEST_F(MainControllerTest, FirstUseOpensWithDefaultsAndCloseCreatesAllSevenValuesInOrder) {
  controller.FormShow();
  EXPECT_TRUE(view.errors.empty());
  EXPECT_EQ(view.controls, (OptionControls{150, 100, true, true, 0, "iso-8859-1", 0}));
  controller.FormClose();
  EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kKey),
            (Strings{"PosX", "PosY", "convertSpecial", "nonXHTMLcompability", "doclanguage", "encoding", "dtd"}));
  EXPECT_EQ(StoredValues(), (Strings{"150", "100", "1", "1", "german", "iso-8859-1", "transitional"}));
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
      {{{"dtd", "anything"}}, {150, 100, true, true, 0, "iso-8859-1", 2}},
      // Empty values count as missing.
      {{{"PosX", ""}, {"encoding", ""}, {"dtd", ""}}, {150, 100, true, true, 0, "iso-8859-1", 0}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<const char*, platform::RegistryValue>> stored;
    for (const auto& [name, text] : c.stored) stored.push_back({name, {RegistryType::String, text}});
    FakeView shown = ShowWith(stored);
    EXPECT_TRUE(shown.errors.empty());
    EXPECT_EQ(shown.controls, c.expected) << c.stored.front().first << "=" << c.stored.front().second;
  }
}

// The settings load in the order PosY, PosX, the two boxes, language, character set, document
// type; the first unusable one is reported and the later ones keep their initial values.
TEST_F(MainControllerTest, UnusableValueStopsTheLoadLeavingTheRestAtInitialValues) {
  struct Case {
    const char* name;
    bool dword;
    const char* text;
    int loaded;  // settings loaded before the failing one
  } cases[] = {
      {"PosY", false, "oben", 0},          {"PosX", false, "abc", 1},       {"convertSpecial", false, "ja", 2},
      {"nonXHTMLcompability", false, "1.0", 3}, {"PosX", true, "", 1},     {"doclanguage", true, "", 4},
      {"encoding", true, "", 5},           {"dtd", true, "", 6},
  };
  for (const Case& c : cases) {
    FakeView shown = ShowWith({{c.name, c.dword ? platform::RegistryValue{RegistryType::Dword, std::string("\x05\0\0\0", 4)}
                                                : platform::RegistryValue{RegistryType::String, c.text}}});
    const std::string message = c.dword ? std::string("Ung\xFCltiger Datentyp f\xFCr '") + c.name + "'"
                                        : std::string("'") + c.text + "' ist kein g\xFCltiger Integerwert";
    EXPECT_EQ(shown.errors, Strings{message}) << c.name;
    OptionControls expected = quenda::InitialControls();
    if (c.loaded >= 1) expected.top = 100;
    if (c.loaded >= 2) expected.left = 150;
    if (c.loaded >= 5) expected.comboBox1 = 0;
    if (c.loaded >= 6) expected.comboBox2 = "iso-8859-1";
    EXPECT_EQ(shown.controls, expected) << c.name;
  }
}

TEST_F(MainControllerTest, OptionsMapTheListPositionsAndNoSelectionReadsAsEnglishAndFrameset) {
  auto options = [](const OptionControls& c) {
    const quenda::ConversionOptions o = quenda::OptionsFromControls(c);
    return std::tuple(o.completeLists, o.nonXhtmlCompatible, o.docLanguage, o.encoding, o.dtd);
  };
  using quenda::DocLanguage, quenda::DtdKind;
  EXPECT_EQ(options({0, 0, false, true, 1, "UTF-8", 1}), std::tuple(false, true, DocLanguage::english, "UTF-8", DtdKind::strict));
  EXPECT_EQ(options({0, 0, true, false, 0, "", 2}), std::tuple(true, false, DocLanguage::german, "", DtdKind::frameset));
  EXPECT_EQ(options(quenda::InitialControls()), std::tuple(true, true, DocLanguage::english, "", DtdKind::frameset));
  controller.FormClose();  // never shown: the controls still hold their initial values
  EXPECT_EQ(StoredValues(), (Strings{"160", "10", "1", "1", "english", "", "frameset"}));
}

// A lone CR ends a line, a lone LF stays inside its line.
const char kDocument[] =
    "<HTML>\r\n<HEAD>\r<TITLE>Gr\xFC\xDF" "e</TITLE></HEAD>\r\n<BODY>\n<UL>\r\n<LI>eins\r\n<LI>zwei\r\n</UL>\r\n"
    "<IMG SRC=a.gif><BR></BODY>\r\n</HTML>";

// Every step reports its status, then its progress, even a step switched off; the output view
// gets the converted text and comes to the front.
TEST_F(MainControllerTest, ConversionRunReportsEachStepThenShowsTheOutput) {
  const Strings want = {
      "busy",
      "pos:0", "status:Sonderzeichen werden konvertiert...",
      "pos:2", "status:Tags werden normalisiert...",
      "pos:4", "status:\xDC" "berschrift wird positioniert...",
      "pos:6", "status:Listeneintr\xE4" "ge und Auswahleintr\xE4" "ge werden komplettiert...",
      "pos:8", "status:L\xE4" "nderspezifische Attribute werden gesetzt...",
      "pos:10", "status:Document Type Definition wird eingesetzt...",
      "pos:12", "status:Alles abgeschlossen!",
      "idle",
  };
  controller.SetDocument(kDocument);
  controller.FormShow();
  for (bool completeLists : {true, false}) {
    view.controls.checkBox1 = completeLists;
    view.events.clear();
    controller.TempMemo().SetSelStart(4);
    controller.SpeedButton2Click();
    EXPECT_EQ(view.events, want) << "completeLists " << completeLists;
    EXPECT_EQ(controller.TempMemo().SelStart(), 0);
  }
  quenda::ConversionOptions options;
  options.completeLists = false;
  const std::string once = quenda::ConvertText(quenda::HostLineText(kDocument), quenda::ConversionOptions{});
  EXPECT_EQ(view.output, quenda::ConvertText(once, options));
  EXPECT_NE(view.output.find("&uuml;"), std::string::npos);
  EXPECT_EQ(view.page, quenda::MainPage::ausgabe);
  EXPECT_TRUE(view.acceptEnabled);
}

TEST_F(MainControllerTest, NullDocumentIsAnEmptyText) {
  controller.SetDocument(nullptr);
  EXPECT_EQ(controller.TempMemo().Text(), "");
  controller.FormShow();
  controller.SpeedButton2Click();
  EXPECT_EQ(view.output, quenda::ConvertText("", quenda::OptionsFromControls(view.controls)));
}

}  // namespace
