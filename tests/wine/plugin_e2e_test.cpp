// The plug-in end to end: quenda-host loads Quenda.dll with a document, and this driver works
// the converter window as a user would, by control IDs, then checks what came back: the
// text (against the native command line's conversion of the same document with the same
// options), the return kind, and the settings in the registry.
//
// Run by tests/wine/run-plugin-e2e.sh, which converts the documents with the native
// command line and passes the work folder in QUENDA_E2E_WORK, the host in QUENDA_E2E_HOST
// and the DLL in QUENDA_E2E_DLL.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "plugin/win32/main_ids.h"
#include "tests/wine/window_driver.h"

namespace {

namespace ids = quenda::ids;

const wchar_t kSettingsKey[] = L"Software\\Quenda";
const char kFinished[] = "Alles abgeschlossen!";

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024];
  DWORD length = GetEnvironmentVariableW(name, value, 1024);
  std::wstring text = length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  return text;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void StoreSetting(const wchar_t* name, const std::wstring& text) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// The stored text, "<missing>" when there is no such value and "<type N>" for another type.
std::wstring StoredSetting(const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<missing>";
  wchar_t value[512];
  DWORD size = sizeof(value), type = 0;
  LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return L"<missing>";
  if (type != REG_SZ) return L"<type " + std::to_wstring(type) + L">";
  return std::wstring(value, size / sizeof(wchar_t)).c_str();
}

void ForgetSettings() {
  HKEY software;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software) == ERROR_SUCCESS) {
    RegDeleteKeyW(software, L"Quenda");
    RegCloseKey(software);
  }
}

// There is no window manager under Xvfb: Wine is to draw the caption bars itself, so that
// the caption painter's work is on screen (and in the pictures). Read by each new process.
void LetWineDrawCaptions() {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    const wchar_t no[] = L"N";
    RegSetValueExW(key, L"Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof(no));
    RegCloseKey(key);
  }
}

// One run of the host: one call of pluginStart per output file.
class HostRun {
 public:
  HostRun(const std::wstring& document, std::vector<std::wstring> outputs) : outputs_(std::move(outputs)) {
    for (const auto& output : outputs_) DeleteFileW(output.c_str());
    std::vector<std::wstring> arguments{Environment(L"QUENDA_E2E_DLL"), document};
    arguments.insert(arguments.end(), outputs_.begin(), outputs_.end());
    started_ = host_.Start(Environment(L"QUENDA_E2E_HOST"), arguments);
  }

  bool started() const { return started_; }
  DWORD processId() const { return host_.Id(); }

  // Waits for the converter window of the current call.
  HWND WaitForForm() {
    form_ = nullptr;
    e2e::WaitUntil([this] { return (form_ = e2e::FindTopWindow(host_.Id(), ids::kMainClass)) != nullptr; });
    return form_;
  }
  HWND Control(int id) { return e2e::FindControl(form_, id); }

  // Starts the conversion and waits until it has finished and "Übernehmen" is enabled.
  bool Convert() {
    HWND status = Control(ids::kLabel14);
    HWND accept = Control(ids::kSpeedButton3);
    e2e::Click(Control(ids::kSpeedButton2));
    return e2e::WaitUntil([&] {
      return e2e::Narrow(e2e::Text(status)) == kFinished && IsWindowEnabled(accept) &&
             IsWindowVisible(Control(ids::kPlusMemo1));
    });
  }

  // "Übernehmen" or "Abbrechen", then waits until the window is gone.
  void Press(int button) {
    HWND form = form_;
    e2e::Click(Control(button));
    e2e::WaitUntil([&] { return !IsWindow(form); });
  }

  int Finish() { return host_.Wait(); }

 private:
  e2e::Process host_;
  std::vector<std::wstring> outputs_;
  HWND form_ = nullptr;
  bool started_ = false;
};

// The options of one conversion, as set in the window.
struct Options {
  bool completeLists = true;
  bool compatible = true;
  int language = 0;
  std::string encoding = "iso-8859-1";
  int dtd = 0;
};

