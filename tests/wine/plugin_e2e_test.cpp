// The plug-in end to end: quenda-host loads Quenda.dll with a document and this driver works
// the real converter window as a person would, with keyboard and mouse input and by control
// IDs, then checks what the host got back (kind and text), the registry, and that the host's
// window takes input again. Expected conversions come from the engine, linked in here.
// Run by tests/wine/run-plugin-e2e.sh (folders and programs in QUENDA_E2E_*). The randomized
// exerciser runs for QUENDA_SOAK_SECONDS (default 180) from the seed QUENDA_SEED (default:
// the clock); it prints the seed so that a failure can be replayed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>

#include "plugin/controls/win32/wide_text.h"
#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/main_controller.h"
#include "plugin/win32/main_ids.h"
#include "tests/wine/window_driver.h"

namespace {

namespace ids = quenda::ids;
using e2e::Text;
using quenda::OptionControls;
using quenda::controls::Narrow;
using Strings = std::vector<std::string>;

const wchar_t kSettingsKey[] = L"Software\\Quenda";
const wchar_t kWineX11[] = L"Software\\Wine\\X11 Driver";
const char kFinished[] = "Alles abgeschlossen!";
const OptionControls kFirstUse{150, 100, true, true, 0, "iso-8859-1", 0};
const char* const kDocuments[] = {"sample.html", "lists_forms.html", "frameset.html"};

Strings Stored() {
  Strings texts;
  for (auto name : {L"PosX", L"PosY", L"convertSpecial", L"nonXHTMLcompability", L"doclanguage", L"encoding", L"dtd"}) {
    texts.push_back(Narrow(e2e::RegistryText(HKEY_CURRENT_USER, kSettingsKey, name)));
  }
  return texts;
}

// The seven values as the window stores them for these controls.
Strings AsStored(const OptionControls& c) {
  return {std::to_string(c.left), std::to_string(c.top), c.checkBox1 ? "1" : "0", c.checkBox2 ? "1" : "0",
          c.comboBox1 == 0 ? "german" : "english", c.comboBox2,
          c.comboBox3 == 0 ? "transitional" : c.comboBox3 == 1 ? "strict" : "frameset"};
}

std::string Converted(const std::string& work, const OptionControls& controls) {
  return quenda::ConvertText(work, quenda::OptionsFromControls(controls));
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

  e2e::Process& host() { return host_; }
  HWND form() const { return form_; }
  // The next call's window: the last one may still show for a moment after its button.
  HWND WaitForForm() {
    if (form_) Gone();
    form_ = host_.WaitFor(ids::kMainClass);
    // A person's first click comes once the window is in front and has put the focus on its
    // first control: a click in between would lose its button to that focus.
    if (form_) {
      e2e::BringToFront(form_);
      e2e::WaitUntil([&] { return IsChild(form_, Focus()); }, std::chrono::seconds(10));
      hung_ |= !e2e::Settle(form_);
    }
    return form_;
  }
  // The window thread's focus, active and capture windows (null where it has none).
  GUITHREADINFO Thread() const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    GetGUIThreadInfo(GetWindowThreadProcessId(form_, nullptr), &thread);
    return thread;
  }
  HWND Focus() const { return Thread().hwndFocus; }
  // Where input goes now, for a failure's message: the thread's focus, active and capture
  // windows and the foreground window, each by class and ID.
  std::string InputState() const {
    GUITHREADINFO thread = Thread();
    auto name = [](HWND window) {
      wchar_t type[64] = L"-";
      if (window) GetClassNameW(window, type, 64);
      return Narrow(type) + "#" + std::to_string(window ? GetDlgCtrlID(window) : 0);
    };
    return "focus " + name(thread.hwndFocus) + ", active " + name(thread.hwndActive) + ", capture " +
           name(thread.hwndCapture) + ", foreground " + name(GetForegroundWindow()) + ", flags " +
           std::to_string(thread.flags);
  }
  bool Focused(int id) {
    HWND control = Control(id), focus = Focus();
    return focus && (focus == control || IsChild(control, focus));
  }
  // Real input waits in the window's queue behind every message sent to it, so a round trip
  // does not prove it handled; a step that must have arrived waits for what it does. Input
  // is handled in order, so the last step's effect vouches for those before it.
  bool Await(const std::function<bool()>& done) {
    return e2e::WaitUntil(done, std::chrono::seconds(20)) && Settled();
  }
  bool Gone() { return e2e::WaitUntil([&] { return !IsWindow(form_); }, std::chrono::seconds(20)); }
  HWND Control(int id) { return e2e::FindControl(form_, id); }

