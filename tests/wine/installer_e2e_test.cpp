// The installer end to end under Wine: installer files made with mksfx from install.exe, a script
// and an archive, worked by control IDs as a user works them. Each scenario checks what is left on
// disk and in the process list, not only the screens; the pictures are for a person to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "installer/win32/control_ids.h"
#include "platform/files.h"
#include "tests/unzip/support.h"
#include "tests/wine/window_driver.h"

namespace {

namespace ids = installer::ids;
using e2e::Wide;

// The temp folder and the Windows folder, each with its backslash.
const std::string kTemp = [] {
  char path[MAX_PATH];
  return std::string(path, GetTempPathA(MAX_PATH, path));
}();
const std::string kWindows = e2e::Narrow(e2e::Environment(L"windir")) + "\\";

// The installer's unpack folders in the temp folder.
int CountUnpackFolders() {
  std::vector<platform::FolderEntry> entries;
  platform::ListFolder(kTemp, entries);
  return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                        [](const platform::FolderEntry& e) { return e.name.rfind("zqsfx", 0) == 0; }));
}

void PutFile(const std::string& path, const std::string& data) { platform::WriteWholeFile(path, data); }

std::wstring Row(HWND list, int index) {
  std::wstring row(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)) + 1, L'\0');
  row.resize(static_cast<size_t>(
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(row.data()))));
  return row;
}

// The titles of the process's windows that get a task bar button: visible top-level windows
// that no other window owns and that are no tool windows, or that ask for a button.
using TaskBarSearch = std::pair<DWORD, std::vector<std::wstring>>;
BOOL CALLBACK CollectTaskBarWindow(HWND window, LPARAM context) {
  auto& [id, titles] = *reinterpret_cast<TaskBarSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (owner == id && IsWindowVisible(window) &&
      ((!GetWindow(window, GW_OWNER) && !(style & WS_EX_TOOLWINDOW)) || (style & WS_EX_APPWINDOW))) {
    titles.push_back(e2e::Text(window));
  }
  return TRUE;
}
std::vector<std::wstring> TaskBarTitles(DWORD process) {
  TaskBarSearch search{process, {}};
  EnumWindows(CollectTaskBarWindow, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// One installer file and one run of it.
class InstallerRun {
 public:
  // setup.exe made with mksfx, or without a trailer a bare copy of install.exe.
  InstallerRun(const std::string& name, const std::string& script, const std::string& archive, bool withTrailer = true)
      : name_(name) {
    std::string folder = kTemp + "quenda-e2e-" + name + "\\", setup = folder + "setup.exe";
    std::wstring install = e2e::Environment(L"QUENDA_E2E_INSTALL");
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(setup.c_str());
    if (withTrailer) {
      PutFile(folder + "install.ini", script);
      PutFile(folder + "install.zip", archive);
      e2e::Process mksfx;
      EXPECT_TRUE(mksfx.Start(e2e::Environment(L"QUENDA_E2E_MKSFX"),
                              {L"--image", install, L"--script", Wide(folder + "install.ini"), L"--archive",
                               Wide(folder + "install.zip"), L"-o", Wide(setup)}));
      EXPECT_EQ(mksfx.Wait(), 0);
    } else {
      CopyFileW(install.c_str(), Wide(setup).c_str(), FALSE);
    }
    EXPECT_TRUE(process_.Start(Wide(setup), {}));
  }

  HWND WaitForWizard() { return wizard_ = process_.WaitFor(L"Tmaindialog"); }
  HWND Control(int id) { return e2e::FindControl(wizard_, id); }
  bool Shown(int id) { return Control(id) && IsWindowVisible(Control(id)); }
  bool WaitShown(int id) { return e2e::WaitUntil([&] { return Shown(id); }); }
  // A click (or other notice) as the control sends it; posted, so the driver is free meanwhile.
  void Click(int id, WORD code = BN_CLICKED) {
    PostMessageW(wizard_, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(Control(id)));
  }
  HWND WaitForMessageBox() { return process_.WaitFor(L"#32770"); }
  // Answers the message box with the button; its "caption: text", or "" when none came or it stayed.
  std::wstring Answer(int button) {
    HWND box = WaitForMessageBox();
    std::wstring texts = box ? e2e::Text(box) + L": " + e2e::StaticTexts(box) : L"";
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return box && e2e::WaitUntil([&] { return !IsWindowVisible(box); }) ? texts : L"";
  }
  // Waits for the wizard and checks texts on its first page, then on the about box (ID 0: the
  // window's caption); takes the pictures of both and closes the about box with the button.
  void Open(const std::vector<int>& pageIds, const std::vector<std::wstring>& pageTexts,
            const std::vector<int>& aboutIds, const std::vector<std::wstring>& aboutTexts, int closeButton) {
    ASSERT_NE(WaitForWizard(), nullptr);
    EXPECT_EQ(e2e::Texts(wizard_, pageIds), pageTexts);
    // One task bar button, the application's title, on the window that owns the wizard.
    EXPECT_EQ(TaskBarTitles(process_.id()), std::vector<std::wstring>{L"Parcelon"});
    EXPECT_EQ(e2e::Text(GetWindow(wizard_, GW_OWNER)), L"Parcelon");
    Picture("page0");
    Click(ids::kAboutButton);
    HWND about = process_.WaitFor(L"Tinfodialog");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(e2e::Texts(about, aboutIds), aboutTexts);
    // Modal and owned by the wizard: no button of its own.
    EXPECT_EQ(GetWindow(about, GW_OWNER), wizard_);
    EXPECT_FALSE(IsWindowEnabled(wizard_));
    EXPECT_EQ(TaskBarTitles(process_.id()), std::vector<std::wstring>{L"Parcelon"});
    Picture("about", about);
    PostMessageW(about, WM_COMMAND, static_cast<WPARAM>(closeButton), 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(about); }));
  }
  void Picture(const std::string& page, HWND window = nullptr) {
    EXPECT_TRUE(e2e::Picture(window ? window : wizard_, Wide("installer-" + name_ + "-" + page), false)) << page;
  }
  int WaitForEnd() { return process_.Wait(); }
  const e2e::Process& process() const { return process_; }
  HWND wizard() const { return wizard_; }

 private:
  std::string name_;
  e2e::Process process_;
  HWND wizard_ = nullptr;
};

