// The converter window's behaviour through a fake window: settings load and save, the
// conversion run. The real window's keys, buttons and results: tests/wine/plugin_e2e_test.cpp.
#include "plugin/main_controller.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

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
  // The seven values in the order they are written, "<missing>" for an absent one.
  Strings StoredValues() {
    Strings values;
    for (const char* name : {"PosX", "PosY", "convertSpecial", "nonXHTMLcompability", "doclanguage", "encoding", "dtd"}) {
      auto value = registry.ReadValue(RegistryRoot::CurrentUser, kKey, name);
      values.push_back(value ? value->data : "<missing>");
    }
    return values;
  }
  platform::MemoryRegistry registry;
  FakeView view;
  quenda::MainController controller{view, registry};
};

TEST_F(MainControllerTest, FirstUseCloseCreatesAllSevenValuesInOrder) {
  controller.FormShow();
  controller.FormClose();
  EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kKey),
            (Strings{"PosX", "PosY", "convertSpecial", "nonXHTMLcompability", "doclanguage", "encoding", "dtd"}));
  EXPECT_EQ(StoredValues(), (Strings{"150", "100", "1", "1", "german", "iso-8859-1", "transitional"}));
}

// The settings load in the order PosY, PosX, the two boxes, language, character set, document
// type; the first unusable one is reported and the later ones keep their initial values.
TEST_F(MainControllerTest, StoredValuesLoadIntoTheControlsUpToTheFirstUnusableOne) {
  auto text = [](const char* t) { return platform::RegistryValue{RegistryType::String, t}; };
  const platform::RegistryValue dword{RegistryType::Dword, std::string("\x05\0\0\0", 4)};
  auto notInt = [](const char* t) { return std::string("'") + t + "' ist kein g\xFCltiger Integerwert"; };
  auto notText = [](const char* name) { return std::string("Ung\xFCltiger Datentyp f\xFCr '") + name + "'"; };
  const struct {
    std::vector<std::pair<const char*, platform::RegistryValue>> stored;
    OptionControls controls;
    std::string error;
  } cases[] = {
      {{}, {150, 100, true, true, 0, "iso-8859-1", 0}, ""},  // first use: the defaults
      {{{"PosX", text("-20")}, {"PosY", text("4000")}}, {-20, 4000, true, true, 0, "iso-8859-1", 0}, ""},
      {{{"convertSpecial", text("2")}, {"nonXHTMLcompability", text("0")}}, {150, 100, false, false, 0, "iso-8859-1", 0}, ""},
      {{{"convertSpecial", text("01")}, {"nonXHTMLcompability", text("-1")}}, {150, 100, true, false, 0, "iso-8859-1", 0}, ""},
      {{{"doclanguage", text("German")}}, {150, 100, true, true, 1, "iso-8859-1", 0}, ""},
      {{{"doclanguage", text("english")}, {"encoding", text("UTF-8")}}, {150, 100, true, true, 1, "UTF-8", 0}, ""},
      // A stored character set survives a language it does not match.
      {{{"doclanguage", text("german")}, {"encoding", text("windows-1252")}}, {150, 100, true, true, 0, "windows-1252", 0}, ""},
      {{{"dtd", text("strict")}}, {150, 100, true, true, 0, "iso-8859-1", 1}, ""},
      {{{"dtd", text("Strict")}}, {150, 100, true, true, 0, "iso-8859-1", 2}, ""},
      {{{"dtd", text("anything")}}, {150, 100, true, true, 0, "iso-8859-1", 2}, ""},
      // Empty values count as missing.
      {{{"PosX", text("")}, {"encoding", text("")}, {"dtd", text("")}}, {150, 100, true, true, 0, "iso-8859-1", 0}, ""},
      {{{"PosY", text("oben")}}, {160, 10, true, true, -1, "", -1}, notInt("oben")},
      {{{"PosX", text("abc")}}, {160, 100, true, true, -1, "", -1}, notInt("abc")},
      {{{"convertSpecial", text("ja")}}, {150, 100, true, true, -1, "", -1}, notInt("ja")},
      {{{"nonXHTMLcompability", text("1.0")}}, {150, 100, true, true, -1, "", -1}, notInt("1.0")},
      {{{"PosX", dword}}, {160, 100, true, true, -1, "", -1}, notText("PosX")},
      {{{"doclanguage", dword}}, {150, 100, true, true, -1, "", -1}, notText("doclanguage")},
      {{{"encoding", dword}}, {150, 100, true, true, 0, "", -1}, notText("encoding")},
      {{{"dtd", dword}}, {150, 100, true, true, 0, "iso-8859-1", -1}, notText("dtd")},
  };
  for (const auto& c : cases) {
    platform::MemoryRegistry registry;
    for (const auto& [name, value] : c.stored) registry.WriteValue(RegistryRoot::CurrentUser, kKey, name, value);
    FakeView shown;
    quenda::MainController(shown, registry).FormShow();
    EXPECT_EQ(shown.errors, c.error.empty() ? Strings{} : Strings{c.error}) << "row " << &c - cases;
    EXPECT_EQ(shown.controls, c.controls) << "row " << &c - cases;
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
  // The second run converted the first run's result again, without list completion.
  const std::string once = quenda::ConvertText(kDocument, quenda::ConversionOptions{});
  EXPECT_EQ(view.output, quenda::ConvertText(once, quenda::OptionsFromControls(view.controls)));
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