  OptionControls Shown() {
    RECT frame{};
    GetWindowRect(form_, &frame);
    return {frame.left, frame.top, e2e::IsChecked(Control(ids::kCheckBox1)), e2e::IsChecked(Control(ids::kCheckBox2)),
            e2e::Chosen(Control(ids::kComboBox1)), Narrow(Text(Control(ids::kComboBox2))),
            e2e::Chosen(Control(ids::kComboBox3))};
  }
  void Set(const OptionControls& options) {
    e2e::SetChecked(Control(ids::kCheckBox1), options.checkBox1);
    e2e::SetChecked(Control(ids::kCheckBox2), options.checkBox2);
    e2e::Choose(Control(ids::kComboBox1), options.comboBox1);
    e2e::SetText(Control(ids::kComboBox2), quenda::controls::Wide(options.comboBox2));
    e2e::Choose(Control(ids::kComboBox3), options.comboBox3);
  }
  // Brings a page to the front with the keyboard, the way a user moves through the tabs.
  void ShowPage(int page) {
    HWND tabs = Control(ids::kPageControl);
    for (int current, tries = 0; tries < 8 && (current = TabCtrl_GetCurSel(tabs)) != page; ++tries) {
      SendMessageW(tabs, WM_KEYDOWN, current < page ? VK_RIGHT : VK_LEFT, 0);
    }
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), page);
  }
  // Starts the conversion with a real click and waits until it has finished.
  bool Convert() {
    ShowPage(0);
    SetWindowTextW(Control(ids::kLabel14), L"");
    e2e::ClickAt(Control(ids::kSpeedButton2));
    return e2e::WaitUntil([&] { return Narrow(Text(Control(ids::kLabel14))) == kFinished; }, std::chrono::seconds(20));
  }
  std::string Memo() { return Narrow(Text(Control(ids::kPlusMemo1))); }
  // Real input, then waits until the window has handled it; false when the window is gone.
  bool Click(int id, int x = -1, int y = -1) {
    e2e::ClickAt(Control(id), x, y);
    return Settled();
  }
  bool Keys(const std::vector<WORD>& keys) {
    e2e::PressKeys(keys);
    return Settled();
  }
  bool Settled() {
    hung_ |= !e2e::Settle(form_);
    return IsWindow(form_) && !hung_;
  }
  bool hung() const { return hung_; }
  bool Dropped() {
    bool dropped = false;
    for (int id : {ids::kComboBox1, ids::kComboBox2, ids::kComboBox3}) {
      dropped |= SendMessageW(Control(id), CB_GETDROPPEDSTATE, 0, 0) != 0;
    }
    return dropped;
  }
  void CloseLists() {
    for (int id : {ids::kComboBox1, ids::kComboBox2, ids::kComboBox3}) SendMessageW(Control(id), CB_SHOWDROPDOWN, FALSE, 0);
  }

 private:
  e2e::Process host_;
  HWND form_ = nullptr;
  bool hung_ = false;
};

class PluginEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = e2e::Environment(L"QUENDA_E2E_WORK");
    if (work_.empty()) GTEST_SKIP() << "run through tests/wine/run-plugin-e2e.sh";
    e2e::LetWineDrawCaptions();
    // Without a window manager, Wine waits two seconds for one whenever a managed window
    // is hidden: every closing converter window would.
    e2e::SetRegistryText(HKEY_CURRENT_USER, kWineX11, L"Managed", L"N");
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineX11, L"Managed");
  }

  void Picture(HWND window, const wchar_t* name) { EXPECT_TRUE(e2e::Picture(window, name)) << Narrow(name); }
  std::wstring Output(const std::string& name) { return work_ + L"\\" + e2e::Wide(name); }
  std::string Document(const std::string& name) { return quenda::HostLineText(e2e::ReadFile(Output(name)).c_str()); }

  std::wstring work_;
};

TEST_F(PluginEndToEnd, NonNumericPosXReportsInGermanAndOpensWithTheInitialValues) {
  e2e::SetRegistryText(HKEY_CURRENT_USER, kSettingsKey, L"PosX", L"links");
  e2e::SetRegistryText(HKEY_CURRENT_USER, kSettingsKey, L"encoding", L"UTF-8");  // after PosX: not to be loaded
  HostRun run(Output(kDocuments[0]), {Output("posx.out")});
  HWND box = run.host().WaitFor(L"#32770");
  ASSERT_TRUE(box);
  std::string message = Narrow(e2e::StaticTexts(box));
  EXPECT_NE(message.find("'links' ist kein g\xFCltiger Integerwert"), std::string::npos) << message;
  Picture(box, L"error-posx");
  e2e::Click(GetDlgItem(box, IDOK));
  ASSERT_TRUE(run.WaitForForm());
  EXPECT_EQ(run.Shown(), (OptionControls{160, 100, true, true, -1, "", -1}));  // "PosY" comes before "PosX"
  // Closed by message: a window that opens behind a message box may come up inactive under
  // Wine, and a real click then goes astray. The exerciser clicks "Abbrechen" for real.
  e2e::Click(run.Control(ids::kSpeedButton5));
  EXPECT_EQ(run.host().Wait(), 1);
}

// First use, with the keyboard and the mouse: the pictures of the four pages; "Übernehmen"
// does nothing before the first conversion; "Englisch" sets "UTF-8" at once; a typed edit
// with a tab in it comes back. Then the second call: Escape after typing in the output
// cancels, and the third: Escape in the help cancels too.
TEST_F(PluginEndToEnd, FirstUseByKeyboardAndMouseAndEscapeCancelsOnEveryPage) {
  HostRun run(Output(kDocuments[0]), {Output("typed.out"), Output("escape.out"), Output("help.out")});
  HWND form = run.WaitForForm();
  ASSERT_TRUE(form);
  EXPECT_EQ(Narrow(Text(form)), "Quenda  - Plugin");
  RECT client{};
  EXPECT_TRUE(GetClientRect(form, &client) && client.right == 425 && client.bottom == 363);
  EXPECT_EQ(run.Shown(), kFirstUse);
  HWND editor = run.host().WaitFor(L"QuendaHostEditor");
  EXPECT_TRUE(editor && !IsWindowEnabled(editor));
  for (int page : {3, 2, 0}) {
    run.ShowPage(page);
    Picture(form, page == 3 ? L"page-info" : page == 2 ? L"page-hilfe" : L"page-allgemein");
  }
  EXPECT_FALSE(IsWindowEnabled(run.Control(ids::kSpeedButton3)));
  ASSERT_TRUE(run.Click(ids::kSpeedButton3));  // disabled: the window stays
  ASSERT_TRUE(run.Click(ids::kComboBox1) && run.Await([&] { return run.Dropped(); }));
  ASSERT_TRUE(run.Keys({VK_DOWN}) && run.Keys({VK_RETURN}) && run.Await([&] { return !run.Dropped(); }));
  EXPECT_EQ(e2e::Chosen(run.Control(ids::kComboBox1)), 1);
  EXPECT_EQ(Narrow(Text(run.Control(ids::kComboBox2))), "UTF-8");
  ASSERT_TRUE(run.Convert());
  ASSERT_TRUE(run.Click(ids::kPlusMemo1, 2, 2) && run.Keys({VK_HOME}) && run.Keys({'A'}) && run.Keys({'B'}) &&
              run.Keys({VK_TAB}) && run.Keys({VK_RETURN}));
  EXPECT_TRUE(run.Await([&] { return run.Memo().substr(0, 5) == "ab\t\r\n"; })) << run.InputState();
  Picture(form, L"page-ausgabe");
  std::string typed = run.Memo();
  run.Click(ids::kSpeedButton3);

  ASSERT_TRUE(run.WaitForForm());
  EXPECT_EQ(run.Shown(), (OptionControls{150, 100, true, true, 1, "UTF-8", 0}));
  ASSERT_TRUE(run.Convert());
  ASSERT_TRUE(run.Click(ids::kPlusMemo1) && run.Keys({'X'}) && run.Keys({'Y'}) && run.Keys({'Z'}));
  EXPECT_TRUE(run.Await([&] { return run.Memo().find("xyz") != std::string::npos; }));
  run.Keys({VK_ESCAPE});
  EXPECT_TRUE(run.Gone());

  ASSERT_TRUE(run.WaitForForm());
  run.ShowPage(2);
  ASSERT_TRUE(run.Click(ids::kPlusMemo2) && run.Await([&] { return run.Focused(ids::kPlusMemo2); }));
  run.Keys({VK_ESCAPE});
  EXPECT_TRUE(run.Gone());
  EXPECT_EQ(run.host().Wait(), 1);  // the last call: pluginRueckgabetyp 0, empty text
  EXPECT_EQ(e2e::ReadFile(Output("typed.out")), typed);
  EXPECT_FALSE(e2e::Exists(Output("escape.out")));
  EXPECT_EQ(Stored(), AsStored(OptionControls{150, 100, true, true, 1, "UTF-8", 0}));
}