void SetOptions(HostRun& run, const Options& options) {
  e2e::SetChecked(run.Control(ids::kCheckBox1), options.completeLists);
  e2e::SetChecked(run.Control(ids::kCheckBox2), options.compatible);
  e2e::Choose(run.Control(ids::kComboBox1), options.language);
  HWND encoding = run.Control(ids::kComboBox2);
  if (e2e::Narrow(e2e::Text(encoding)) != options.encoding) e2e::SetText(encoding, e2e::Wide(options.encoding));
  e2e::Choose(run.Control(ids::kComboBox3), options.dtd);
}

struct Case {
  std::string name;
  std::wstring document;
  Options options;
  std::wstring expected;
  std::wstring expectedTwice;  // the command line run again over its own result
};

std::vector<Case> ReadManifest(const std::wstring& work) {
  std::vector<Case> cases;
  std::ifstream manifest((work + L"\\manifest.txt").c_str());
  std::string line;
  while (std::getline(manifest, line)) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    std::string field;
    while (std::getline(parts, field, '\t')) fields.push_back(field);
    if (fields.size() != 8) continue;
    Case c;
    c.name = fields[0];
    c.document = work + L"\\" + e2e::Wide(fields[1]);
    c.options = {fields[2] == "1", fields[3] == "1", std::atoi(fields[4].c_str()), fields[5], std::atoi(fields[6].c_str())};
    c.expected = work + L"\\" + e2e::Wide(fields[7]);
    c.expectedTwice = c.expected + L".twice";
    cases.push_back(c);
  }
  return cases;
}

class PluginEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = Environment(L"QUENDA_E2E_WORK");
    if (work_.empty()) GTEST_SKIP() << "run through tests/wine/run-plugin-e2e.sh";
    cases_ = ReadManifest(work_);
    ASSERT_FALSE(cases_.empty());
    shots_ = Environment(L"QUENDA_E2E_SHOTS");
    LetWineDrawCaptions();
    ForgetSettings();
  }
  void TearDown() override { ForgetSettings(); }

  void Picture(HWND window, const wchar_t* name) {
    if (shots_.empty() || !window) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    e2e::WaitUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, std::chrono::seconds(5));
    EXPECT_TRUE(e2e::SaveWindowPicture(window, shots_ + L"\\" + name + L".bmp")) << e2e::Narrow(name);
  }

  // Brings a page to the front with the keyboard, the way a user moves through the tabs.
  void ShowPage(HostRun& run, int page) {
    HWND tabs = run.Control(ids::kPageControl);
    for (int tries = 0; tries < 8; ++tries) {
      int current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
      if (current == page) break;
      SendMessageW(tabs, WM_KEYDOWN, current < page ? VK_RIGHT : VK_LEFT, 0);
    }
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), page);
  }

  std::wstring Output(const char* name) { return work_ + L"\\" + e2e::Wide(name); }

  std::wstring work_;
  std::wstring shots_;
  std::vector<Case> cases_;
};

