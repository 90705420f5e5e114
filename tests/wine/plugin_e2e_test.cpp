// The plug-in end to end: quenda-host loads Quenda.dll with a document, this driver works the
// converter window by control IDs as a user would, then checks the returned text (against the
// native command line's conversion with the same options), the return kind and the registry.
// Run by tests/wine/run-plugin-e2e.sh, which names the work folder, host and DLL in QUENDA_E2E_*.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "plugin/win32/main_ids.h"
#include "tests/wine/window_driver.h"

namespace {

namespace ids = quenda::ids;
using e2e::Narrow;
using e2e::Text;

const wchar_t kSettingsKey[] = L"Software\\Quenda";
const char kFinished[] = "Alles abgeschlossen!";

// The options of one conversion as the window shows them: complete lists, compatible, the
// positions of language and document type in their lists (-1: none chosen), character set.
using Options = std::tuple<bool, bool, int, std::string, int>;
const Options kDefaults{true, true, 0, "iso-8859-1", 0};

// What the window saves on closing, in the registry's words; the window stays where it opened.
std::vector<std::wstring> Stored() {
  std::vector<std::wstring> texts;
  for (auto name : {L"PosX", L"PosY", L"convertSpecial", L"nonXHTMLcompability", L"doclanguage", L"encoding", L"dtd"}) {
    texts.push_back(e2e::RegistryText(HKEY_CURRENT_USER, kSettingsKey, name));
  }
  return texts;
}

std::vector<std::wstring> AsStored(const Options& options) {
  const auto& [lists, compatible, language, encoding, dtd] = options;
  const wchar_t* languages[] = {L"german", L"english"};
  const wchar_t* dtds[] = {L"transitional", L"strict", L"frameset"};
  return {L"150", L"100", lists ? L"1" : L"0", compatible ? L"1" : L"0", languages[language], e2e::Wide(encoding),
          dtds[dtd]};
}

// The client area's size and the frame's place on the screen.
std::vector<LONG> Geometry(HWND window) {
  RECT client{}, frame{};
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  return {client.right, client.bottom, frame.left, frame.top};
}

// One run of the host: one call of pluginStart per output file.
class HostRun {
 public:
  HostRun(const std::wstring& document, const std::vector<std::wstring>& outputs) {
    for (const auto& output : outputs) DeleteFileW(output.c_str());
    std::vector<std::wstring> arguments{e2e::Environment(L"QUENDA_E2E_DLL"), document};
    arguments.insert(arguments.end(), outputs.begin(), outputs.end());
    host_.Start(e2e::Environment(L"QUENDA_E2E_HOST"), arguments);
  }

  const e2e::Process& host() const { return host_; }
  HWND WaitForForm() { return form_ = host_.WaitFor(ids::kMainClass); }
  HWND Control(int id) { return e2e::FindControl(form_, id); }

  Options Shown() {
    return {e2e::IsChecked(Control(ids::kCheckBox1)), e2e::IsChecked(Control(ids::kCheckBox2)),
            e2e::Chosen(Control(ids::kComboBox1)), Narrow(Text(Control(ids::kComboBox2))),
            e2e::Chosen(Control(ids::kComboBox3))};
  }
  void Set(const Options& options) {
    const auto& [lists, compatible, language, encoding, dtd] = options;
    e2e::SetChecked(Control(ids::kCheckBox1), lists);
    e2e::SetChecked(Control(ids::kCheckBox2), compatible);
    e2e::Choose(Control(ids::kComboBox1), language);
    if (Narrow(Text(Control(ids::kComboBox2))) != encoding) e2e::SetText(Control(ids::kComboBox2), e2e::Wide(encoding));
    e2e::Choose(Control(ids::kComboBox3), dtd);
  }

  // Starts the conversion and waits until it has finished and "Übernehmen" is enabled.
  bool Convert() {
    HWND status = Control(ids::kLabel14), accept = Control(ids::kSpeedButton3);
    e2e::Click(Control(ids::kSpeedButton2));
    return e2e::WaitUntil([&] {
      return Narrow(Text(status)) == kFinished && IsWindowEnabled(accept) && IsWindowVisible(Control(ids::kPlusMemo1));
    });
  }
  // Waits for the window of the next call, sets the options there and converts.
  bool OpenAndConvert(const Options& options) {
    if (!WaitForForm()) return false;
    Set(options);
    return Convert();
  }
  // Brings a page to the front with the keyboard, the way a user moves through the tabs.
  void ShowPage(int page) {
    HWND tabs = Control(ids::kPageControl);
    for (int current, tries = 0; tries < 8 && (current = TabCtrl_GetCurSel(tabs)) != page; ++tries) {
      SendMessageW(tabs, WM_KEYDOWN, current < page ? VK_RIGHT : VK_LEFT, 0);
    }
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), page);
  }

  // "Übernehmen" or "Abbrechen", then waits until the window is gone.
  void Press(int button) {
    e2e::Click(Control(button));
    e2e::WaitUntil([form = form_] { return !IsWindow(form); });
  }
  int Finish() { return host_.Wait(); }

 private:
  e2e::Process host_;
  HWND form_ = nullptr;
};

// A manifest line: document, options, the command line's conversion (".twice": of its result).
struct Case {
  std::string name, document;
  Options options;
  std::string expected;
};

class PluginEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = e2e::Environment(L"QUENDA_E2E_WORK");
    if (work_.empty()) GTEST_SKIP() << "run through tests/wine/run-plugin-e2e.sh";
    std::ifstream manifest((work_ + L"\\manifest.txt").c_str());
    Case c;
    auto& [lists, compatible, language, encoding, dtd] = c.options;
    while (manifest >> c.name >> c.document >> lists >> compatible >> language >> encoding >> dtd >> c.expected) {
      cases_.push_back(c);
    }
    ASSERT_FALSE(cases_.empty());
    e2e::LetWineDrawCaptions();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

  void Picture(HWND window, const wchar_t* name) { EXPECT_TRUE(e2e::Picture(window, name)) << Narrow(name); }
  std::wstring Output(const std::string& name) { return work_ + L"\\" + e2e::Wide(name); }

  std::wstring work_;
  std::vector<Case> cases_;
};

TEST_F(PluginEndToEnd, NonNumericPosXReportsInGermanAndOpensWithTheInitialValues) {
  e2e::SetRegistryText(HKEY_CURRENT_USER, kSettingsKey, L"PosX", L"links");
  e2e::SetRegistryText(HKEY_CURRENT_USER, kSettingsKey, L"encoding", L"UTF-8");  // after PosX: not to be loaded
  HostRun run(Output(cases_.front().document), {Output("posx.out")});
  HWND box = run.host().WaitFor(L"#32770");
  ASSERT_TRUE(box);
  std::string message = Narrow(e2e::StaticTexts(box));
  EXPECT_NE(message.find("'links' ist kein g\xFCltiger Integerwert"), std::string::npos) << message;
  Picture(box, L"error-posx");
  e2e::Click(GetDlgItem(box, IDOK));
  HWND form = run.WaitForForm();
  ASSERT_TRUE(form);
  EXPECT_EQ(Geometry(form), (std::vector<LONG>{425, 363, 160, 100}));  // "PosY" comes before "PosX"
  EXPECT_EQ(run.Shown(), (Options{true, true, -1, "", -1}));
  run.Press(ids::kSpeedButton5);
  EXPECT_EQ(run.Finish(), 1);
}

// The calls follow one another: the first opens with the defaults, each later one with what
// the one before saved in the registry on closing.
TEST_F(PluginEndToEnd, EachCallOpensWithTheSavedOptionsAndTheAcceptedTextEqualsTheCommandLineConversion) {
  for (const Case& c : cases_) {
    SCOPED_TRACE(c.name);
    bool first = &c == &cases_.front();
    HostRun run(Output(c.document), {Output("accepted.out")});
    HWND form = run.WaitForForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(run.Shown(), first ? kDefaults : (&c - 1)->options);
    EXPECT_EQ(Geometry(form), (std::vector<LONG>{425, 363, 150, 100}));
    if (first) {
      EXPECT_EQ(Narrow(Text(form)), "Quenda  - Plugin");
      // The host's own window takes no input while the converter window is open.
      HWND editor = run.host().WaitFor(L"QuendaHostEditor");
      EXPECT_TRUE(editor && !IsWindowEnabled(editor));
      Picture(form, L"page-allgemein");
      run.ShowPage(2);
      Picture(form, L"page-hilfe");
      run.ShowPage(3);
      Picture(form, L"page-info");
      run.ShowPage(0);
    }
    run.Set(c.options);
    ASSERT_TRUE(run.Convert());
    EXPECT_EQ(SendMessageW(run.Control(ids::kProgressBar1), PBM_GETPOS, 0, 0), 12);
    if (first) Picture(form, L"page-ausgabe");
    run.Press(ids::kSpeedButton3);
    EXPECT_EQ(run.Finish(), 0);  // pluginRueckgabetyp 2
    EXPECT_EQ(Stored(), AsStored(c.options));
    std::string expected = e2e::ReadFile(Output(c.expected));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(e2e::ReadFile(Output("accepted.out")), expected);
  }
}

// One host process calls three times: a typed edit is accepted; a second conversion converts
// the converted text, dropping an edit; a cancel after converting returns nothing.
TEST_F(PluginEndToEnd, TypedEditComesBackSecondConversionReplacesAnEditCancelReturnsNothing) {
  const Case& c = cases_.back();
  HostRun run(Output(c.document), {Output("edited.out"), Output("twice.out"), Output("cancelled.out")});
  ASSERT_TRUE(run.OpenAndConvert(c.options));
  e2e::TypeAtStart(run.Control(ids::kPlusMemo1), L"<!-- von Hand -->\r");
  run.Press(ids::kSpeedButton3);

  ASSERT_TRUE(run.OpenAndConvert(c.options));
  e2e::TypeAtStart(run.Control(ids::kPlusMemo1), L"verloren");
  Picture(run.WaitForForm(), L"page-ausgabe-typed");
  run.ShowPage(0);
  EXPECT_EQ(Narrow(Text(run.Control(ids::kLabel14))), kFinished);
  Picture(run.WaitForForm(), L"page-allgemein-finished");
  ASSERT_TRUE(run.Convert());
  run.Press(ids::kSpeedButton3);

  ASSERT_TRUE(run.OpenAndConvert(c.options));
  run.Press(ids::kSpeedButton5);
  EXPECT_EQ(run.Finish(), 1);  // the last call's pluginRueckgabetyp was 0, its text empty
  EXPECT_EQ(e2e::ReadFile(Output("edited.out")), "<!-- von Hand -->\r\n" + e2e::ReadFile(Output(c.expected)));
  EXPECT_EQ(e2e::ReadFile(Output("twice.out")), e2e::ReadFile(Output(c.expected + ".twice")));  // no "verloren"
  EXPECT_FALSE(e2e::Exists(Output("cancelled.out")));
}

}  // namespace