// Line breaks as a host may hand them over: a lone CR comes back as CR LF, a lone LF stays
// inside its line, and the document ends at its first NUL. Untouched output comes back
// byte for byte.
TEST_F(PluginEndToEnd, LoneCrLoneLfAndNulCrossTheDllBoundary) {
  const char text[] = "<HTML>\r<HEAD><TITLE>T\xE4</TITLE></HEAD>\n<BODY>\r\n<P>a\nb<BR>\r\r\n</BODY>\0<P>x";
  const std::string document(text, sizeof(text) - 1);
  std::ofstream(Output("breaks.html").c_str(), std::ios::binary) << document;
  HostRun run(Output("breaks.html"), {Output("breaks.out")});
  ASSERT_TRUE(run.WaitForForm());
  ASSERT_TRUE(run.Convert());
  run.Click(ids::kSpeedButton3);
  EXPECT_EQ(run.host().Wait(), 0);
  std::string expected = Converted(quenda::HostLineText(document.c_str()), kFirstUse);
  EXPECT_EQ(e2e::ReadFile(Output("breaks.out")), expected);
}

// A handler that fails closes the window: pluginStart returns null, and the host's window
// takes input again (quenda-host says 4 when it does not, 3 for the null result).
TEST_F(PluginEndToEnd, FailingHandlerReturnsNullAndLeavesTheHostEnabled) {
  SetEnvironmentVariableW(L"QUENDA_FAULT", L"SpeedButton2Click");
  HostRun run(Output(kDocuments[0]), {Output("fault.out")});
  SetEnvironmentVariableW(L"QUENDA_FAULT", nullptr);
  ASSERT_TRUE(run.WaitForForm());
  run.ShowPage(0);
  e2e::ClickAt(run.Control(ids::kSpeedButton2));
  EXPECT_EQ(run.host().Wait(), 3);
  EXPECT_FALSE(e2e::Exists(Output("fault.out")));
}

// The exerciser's record of one run: what the window showed before the last step.
struct Seen {
  std::string work;  // the hidden work text: the document, converted once per conversion
  std::string memo;
  OptionControls options;
  bool converted = false;
};