TEST_F(PluginEndToEnd, FirstUseOpensWithDefaultsSavesThemAndTheNextCallReloadsChanges) {
  const Case& c = cases_.front();
  {
    HostRun run(c.document, {Output("first.out")});
    ASSERT_TRUE(run.started());
    HWND form = run.WaitForForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(e2e::Narrow(e2e::Text(form)), "Quenda  - Plugin");
    RECT client, frame;
    GetClientRect(form, &client);
    GetWindowRect(form, &frame);
    EXPECT_EQ(client.right, 425);
    EXPECT_EQ(client.bottom, 363);
    EXPECT_EQ(frame.left, 150);
    EXPECT_EQ(frame.top, 100);
    EXPECT_TRUE(e2e::IsChecked(run.Control(ids::kCheckBox1)));
    EXPECT_TRUE(e2e::IsChecked(run.Control(ids::kCheckBox2)));
    EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox1)), 0);
    EXPECT_EQ(e2e::Narrow(e2e::Text(run.Control(ids::kComboBox2))), "iso-8859-1");
    EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox3)), 0);
    EXPECT_FALSE(IsWindowEnabled(run.Control(ids::kSpeedButton3)));
    EXPECT_EQ(e2e::Text(run.Control(ids::kLabel14)), L"");
    // The host's own window takes no input while the converter window is open.
    HWND editor = e2e::FindTopWindow(run.processId(), L"QuendaHostEditor");
    ASSERT_TRUE(editor);
    EXPECT_FALSE(IsWindowEnabled(editor));
    Picture(form, L"page-allgemein");
    ShowPage(run, 2);
    Picture(form, L"page-hilfe");
    ShowPage(run, 3);
    Picture(form, L"page-info");
    run.Press(ids::kSpeedButton5);
    EXPECT_EQ(run.Finish(), 1);
  }
  EXPECT_FALSE(FileExists(Output("first.out")));
  const std::pair<const wchar_t*, const wchar_t*> defaults[] = {
      {L"PosX", L"150"},           {L"PosY", L"100"},          {L"convertSpecial", L"1"},
      {L"nonXHTMLcompability", L"1"}, {L"doclanguage", L"german"}, {L"encoding", L"iso-8859-1"},
      {L"dtd", L"transitional"}};
  for (const auto& [name, value] : defaults) EXPECT_EQ(StoredSetting(name), value) << e2e::Narrow(name);

  {
    HostRun run(c.document, {Output("second.out")});
    ASSERT_TRUE(run.WaitForForm());
    e2e::SetChecked(run.Control(ids::kCheckBox1), false);
    e2e::Choose(run.Control(ids::kComboBox1), 1);  // "Englisch" presets the character set
    EXPECT_EQ(e2e::Narrow(e2e::Text(run.Control(ids::kComboBox2))), "UTF-8");
    e2e::Choose(run.Control(ids::kComboBox3), 1);
    run.Press(ids::kSpeedButton5);
    EXPECT_EQ(run.Finish(), 1);
  }
  EXPECT_EQ(StoredSetting(L"convertSpecial"), L"0");
  EXPECT_EQ(StoredSetting(L"doclanguage"), L"english");
  EXPECT_EQ(StoredSetting(L"encoding"), L"UTF-8");
  EXPECT_EQ(StoredSetting(L"dtd"), L"strict");
  {
    HostRun run(c.document, {Output("third.out")});
    ASSERT_TRUE(run.WaitForForm());
    EXPECT_FALSE(e2e::IsChecked(run.Control(ids::kCheckBox1)));
    EXPECT_TRUE(e2e::IsChecked(run.Control(ids::kCheckBox2)));
    EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox1)), 1);
    EXPECT_EQ(e2e::Narrow(e2e::Text(run.Control(ids::kComboBox2))), "UTF-8");
    EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox3)), 1);
    run.Press(ids::kSpeedButton5);
    EXPECT_EQ(run.Finish(), 1);
  }
}

TEST_F(PluginEndToEnd, StoredValuesLoadAsTheyAreAndConvertSpecialTwoIsOff) {
  StoreSetting(L"convertSpecial", L"2");
  StoreSetting(L"doclanguage", L"german");
  StoreSetting(L"encoding", L"UTF-8");  // loading the language is no choice by the user
  StoreSetting(L"dtd", L"Strict");      // letter case counts
  HostRun run(cases_.front().document, {Output("special.out")});
  ASSERT_TRUE(run.WaitForForm());
  EXPECT_FALSE(e2e::IsChecked(run.Control(ids::kCheckBox1)));
  EXPECT_TRUE(e2e::IsChecked(run.Control(ids::kCheckBox2)));
  EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox1)), 0);
  EXPECT_EQ(e2e::Narrow(e2e::Text(run.Control(ids::kComboBox2))), "UTF-8");
  EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox3)), 2);
  run.Press(ids::kSpeedButton5);
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_EQ(StoredSetting(L"convertSpecial"), L"0");
}

