// The installer end to end under Wine: installer files made with mksfx from install.exe, a script
// and an archive, worked by control IDs as a user works them. Each scenario checks what is left on
// disk and in the process list, not only the screens; the pictures are for a person to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "installer/win32/control_ids.h"
#include "tests/installer/zip_builder.h"
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

// A file's last-write time as the archive stores it: MS-DOS date and time, local; 0 without the file.
uint32_t DosTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FILETIME local{};
  WORD date = 0, time = 0;
  bool got = GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
             FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time);
  return got ? (uint32_t{date} << 16) | time : 0;
}

// The installer's unpack folders in the temp folder.
int CountUnpackFolders() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((kTemp + "zqsfx*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 1;
  while (FindNextFileA(search, &found)) ++count;
  FindClose(search);
  return count;
}

void PutFile(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

std::wstring Row(HWND list, int index) {
  wchar_t row[MAX_PATH] = L"";
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(row));
  return row;
}

// Presses a key as the keyboard does, once the focus is inside the window (a closed box hands it back late).
bool PressKey(HWND window, WPARAM key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  auto focusInside = [&] {
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus && (info.hwndFocus == window || IsChild(window, info.hwndFocus));
  };
  if (!e2e::WaitUntil(focusInside)) return false;
  PostMessageW(info.hwndFocus, WM_KEYDOWN, key, 1);
  PostMessageW(info.hwndFocus, WM_KEYUP, key, 0xC0000001);
  return true;
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
    Picture("page0");
    Click(ids::kAboutButton);
    HWND about = process_.WaitFor(L"Tinfodialog");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(e2e::Texts(about, aboutIds), aboutTexts);
    Picture("about", about);
    PostMessageW(about, WM_COMMAND, static_cast<WPARAM>(closeButton), 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(about); }));
  }
  void Picture(const std::string& page, HWND window = nullptr) {
    EXPECT_TRUE(e2e::Picture(window ? window : wizard_, Wide("installer-" + name_ + "-" + page), false)) << page;
  }
  int WaitForEnd() { return process_.Wait(); }

 private:
  std::string name_;
  e2e::Process process_;
  HWND wizard_ = nullptr;
};

std::string Script(const std::string& extra = "") {
  return "[plugin]\r\nname=Quenda\r\nversion=1.0\r\nwww=www.quenda.example\r\nemail=info@quenda.example\r\n" + extra;
}

std::string Archive() {
  return installer_test::BuildZip({{"Quenda.dll", "the plug-in"}, {"docs/", ""}, {"docs/liesmich.txt", "Hallo"},
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
  ASSERT_NO_FATAL_FAILURE(run.Open({0}, {L"Parcelon - Quenda"}, {0}, {L"Info"}, IDCANCEL));
  EXPECT_EQ(CountUnpackFolders(), before_ + 1);
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  EXPECT_EQ(e2e::Text(run.Control(ids::kFolderEdit)), Wide(plugins_));
  run.Picture("page2");
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kExtractingFilesList));
  HWND list = run.Control(ids::kExtractingFilesList);
  ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 4; }));
  run.Picture("page3");
  EXPECT_EQ(Row(list, 0), L"1" + Wide(kWindows + "quenda-e2e.ini"));
  ASSERT_TRUE(run.WaitShown(ids::kFinishedLabel));
  run.Picture("page4");
  run.Click(ids::kCancelButton);
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(e2e::ReadFile(Wide(plugins_ + "docs\\liesmich.txt")), "Hallo");
  // The archive's members carry 17 May 2004, 12:30.
  EXPECT_EQ(DosTime(plugins_ + "Quenda.dll"), (((2004u - 1980u) << 9 | 5u << 5 | 17u) << 16) | (12u << 11 | 30u << 5));
  EXPECT_EQ(e2e::ReadFile(Wide(kWindows + "quenda-e2e.ini")), "[Quenda]\r\n");
  EXPECT_EQ(CountUnpackFolders(), before_);
}