enum class Step { letter, enter, escape, tab, backTab, controlTab, arrow, shortcut, altF4, click, convert, end };
// The two buttons that end a run come at the end (and often enough through Enter).
const int kClickTargets[] = {ids::kPageControl, ids::kCheckBox1, ids::kCheckBox2, ids::kComboBox1,
                             ids::kComboBox2,   ids::kComboBox3, ids::kPlusMemo1, ids::kPlusMemo2,
                             ids::kLabel14,     ids::kSpeedButton2};

// Random keys and clicks a person can give, over all four pages, with conversions in
// between, then an end with one of the buttons, Escape or Alt+F4. After every step: a
// conversion shows the engine's text, "Übernehmen" is enabled exactly after one, a language
// chosen by the user sets its character set. After every run: the host got kind 2 and the
// text the memo showed, or kind 0 and the empty text; the settings are stored; the host's
// window is enabled again (else quenda-host ends with 4); nothing hung.
TEST_F(PluginEndToEnd, RandomKeysAndClicksNeverLoseTheText) {
  wchar_t value[32] = L"";
  double seconds = GetEnvironmentVariableW(L"QUENDA_SOAK_SECONDS", value, 32) ? _wtof(value) : 180;
  uint32_t seed = GetEnvironmentVariableW(L"QUENDA_SEED", value, 32)
                      ? static_cast<uint32_t>(_wtoi64(value))
                      : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::printf("exerciser: QUENDA_SEED=%u for %.0f s\n", seed, seconds);
  std::mt19937 random(seed);
  auto pick = [&](int count) { return static_cast<int>(random() % static_cast<uint32_t>(count)); };
  std::discrete_distribution<int> steps{12, 3, 1, 3, 2, 2, 5, 5, 1, 14, 3};
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  int runs = 0, stepsDone = 0;
  OptionControls stored = kFirstUse;
  for (int batch = 0; batch == 0 || elapsed() < seconds; ++batch) {
    // One host for 25 calls, as an editor calls a plug-in again and again.
    const std::string documentName = kDocuments[pick(3)];
    std::vector<std::wstring> outputs;
    for (int call = 0; call < 25; ++call) outputs.push_back(Output("run" + std::to_string(call) + ".out"));
    HostRun run(Output(documentName), outputs);
    for (const std::wstring& output : outputs) {
      SCOPED_TRACE("run " + std::to_string(runs) + " with QUENDA_SEED=" + std::to_string(seed));
      ASSERT_TRUE(run.WaitForForm()) << "no window: quenda-host hung or ended with " << run.host().Wait();
      Seen seen{Document(documentName), run.Memo(), run.Shown(), false};
      if (stored.comboBox2.empty()) stored.comboBox2 = "iso-8859-1";  // an empty value loads as the default
      ASSERT_EQ(seen.options, stored) << "the settings the window before stored";
      bool open = true, cancel = false;
      int language = seen.options.comboBox1;
      // While a list is open, its entry under the mouse shows; the choice is made on closing.
      auto Chosen = [&](const OptionControls& now, bool set) {
        if (!run.Dropped() && now.comboBox1 != language) {
          if (!set) {
            EXPECT_EQ(now.comboBox2, now.comboBox1 == 0 ? "iso-8859-1" : "UTF-8") << "a language chosen by the user";
          }
          language = now.comboBox1;
        }
        seen.options = now;
      };
      for (int left = 2 + pick(14); open; --left) {
        ASSERT_GT(left, -4) << "the window does not close";
        Step step = left > 0 ? static_cast<Step>(steps(random)) : Step::end;
        bool dropped = run.Dropped();
        SetWindowTextW(run.Control(ids::kLabel14), L"");  // "Alles abgeschlossen!" again: a conversion ran
        if (GetForegroundWindow() != run.form()) SetForegroundWindow(run.form());
        int id = step == Step::click ? kClickTargets[pick(10)] : 0;
        if (step == Step::end) {
          // One of the two buttons ("Übernehmen" when it can be pressed), Escape or Alt+F4.
          int way = pick(4);
          if (way == 0 && !seen.converted) way = 1;
          step = way < 2 ? Step::click : way == 2 ? Step::escape : Step::altF4;
          id = way == 0 ? ids::kSpeedButton3 : ids::kSpeedButton5;
          run.CloseLists();
          Chosen(run.Shown(), false);  // the entry the closed list shows is chosen
          dropped = false;
        }
        cancel = (step == Step::escape && !dropped) || step == Step::altF4 ||
                 (id == ids::kSpeedButton5 && !dropped);
        switch (step) {
          case Step::letter: open = run.Keys({static_cast<WORD>('A' + pick(26))}); break;
          case Step::enter: open = run.Keys({VK_RETURN}); break;
          case Step::escape: open = run.Keys({VK_ESCAPE}); break;
          case Step::tab: open = run.Keys({VK_TAB}); break;
          case Step::backTab: open = run.Keys({VK_SHIFT, VK_TAB}); break;
          case Step::controlTab: open = run.Keys({VK_CONTROL, VK_TAB}); break;
          case Step::arrow: open = run.Keys({static_cast<WORD>(VK_LEFT + pick(4))}); break;
          case Step::shortcut: open = run.Keys({VK_CONTROL, static_cast<WORD>("ACVXZ"[pick(5)])}); break;
          case Step::altF4: open = run.Keys({VK_MENU, VK_F4}); break;
          case Step::convert: {
            const char* encodings[] = {"iso-8859-1", "UTF-8", "windows-1252", "us-ascii"};
            run.CloseLists();
            run.Set(OptionControls{0, 0, pick(2) == 0, pick(2) == 0, pick(2), encodings[pick(4)], pick(3)});
            seen.options = run.Shown();
            ASSERT_TRUE(run.Convert());
            open = run.Settled();
            break;
          }
          case Step::click: {
            HWND control = run.Control(id);
            if (!IsWindowVisible(control)) continue;
            RECT area{};
            GetClientRect(control, &area);
            // The page control somewhere on its tabs, a memo anywhere, the rest in the middle.
            bool memo = id == ids::kPlusMemo1 || id == ids::kPlusMemo2;
            int x = id == ids::kPageControl ? 4 + pick(200) : memo ? pick(area.right) : -1;
            int y = id == ids::kPageControl ? 4 + pick(12) : memo ? pick(area.bottom) : -1;
            open = run.Click(id, x, y);
            break;
          }
          case Step::end: break;
        }
        ++stepsDone;
        ASSERT_FALSE(run.hung()) << "the window takes no messages any more";
        if (!open) break;
        ASSERT_TRUE(run.Control(ids::kPlusMemo1) && run.Control(ids::kPlusMemo2)) << "a part of the window is gone";
        if (Narrow(Text(run.Control(ids::kLabel14))) == kFinished) {
          seen.work = Converted(seen.work, seen.options);
          seen.converted = true;
          ASSERT_EQ(run.Memo(), seen.work) << "the output after a conversion";
        }
        Chosen(run.Shown(), step == Step::convert);
        ASSERT_EQ(IsWindowEnabled(run.Control(ids::kSpeedButton3)) != FALSE, seen.converted);
        seen.memo = run.Memo();
      }
      // The text is written once pluginStart has returned: by the next window or the host's end.
      if (&output == &outputs.back()) {
        EXPECT_LE(run.host().Wait(), 1) << "quenda-host: 3 a failed call, 4 the editor left disabled";
      } else {
        ASSERT_TRUE(run.host().WaitFor(ids::kMainClass)) << "quenda-host ended with " << run.host().Wait();
      }
      if (e2e::Exists(output)) {
        EXPECT_TRUE(seen.converted && !cancel) << "kind 2 where no text could be accepted";
        EXPECT_EQ(e2e::ReadFile(output), seen.memo) << "kind 2 hands back the memo's text";
      }
      EXPECT_EQ(Stored(), AsStored(seen.options));
      stored = seen.options;
      if (HasFailure()) return;
      ++runs;
    }
  }
  std::printf("exerciser: %d runs, %d steps in %.0f s\n", runs, stepsDone, elapsed());
}

}  // namespace