TEST_F(PluginEndToEnd, NonNumericPosXReportsInGermanAndOpensWithTheInitialValues) {
  StoreSetting(L"PosX", L"links");
  StoreSetting(L"encoding", L"UTF-8");  // after the failing value: must not be loaded
  HostRun run(cases_.front().document, {Output("posx.out")});
  ASSERT_TRUE(run.started());
  HWND box = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (box = e2e::FindTopWindow(run.processId(), L"#32770")) != nullptr; }));
  std::string message = e2e::Narrow(e2e::StaticTexts(box));
  EXPECT_NE(message.find("'links' ist kein g\xFCltiger Integerwert"), std::string::npos) << message;
  Picture(box, L"error-posx");
  HWND ok = e2e::FindChildOfClass(box, L"Button");
  ASSERT_TRUE(ok);
  e2e::Click(ok);
  HWND form = run.WaitForForm();
  ASSERT_TRUE(form);
  RECT frame;
  GetWindowRect(form, &frame);
  EXPECT_EQ(frame.left, 160);
  EXPECT_EQ(frame.top, 100);  // "PosY" comes before "PosX" and was loaded
  EXPECT_TRUE(e2e::IsChecked(run.Control(ids::kCheckBox1)));
  EXPECT_TRUE(e2e::IsChecked(run.Control(ids::kCheckBox2)));
  EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox1)), -1);
  EXPECT_EQ(e2e::Text(run.Control(ids::kComboBox2)), L"");
  EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox3)), -1);
  run.Press(ids::kSpeedButton5);
  EXPECT_EQ(run.Finish(), 1);
}

TEST_F(PluginEndToEnd, AcceptedTextEqualsTheCommandLineConversion) {
  bool pictured = false;
  for (const Case& c : cases_) {
    SCOPED_TRACE(c.name);
    HostRun run(c.document, {Output("accepted.out")});
    ASSERT_TRUE(run.WaitForForm());
    SetOptions(run, c.options);
    ASSERT_TRUE(run.Convert());
    EXPECT_EQ(SendMessageW(run.Control(ids::kProgressBar1), PBM_GETPOS, 0, 0), 12);
    if (!pictured) {
      Picture(run.WaitForForm(), L"page-ausgabe");
      pictured = true;
    }
    run.Press(ids::kSpeedButton3);
    EXPECT_EQ(run.Finish(), 0);  // pluginRueckgabetyp 2
    std::string expected = ReadFile(c.expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFile(Output("accepted.out")), expected);
  }
}

TEST_F(PluginEndToEnd, TypedEditComesBackAndCancelAfterAcceptReturnsNothing) {
  const Case& c = cases_.front();
  HostRun run(c.document, {Output("edited.out"), Output("cancelled.out")});
  ASSERT_TRUE(run.WaitForForm());
  SetOptions(run, c.options);
  ASSERT_TRUE(run.Convert());
  HWND memo = run.Control(ids::kPlusMemo1);
  SendMessageW(memo, EM_SETSEL, 0, 0);
  e2e::Type(memo, L"<!-- von Hand -->\r");
  run.Press(ids::kSpeedButton3);
  // The same process calls again; this time the user cancels after converting.
  ASSERT_TRUE(run.WaitForForm());
  ASSERT_TRUE(run.Convert());
  run.Press(ids::kSpeedButton5);
  EXPECT_EQ(run.Finish(), 1);  // the last call's pluginRueckgabetyp was 0, its text empty
  EXPECT_EQ(ReadFile(Output("edited.out")), "<!-- von Hand -->\r\n" + ReadFile(c.expected));
  EXPECT_FALSE(FileExists(Output("cancelled.out")));
}

TEST_F(PluginEndToEnd, SecondConversionConvertsTheConvertedTextAndReplacesAnEdit) {
  const Case& c = cases_.back();
  HostRun run(c.document, {Output("twice.out")});
  ASSERT_TRUE(run.WaitForForm());
  SetOptions(run, c.options);
  ASSERT_TRUE(run.Convert());
  HWND memo = run.Control(ids::kPlusMemo1);
  SendMessageW(memo, EM_SETSEL, 0, 0);
  e2e::Type(memo, L"verloren");
  Picture(run.WaitForForm(), L"page-ausgabe-typed");
  ShowPage(run, 0);
  EXPECT_EQ(e2e::Narrow(e2e::Text(run.Control(ids::kLabel14))), kFinished);
  Picture(run.WaitForForm(), L"page-allgemein-finished");
  ASSERT_TRUE(run.Convert());
  run.Press(ids::kSpeedButton3);
  EXPECT_EQ(run.Finish(), 0);
  std::string twice = ReadFile(Output("twice.out"));
  EXPECT_EQ(twice, ReadFile(c.expectedTwice));
  EXPECT_EQ(twice.find("verloren"), std::string::npos);
}

}  // namespace