// With the keyboard alone: Enter moves on to the folder page, Escape cancels; in the
// confirmation Escape answers "&Nein", Enter the default "&Ja".
TEST_F(InstallerE2E, KeyboardAloneCancelAsksNoKeepsEverythingYesEndsAndCleansUp) {
  InstallerRun run("cancel", Script(), Archive());
  HWND wizard = run.WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(PressKey(wizard, VK_RETURN) && run.WaitShown(ids::kFolderEdit));
  EXPECT_EQ(e2e::Text(run.Control(ids::kFolderEdit)), Wide(plugins_));
  for (WPARAM answer : {VK_ESCAPE, VK_RETURN}) {
    ASSERT_TRUE(PressKey(wizard, VK_ESCAPE));
    HWND box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::Texts(box, {0, IDYES, IDNO}), (std::vector<std::wstring>{L"Best\u00E4tigung", L"&Ja", L"&Nein"}));
    if (answer == VK_ESCAPE) run.Picture("reallyquit", box);
    ASSERT_TRUE(PressKey(box, answer));
    if (answer == VK_RETURN) break;
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(box); }));
    EXPECT_TRUE(run.Shown(ids::kFolderEdit));
    EXPECT_EQ(CountUnpackFolders(), before_ + 1);
  }
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(CountUnpackFolders(), before_);
}

TEST_F(InstallerE2E, ReadOnlyTargetGivesARedRowAndTheErrorText) {
  std::string target = kTemp + "quenda-e2e-readonly\\", dll = target + "Quenda.dll";
  CreateDirectoryA(target.c_str(), nullptr);
  PutFile(dll, "old");  // fails harmlessly when a run before left it read-only
  SetFileAttributesA(dll.c_str(), FILE_ATTRIBUTE_READONLY);
  InstallerRun run("readonly", Script(), installer_test::BuildZip({{"Quenda.dll", "new"}}));
  ASSERT_NE(run.WaitForWizard(), nullptr);
  SendMessageW(run.Control(ids::kEditorList), CB_SETCURSEL, 5, 0);  // the other editor, which has no folder
  run.Click(ids::kEditorList, CBN_SELCHANGE);
  run.Click(ids::kNextButton);
  ASSERT_EQ(run.Answer(IDOK).substr(0, 13), L"Information: ");  // no folder for that editor
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  e2e::SetText(run.Control(ids::kFolderEdit), Wide(target));
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(run.Control(ids::kNextButton)) != FALSE; }));
  run.Click(ids::kNextButton);
  ASSERT_TRUE(e2e::WaitUntil(
      [&] { return IsWindowEnabled(run.Control(ids::kNextButton)) != FALSE && run.Shown(ids::kExtractingFilesList); }));
  EXPECT_EQ(Row(run.Control(ids::kExtractingFilesList), 0)[0], L'0');
  EXPECT_FALSE(IsWindowEnabled(run.Control(ids::kCancelButton)));
  run.Picture("page3-error");
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFinishedLabel));
  EXPECT_EQ(e2e::Text(run.Control(ids::kCompleteLabel)).substr(0, 14), L"Beim Entpacken");
  run.Click(ids::kCancelButton);
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(e2e::ReadFile(Wide(dll)), "old");
  SetFileAttributesA(dll.c_str(), FILE_ATTRIBUTE_NORMAL);
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
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  std::wstring folder = e2e::Text(run.Control(ids::kFolderEdit));
  EXPECT_TRUE(folder == L"C:\\Eins\\" || folder == L"C:\\Zwei\\" || folder == L"C:\\Drei\\") << e2e::Narrow(folder);
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

TEST_F(InstallerE2E, EnglishScriptTextsReachTheWizardAboutBoxAndConfirmation) {
  InstallerRun run("english", Script("[language]\r\ncaption=[name] Setup\r\nwelcome=Welcome to [name]!\r\n"
                                     "install=This installs [name] [version].\r\nnext=&Next\r\nabout=&About\r\n"
                                     "ok=&Close\r\nreallyquit=Really quit?\r\n"),
                   Archive());
  ASSERT_NO_FATAL_FAILURE(run.Open({0, ids::kWelcomeLabel, ids::kInstallLabel, ids::kNextButton, ids::kAboutButton},
                                   {L"Quenda Setup", L"Welcome to Quenda!", L"This installs Quenda 1.0.", L"&Next",
                                    L"&About"},
                                   {0, ids::kOkButton}, {L"About", L"&Close"}, ids::kOkButton));
  run.Click(ids::kCancelButton);
  EXPECT_NE(run.Answer(IDYES).find(L"Really quit?"), std::wstring::npos);
  EXPECT_EQ(run.WaitForEnd(), 0);
}

}  // namespace