std::string Script(const std::string& extra = "") {
  return "[plugin]\r\nname=Quenda\r\nversion=1.0\r\nwww=www.quenda.example\r\nemail=info@quenda.example\r\n" + extra;
}

std::string Archive() {
  return unzip_test::BuildZip({{"Quenda.dll", "the plug-in"}, {"docs/", ""}, {"docs/liesmich.txt", "Hallo"},
                               {"$win\\quenda-e2e.ini", "[Quenda]\r\n"}});
}

class InstallerE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::LetWineDrawCaptions();
    TearDown();
    // The HTML editor (the preselected second entry) works in editor_.
    e2e::SetRegistryText(HKEY_CURRENT_USER, L"Software\\Meybohm\\HTMLEdit\\Global", L"WorkingDir", Wide(editor_));
    before_ = CountUnpackFolders();
  }
  // The editors' registry entries are shared with other tests of the prefix.
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Meybohm");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Zelt");
  }

  const std::string editor_ = kTemp + "quenda-e2e-editor";
  const std::string plugins_ = editor_ + "\\Plugins\\";
  int before_ = 0;
};

TEST_F(InstallerE2E, StandardModeInstallsIntoTheEditorsPluginFolder) {
  for (const char* file : {"Quenda.dll", "docs\\liesmich.txt"}) DeleteFileA((plugins_ + file).c_str());
  DeleteFileA((kWindows + "quenda-e2e.ini").c_str());
  InstallerRun run("standard", Script(), Archive());
  ASSERT_NO_FATAL_FAILURE(run.Open({0, ids::kInstallLabel, ids::kNextButton, ids::kAboutButton},
                                   {L"Parcelon - Quenda", L"Dieses wird jetzt Quenda 1.0 auf Ihrem Computer installieren.",
                                    L"&Weiter", L"&Info"},
                                   {0, ids::kOkButton, ids::kInfoPluginName}, {L"Info", L"&OK", L"Quenda"}, IDCANCEL));
  EXPECT_EQ(CountUnpackFolders(), before_ + 1);
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  EXPECT_EQ(e2e::Text(run.Control(ids::kFolderEdit)), Wide(plugins_));
  run.Picture("page2");
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kExtractingFilesList));
  HWND list = run.Control(ids::kExtractingFilesList);
  ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 4; }));
  EXPECT_EQ(Row(list, 0), L"1" + Wide(kWindows + "quenda-e2e.ini"));
  ASSERT_TRUE(run.WaitShown(ids::kFinishedLabel));
  run.Picture("page4");
  run.Click(ids::kCancelButton);
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(e2e::ReadFile(Wide(plugins_ + "docs\\liesmich.txt")), "Hallo");
  EXPECT_EQ(e2e::ReadFile(Wide(kWindows + "quenda-e2e.ini")), "[Quenda]\r\n");
  EXPECT_EQ(CountUnpackFolders(), before_);
}

TEST_F(InstallerE2E, ZeltModeOffersTheRegisteredEditors) {
  for (std::wstring name : {L"Eins", L"Zwei", L"Drei"}) {
    e2e::SetRegistryText(HKEY_LOCAL_MACHINE, L"Software\\Zelt\\Installed Editors", L"Editor " + name,
                         L"C:\\" + name + L"\\");
  }
  InstallerRun run("zelt", "[Zelt]\r\nEnabled=1\r\n" + Script(), Archive());
  ASSERT_NO_FATAL_FAILURE(run.Open({}, {}, {ids::kInfoParcelon}, {L"Parcelon (With Zelt Extensions)"}, ids::kOkButton));
  EXPECT_EQ(SendMessageW(run.Control(ids::kEditorList), CB_GETCOUNT, 0, 0), 4);
  EXPECT_TRUE(run.Shown(ids::kZeltImage));
  EXPECT_FALSE(run.Shown(ids::kHomepageButton));
  // The first registered editor is preselected, and its folder is proposed.
  HWND editors = run.Control(ids::kEditorList);
  EXPECT_EQ(e2e::Chosen(editors), 0);
  wchar_t first[64] = L"";
  SendMessageW(editors, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  ASSERT_EQ(std::wstring(first).substr(0, 7), L"Editor ");
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  EXPECT_EQ(e2e::Text(run.Control(ids::kFolderEdit)), L"C:\\" + std::wstring(first).substr(7) + L"\\");
  run.Click(ids::kCancelButton);
  EXPECT_EQ(run.Answer(IDYES).substr(0, 13), L"Best\u00E4tigung: ");
  EXPECT_EQ(run.WaitForEnd(), 0);
}

TEST_F(InstallerE2E, FileWithoutTrailerShowsTheCorruptionBoxAndLeavesNothing) {
  InstallerRun run("corrupt", "", "", false);
  EXPECT_EQ(run.Answer(IDOK).substr(0, 16), L"SFX Corruption: ");
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(CountUnpackFolders(), before_);
}

// ---- The randomized exerciser: what a person may do on every page, in both modes, with an
// archive that installs and one that fails. QUENDA_SEED replays a run (its seed is printed);
// QUENDA_SOAK_SECONDS sets the time spent (default 90 seconds).

// Every file and folder below folder (with a trailing backslash), with its size and write time.
using Snapshot = std::map<std::string, std::pair<uint64_t, uint64_t>>;
void Record(const std::string& folder, Snapshot& files) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    files[folder + name + (isFolder ? "\\" : "")] = {
        (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow,
        isFolder ? 0 : (uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime};
    if (isFolder) Record(folder + name + "\\", files);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// The folder a folder text names, as the wizard takes it: trimmed, from the current folder.
std::string FullPath(std::string path) {
  path.erase(0, path.find_first_not_of(' '));
  path.erase(path.find_last_not_of(' ') + 1);
  if (path.empty()) return path;
  char full[MAX_PATH] = "";
  DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  std::string text(full, length < MAX_PATH ? length : 0);
  return text.empty() || text.back() == '\\' ? text : text + "\\";
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.size() >= prefix.size() && _strnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

class WizardExerciser {
 public:
  explicit WizardExerciser(uint32_t seed) : seed_(seed), random_(seed), root_(kTemp + "quenda-ex\\" + std::to_string(seed) + "\\") {}

  void Run() {
    SCOPED_TRACE(testing::Message() << "seed " << seed_);
    platform::RemoveTree(root_);
    CreateDirectoryA((kTemp + "quenda-ex").c_str(), nullptr);
    CreateDirectoryA(root_.c_str(), nullptr);
    CreateDirectoryA((root_ + "cwd").c_str(), nullptr);
    PutFile(root_ + "plain.txt", "a file, not a folder");
    const bool zelt = Pick(2) == 0, failing = Pick(3) == 0, marked = Pick(2) == 0;
    winMember_ = "quenda-ex-" + std::to_string(seed_) + ".ini";
    std::vector<unzip_test::TestEntry> members = {{"Quenda.dll", "the plug-in " + std::to_string(seed_)},
                                                  {"docs/", ""},
                                                  {"docs/liesmich.txt", "Hallo"}};
    if (marked) members.push_back({"$win\\" + winMember_, "[Quenda]\r\n"});
    // A name that is fine for mksfx but gives a target path longer than 255 characters in all
    // but the shortest folders: that member fails, the others are written.
    if (failing) members.push_back({std::string(240, 'n') + ".txt", "too long"});
    e2e::SetRegistryText(HKEY_CURRENT_USER, L"Software\\Meybohm\\HTMLEdit\\Global", L"WorkingDir",
                         Wide(root_ + "editor"));
    if (zelt) {
      for (const char* name : {"A", "B"}) {
        e2e::SetRegistryText(HKEY_LOCAL_MACHINE, L"Software\\Zelt\\Installed Editors", Wide(std::string("Editor ") + name),
                             Wide(root_ + "zelt" + name + "\\"));
      }
    }
    Snapshot before;
    Record(kTemp, before);
    const int unpackFolders = CountUnpackFolders();
    // The installer starts in the driver's current folder: relative folders land below the root.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA((root_ + "cwd").c_str());
    Exercise(zelt ? "[Zelt]\r\nEnabled=1\r\n" + Script() : Script(), unzip_test::BuildZip(members));
    SetCurrentDirectoryA(previous);
    std::printf("  %s, %s archive; pages seen %s; %s\n", zelt ? "ZeltMode" : "StandardMode", failing ? "failing" : "sound",
                trail_.c_str(), extractedInto_.empty() ? "nothing extracted" : succeeded_ ? "installed" : "failed rows");
    if (::testing::Test::HasFatalFailure()) return;


    EXPECT_EQ(CountUnpackFolders(), unpackFolders) << "an unpack folder is left behind";
    Snapshot after;
    Record(kTemp, after);
    for (const auto& [path, stamp] : after) {
      auto old = before.find(path);
      if (old != before.end() && old->second == stamp) continue;
      if (StartsWith(path, kTemp + "quenda-e2e-ex\\")) continue;  // the installer file itself
      bool allowed = false;
      for (const std::string& folder : chosen_) allowed = allowed || StartsWith(path, folder) || StartsWith(folder, path);
      EXPECT_TRUE(allowed) << "written outside the chosen folder: " << path;
    }
    if (succeeded_) {
      SCOPED_TRACE(extractedInto_);
      Snapshot installed;
      Record(extractedInto_, installed);
      std::vector<std::string> names;
      for (const auto& entry : installed) names.push_back(entry.first.substr(extractedInto_.size()));
      std::vector<std::string> expected = {"Quenda.dll", "docs\\", "docs\\liesmich.txt"};
      // A full extraction of the failing archive: the folder was short enough for the long name.
      if (failing) expected.push_back(members.back().name);
      EXPECT_EQ(names, expected);
      EXPECT_EQ(e2e::ReadFile(Wide(extractedInto_ + "Quenda.dll")), members[0].data);
      EXPECT_EQ(e2e::Exists(Wide(kWindows + winMember_)), marked);
    }
    DeleteFileA((kWindows + winMember_).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Zelt");
    platform::RemoveTree(root_);
  }

 private:
  void Exercise(const std::string& script, const std::string& archive) {
    InstallerRun run("ex", script, archive);
    run_ = &run;
    ASSERT_NE(run.WaitForWizard(), nullptr);
    for (int step = 0; step < 30 && run.process().Running(); ++step) Act();
    for (int tries = 0; tries < 20 && run.process().Running(); ++tries) Leave();
    ASSERT_EQ(run.WaitForEnd(), 0) << "the installer hangs or crashed";
  }

  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }

  int Page() {
    const int shown[] = {ids::kWelcomeLabel, ids::kSearchingFolderAnimation, ids::kFolderEdit,
                         ids::kExtractingFilesList, ids::kFinishedLabel};
    for (int page = 4; page >= 0; --page) {
      if (run_->Shown(shown[page])) return page;
    }
    return -1;
  }

  // A window of the program in front of the wizard: a message box, the folder browser or the about box.
  HWND Popup() {
    HWND found = nullptr;
    for (const wchar_t* name : {L"#32770", L"Tinfodialog"}) {
      while ((found = FindWindowExW(nullptr, found, name, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (owner == run_->process().id() && IsWindowVisible(found)) return found;
      }
    }
    return nullptr;
  }

  void Key(HWND window, std::vector<WORD> chord) {
    if (e2e::BringToFront(window)) e2e::PressKeys(chord);
  }

  void Settle() {
    // Let the program take the input in; a page with an hourglass may take longer.
    e2e::WaitUntil([&] { return !run_->process().Running() || Popup() || IsWindowEnabled(run_->Control(ids::kAboutButton)); },
                   std::chrono::seconds(20));
    Sleep(50);
  }

  void Act() {
    HWND wizard = run_->wizard();
    if (HWND popup = Popup()) {
      wchar_t name[32] = L"";
      GetClassNameW(popup, name, 32);
      const bool about = std::wstring(name) == L"Tinfodialog";
      const bool browser = !about && FindWindowExW(popup, nullptr, L"SysTreeView32", nullptr);
      if (browser) {  // the folder browser: always cancelled
        Key(popup, {VK_ESCAPE});
      } else {
        // The confirmation: "&Ja" (Enter or a click) one time in four, else "&Nein" (Escape or a
        // click); any other box: OK by Enter, Escape or a click.
        const bool confirmation = e2e::FindControl(popup, IDYES) != nullptr, yes = Pick(4) == 0;
        if (Pick(2) == 0) {
          e2e::ClickAt(e2e::FindControl(popup, confirmation ? (yes ? IDYES : IDNO) : IDOK));
        } else {
          Key(popup, {static_cast<WORD>(confirmation ? (yes ? VK_RETURN : VK_ESCAPE) : Pick(2) ? VK_RETURN : VK_ESCAPE)});
        }
      }
      Settle();
      return;
    }
    const int page = Page();
    trail_ += static_cast<char>('0' + page + 1);
    chosen_.push_back(FolderText());  // the edit keeps the folder text from page 2 on
    if (page == 3 || page == 4) Observe();
    // Moving on is likelier than anything else; the folder page adds Durchsuchen and typing.
    std::vector<int> actions = {0, 0, 0, 1, 2, 3, 4, 5, 5, 6, 7, 8};
    if (page == 2) actions.insert(actions.end(), {9, 10, 10, 10});
    switch (actions[static_cast<size_t>(Pick(static_cast<int>(actions.size())))]) {
      case 0: Key(wizard, {VK_RETURN}); break;
      case 1: Key(wizard, {VK_ESCAPE}); break;
      case 2: Key(wizard, {VK_TAB}); break;
      case 3: Key(wizard, {VK_MENU, 'W'}); break;  // "&Weiter"
      case 4: Key(wizard, {VK_MENU, static_cast<WORD>(Pick(2) ? 'I' : 'A')}); break;  // "&Info", "&Abbrechen"
      case 5: e2e::ClickAt(run_->Control(ids::kNextButton)); break;
      case 6: e2e::ClickAt(run_->Control(Pick(2) ? ids::kAboutButton : ids::kCancelButton)); break;
      case 7:  // another editor
        Key(wizard, {VK_MENU, 'E'});
        Key(wizard, {static_cast<WORD>(Pick(2) ? VK_DOWN : VK_UP)});
        break;
      case 8: Key(wizard, {VK_MENU, 'B'}); break;  // "&Beenden" on the last page
      case 9: Key(wizard, {VK_MENU, 'D'}); break;  // "&Durchsuchen...", cancelled above
      default: {  // a folder typed in: new, relative, with blanks; one time in four one that cannot be made
        const std::string n = std::to_string(Pick(1000));
        const std::string good[] = {root_ + "typed\\sub" + n, "rel" + n, "  " + root_ + "padded" + n + "  ", "..\\up" + n};
        const std::string bad[] = {root_ + "plain.txt\\x", "Q:\\nowhere\\x", "   ", "bad|" + n};
        Key(wizard, {VK_MENU, 'P'});
        Key(wizard, {VK_HOME});
        Key(wizard, {VK_SHIFT, VK_END});
        e2e::TypeText(Wide(Pick(4) == 0 ? bad[Pick(4)] : good[Pick(4)]));
        chosen_.push_back(FolderText());
        break;
      }
    }
    Settle();
  }

  std::string FolderText() { return FullPath(e2e::Narrow(e2e::Text(run_->Control(ids::kFolderEdit)))); }

  // The rows of the extraction: where it went and whether every member came through.
  void Observe() {
    HWND list = run_->Control(ids::kExtractingFilesList);
    const int rows = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    if (rows == 0 || !extractedInto_.empty()) return;
    extractedInto_ = FolderText();
    chosen_.push_back(extractedInto_);
    succeeded_ = !extractedInto_.empty();
    for (int i = 0; i < rows; ++i) succeeded_ = succeeded_ && Row(list, i)[0] == L'1';
    // A failed extraction waits on its page: the one chance for a picture of it.
    if (!succeeded_ && Page() == 3) run_->Picture("page3-error");
  }

  // Ends the program as a person would: leave the last page, or cancel and say yes.
  void Leave() {
    if (HWND popup = Popup()) {
      Key(popup, {static_cast<WORD>(e2e::FindControl(popup, IDYES) ? VK_RETURN : VK_ESCAPE)});
    } else if (Page() == 3 && IsWindowEnabled(run_->Control(ids::kNextButton))) {
      Observe();
      Key(run_->wizard(), {VK_RETURN});
    } else {
      if (Page() == 4) Observe();
      Key(run_->wizard(), {VK_ESCAPE});
    }
    e2e::WaitUntil([&] { return !run_->process().Running() || Popup(); }, std::chrono::seconds(3));
  }

  uint32_t seed_;
  std::mt19937 random_;
  std::string root_, winMember_, extractedInto_, trail_;  // trail_: the page before each action
  std::vector<std::string> chosen_;
  bool succeeded_ = false;
  InstallerRun* run_ = nullptr;
};

TEST_F(InstallerE2E, RandomKeysAndClicksOnEveryPageNeverBreakTheWizard) {
  const std::wstring seedText = e2e::Environment(L"QUENDA_SEED"), soak = e2e::Environment(L"QUENDA_SOAK_SECONDS");
  const uint32_t first = seedText.empty() ? GetTickCount() : static_cast<uint32_t>(std::stoul(seedText));
  const auto budget = std::chrono::seconds(soak.empty() ? 90 : std::stoi(soak));
  const auto end = std::chrono::steady_clock::now() + budget;
  int runs = 0;
  for (uint32_t seed = first; runs < 2 || std::chrono::steady_clock::now() < end; ++seed, ++runs) {
    std::printf("wizard exerciser: seed %u (QUENDA_SEED=%u replays it)\n", seed, seed);
    std::fflush(stdout);
    WizardExerciser(seed).Run();
    if (HasFailure()) break;
  }
  std::printf("wizard exerciser: %d runs\n", runs);
}

}  // namespace
