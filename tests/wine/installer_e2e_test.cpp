// The installer end to end under Wine: real installer files made with mksfx from install.exe,
// a script and an archive, worked by their control IDs the way a user works them. Each
// scenario checks what is left on disk and in the process list, not only the screens; the
// pictures of every page are saved for a person to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/win32/control_ids.h"
#include "tests/installer/zip_builder.h"
#include "tests/wine/window_driver.h"

namespace {

namespace ids = installer::ids;
using e2e::Wide;

std::string Environment(const char* name) {
  char value[2048];
  DWORD size = GetEnvironmentVariableA(name, value, sizeof value);
  return size > 0 && size < sizeof value ? std::string(value, size) : std::string();
}

std::string TempPath() {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  return path;
}

std::string WindowsPath() {
  char path[MAX_PATH];
  GetWindowsDirectoryA(path, MAX_PATH);
  return std::string(path) + "\\";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The last-write time of a file as the archive stores it: an MS-DOS date and time, local.
uint32_t DosTime(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME written{}, local{};
  GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  FileTimeToLocalFileTime(&written, &local);
  WORD date = 0, time = 0;
  FileTimeToDosDateTime(&local, &date, &time);
  return (uint32_t{date} << 16) | time;
}

int CountUnpackFolders() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((TempPath() + "zqsfx*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

void PutFile(const std::string& path, const std::string& data) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(file);
}

void SetRegistryText(HKEY root, const char* keyPath, const char* name, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
}

void LetWineDrawCaptions() { SetRegistryText(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Decorated", "N"); }

// One installer file and one run of it.
class InstallerRun {
 public:
  InstallerRun(const std::string& name, const std::string& script, const std::string& archive, bool withTrailer = true)
      : name_(name) {
    folder_ = TempPath() + "quenda-e2e-" + name + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::string setup = folder_ + "setup.exe";
    if (withTrailer) {
      PutFile(folder_ + "install.ini", script);
      PutFile(folder_ + "install.zip", archive);
      e2e::Process mksfx;
      EXPECT_TRUE(mksfx.Start(Wide(Environment("QUENDA_E2E_MKSFX")),
                              {L"--image", Wide(Environment("QUENDA_E2E_INSTALL")), L"--script",
                               Wide(folder_ + "install.ini"), L"--archive", Wide(folder_ + "install.zip"), L"-o",
                               Wide(setup)}));
      EXPECT_EQ(mksfx.Wait(), 0);
    } else {
      CopyFileA(Environment("QUENDA_E2E_INSTALL").c_str(), setup.c_str(), FALSE);
    }
    EXPECT_TRUE(process_.Start(Wide(setup), {}));
  }

  HWND WaitForWizard() {
    e2e::WaitUntil([this] { return (wizard_ = e2e::FindTopWindow(process_.Id(), L"Tmaindialog")) != nullptr; });
    return wizard_;
  }
  HWND Control(int id) { return e2e::FindControl(wizard_, id); }
  bool Shown(int id) {
    HWND control = Control(id);
    return control && IsWindowVisible(control);
  }
  bool WaitShown(int id) {
    return e2e::WaitUntil([&] { return Shown(id); });
  }
  // A click as the button sends it; posted, so the driver stays free while the page works.
  void Click(int id) { PostMessageW(wizard_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(Control(id))); }
  // A message box of the installer, or null.
  HWND FindMessageBox() { return e2e::FindTopWindow(process_.Id(), L"#32770"); }
  HWND WaitForMessageBox() {
    HWND box = nullptr;
    e2e::WaitUntil([&] { return (box = FindMessageBox()) != nullptr; });
    return box;
  }
  void Picture(const std::string& page, HWND window = nullptr) {
    std::string shots = Environment("QUENDA_E2E_SHOTS");
    if (shots.empty()) return;
    CreateDirectoryA(shots.c_str(), nullptr);
    // The page's controls are painted before the picture is taken.
    e2e::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
    e2e::SaveWindowPicture(window ? window : wizard_, Wide(shots + "\\installer-" + name_ + "-" + page + ".bmp"));
  }
  int WaitForEnd() { return process_.Wait(); }
  const std::string& folder() const { return folder_; }

 private:
  std::string name_;
  std::string folder_;
  e2e::Process process_;
  HWND wizard_ = nullptr;
};

std::string Script(const std::string& extra = "") {
  return "[plugin]\r\nname=Quenda\r\nversion=1.0\r\nwww=www.quenda.example\r\nemail=info@quenda.example\r\n" + extra;
}

std::string Archive() {
  return installer_test::BuildZip({{"Quenda.dll", "the plug-in"},
                                   {"docs/", ""},
                                   {"docs/liesmich.txt", "Hallo"},
                                   {"$win\\quenda-e2e.ini", "[Quenda]\r\n"}});
}

class InstallerE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    LetWineDrawCaptions();
    ForgetEditors();
  }
  // The editors' registry entries are shared with other tests of the prefix.
  void TearDown() override { ForgetEditors(); }
  static void ForgetEditors() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Meybohm");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Zelt");
  }
};

TEST_F(InstallerE2E, StandardModeInstallsIntoTheEditorsPluginFolder) {
  std::string editor = TempPath() + "quenda-e2e-editor";
  SetRegistryText(HKEY_CURRENT_USER, "Software\\Meybohm\\HTMLEdit\\Global", "WorkingDir", editor);
  DeleteFileA((WindowsPath() + "quenda-e2e.ini").c_str());
  int before = CountUnpackFolders();
  InstallerRun run("standard", Script(), Archive());
  ASSERT_NE(run.WaitForWizard(), nullptr);
  EXPECT_EQ(CountUnpackFolders(), before + 1);
  EXPECT_EQ(e2e::Text(run.WaitForWizard()), L"Parcelon - Quenda");
  EXPECT_EQ(SendMessageW(run.Control(ids::kEditorList), CB_GETCURSEL, 0, 0), 1);
  run.Picture("page0");

  // The about box and back.
  run.Click(ids::kAboutButton);
  HWND about = nullptr;
  DWORD installer = 0;
  GetWindowThreadProcessId(run.WaitForWizard(), &installer);
  ASSERT_TRUE(e2e::WaitUntil([&] { return (about = e2e::FindTopWindow(installer, L"Tinfodialog")) != nullptr; }));
  EXPECT_EQ(e2e::Text(about), L"Info");
  run.Picture("about", about);
  PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(about); }));

  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  EXPECT_EQ(e2e::Text(run.Control(ids::kFolderEdit)), Wide(editor + "\\Plugins\\"));
  run.Picture("page2");
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kExtractingFilesList));
  HWND list = run.Control(ids::kExtractingFilesList);
  ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 4; }));
  run.Picture("page3");
  wchar_t first[MAX_PATH];
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_EQ(std::wstring(first), L"1" + Wide(WindowsPath() + "quenda-e2e.ini"));
  ASSERT_TRUE(run.WaitShown(ids::kFinishedLabel));
  EXPECT_FALSE(run.Shown(ids::kNextButton));
  EXPECT_EQ(e2e::Text(run.Control(ids::kCancelButton)), L"&Beenden");
  EXPECT_EQ(e2e::Text(run.Control(ids::kCompleteLabel)).substr(0, 43), L"Die Installation wurde erfolgreich beendet.");
  run.Picture("page4");
  run.Click(ids::kCancelButton);
  EXPECT_EQ(run.WaitForEnd(), 0);

  EXPECT_TRUE(Exists(editor + "\\Plugins\\Quenda.dll"));
  EXPECT_TRUE(Exists(editor + "\\Plugins\\docs\\liesmich.txt"));
  // The archive's members carry 17 May 2004, 12:30.
  const uint32_t archiveTime = (((2004u - 1980u) << 9 | 5u << 5 | 17u) << 16) | (12u << 11 | 30u << 5);
  EXPECT_EQ(DosTime(editor + "\\Plugins\\Quenda.dll"), archiveTime);
  EXPECT_TRUE(Exists(WindowsPath() + "quenda-e2e.ini"));
  EXPECT_EQ(CountUnpackFolders(), before);
}

TEST_F(InstallerE2E, CancelAsksAndNoKeepsEverythingYesEndsAndCleansUp) {
  int before = CountUnpackFolders();
  InstallerRun run("cancel", Script(), Archive());
  ASSERT_NE(run.WaitForWizard(), nullptr);
  run.Click(ids::kCancelButton);
  HWND box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(e2e::Text(box), L"Best\u00E4tigung");
  EXPECT_EQ(e2e::Text(GetDlgItem(box, IDYES)), L"&Ja");
  EXPECT_EQ(e2e::Text(GetDlgItem(box, IDNO)), L"&Nein");
  run.Picture("reallyquit", box);
  // Escape answers "&Nein".
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return run.FindMessageBox() == nullptr; }));
  EXPECT_TRUE(run.Shown(ids::kEditorList));
  EXPECT_EQ(CountUnpackFolders(), before + 1);

  run.Click(ids::kCancelButton);
  box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(CountUnpackFolders(), before);
}

TEST_F(InstallerE2E, ReadOnlyTargetGivesARedRowAndTheErrorText) {
  std::string target = TempPath() + "quenda-e2e-readonly\\";
  CreateDirectoryA(target.c_str(), nullptr);
  SetFileAttributesA((target + "Quenda.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
  PutFile(target + "Quenda.dll", "old");
  SetFileAttributesA((target + "Quenda.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  InstallerRun run("readonly", Script(), installer_test::BuildZip({{"Quenda.dll", "new"}}));
  ASSERT_NE(run.WaitForWizard(), nullptr);
  SendMessageW(run.Control(ids::kEditorList), CB_SETCURSEL, 5, 0);
  PostMessageW(run.WaitForWizard(), WM_COMMAND, MAKEWPARAM(ids::kEditorList, CBN_SELCHANGE),
               LPARAM(run.Control(ids::kEditorList)));
  run.Click(ids::kNextButton);
  HWND box = run.WaitForMessageBox();  // no folder for the other editor
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(e2e::Text(box), L"Information");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  EXPECT_FALSE(IsWindowEnabled(run.Control(ids::kNextButton)));
  e2e::SetText(run.Control(ids::kFolderEdit), Wide(target));
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(run.Control(ids::kNextButton)) != FALSE; }));
  run.Click(ids::kNextButton);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(run.Control(ids::kNextButton)) != FALSE && run.Shown(ids::kExtractingFilesList); }));
  HWND list = run.Control(ids::kExtractingFilesList);
  wchar_t first[MAX_PATH];
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_EQ(first[0], L'0');
  EXPECT_FALSE(IsWindowEnabled(run.Control(ids::kCancelButton)));
  run.Picture("page3-error");
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFinishedLabel));
  EXPECT_EQ(e2e::Text(run.Control(ids::kCompleteLabel)).substr(0, 14), L"Beim Entpacken");
  run.Click(ids::kCancelButton);
  EXPECT_EQ(run.WaitForEnd(), 0);
  SetFileAttributesA((target + "Quenda.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(InstallerE2E, ZeltModeOffersTheRegisteredEditors) {
  const char* key = "Software\\Zelt\\Installed Editors";
  SetRegistryText(HKEY_LOCAL_MACHINE, key, "Editor Eins", "C:\\eins\\");
  SetRegistryText(HKEY_LOCAL_MACHINE, key, "Editor Zwei", "C:\\zwei\\");
  SetRegistryText(HKEY_LOCAL_MACHINE, key, "Editor Drei", "C:\\drei\\");
  InstallerRun run("zelt", "[Zelt]\r\nEnabled=1\r\n" + Script(), Archive());
  ASSERT_NE(run.WaitForWizard(), nullptr);
  HWND editors = run.Control(ids::kEditorList);
  EXPECT_EQ(SendMessageW(editors, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(editors, CB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(run.Shown(ids::kZeltImage));
  EXPECT_FALSE(run.Shown(ids::kHomepageButton));
  run.Picture("page0");
  run.Click(ids::kAboutButton);
  DWORD installer = 0;
  GetWindowThreadProcessId(run.WaitForWizard(), &installer);
  HWND about = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (about = e2e::FindTopWindow(installer, L"Tinfodialog")) != nullptr; }));
  EXPECT_EQ(e2e::Text(e2e::FindControl(about, ids::kInfoParcelon)), L"Parcelon (With Zelt Extensions)");
  EXPECT_TRUE(IsWindowVisible(e2e::FindControl(about, ids::kInfoZeltImage)));
  run.Picture("about", about);
  PostMessageW(about, WM_COMMAND, ids::kOkButton, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(about); }));
  run.Click(ids::kNextButton);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  std::wstring folder = e2e::Text(run.Control(ids::kFolderEdit));
  EXPECT_TRUE(folder == L"C:\\eins\\" || folder == L"C:\\zwei\\" || folder == L"C:\\drei\\") << e2e::Narrow(folder);
  run.Click(ids::kCancelButton);
  HWND box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(run.WaitForEnd(), 0);
}

TEST_F(InstallerE2E, FileWithoutTrailerShowsTheCorruptionBoxAndLeavesNothing) {
  int before = CountUnpackFolders();
  InstallerRun run("corrupt", "", "", false);
  HWND box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(e2e::Text(box), L"SFX Corruption");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(CountUnpackFolders(), before);
}

}  // namespace

namespace {

// Presses a key in the installer as the keyboard does: into the window that has the focus.
void PressKey(HWND anyWindowOfThread, WPARAM key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info);
  HWND target = info.hwndFocus ? info.hwndFocus : anyWindowOfThread;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// True once the keyboard focus of the window's thread is back inside it (a closed message
// box hands it back a moment after it has vanished).
bool FocusInside(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus && (info.hwndFocus == window || IsChild(window, info.hwndFocus));
}

TEST_F(InstallerE2E, KeyboardAloneEnterMovesOnEscapeCancels) {
  std::string editor = TempPath() + "quenda-e2e-keys";
  SetRegistryText(HKEY_CURRENT_USER, "Software\\Meybohm\\HTMLEdit\\Global", "WorkingDir", editor);
  int before = CountUnpackFolders();
  InstallerRun run("keys", Script(), Archive());
  HWND wizard = run.WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(wizard) != FALSE; }));
  PressKey(wizard, VK_RETURN);
  ASSERT_TRUE(run.WaitShown(ids::kFolderEdit));
  EXPECT_EQ(e2e::Text(run.Control(ids::kFolderEdit)), Wide(editor + "\\Plugins\\"));
  ASSERT_TRUE(e2e::WaitUntil([&] { return FocusInside(wizard); }));
  PressKey(wizard, VK_ESCAPE);
  HWND box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  PressKey(box, VK_ESCAPE);  // "&Nein"
  ASSERT_TRUE(e2e::WaitUntil([&] { return run.FindMessageBox() == nullptr; }));
  EXPECT_TRUE(run.Shown(ids::kFolderEdit));
  ASSERT_TRUE(e2e::WaitUntil([&] { return FocusInside(wizard); }));
  PressKey(wizard, VK_ESCAPE);
  box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  PressKey(box, VK_RETURN);  // "&Ja", the default
  EXPECT_EQ(run.WaitForEnd(), 0);
  EXPECT_EQ(CountUnpackFolders(), before);
}

TEST_F(InstallerE2E, EnglishScriptGivesEveryTextOfWizardAndAboutBox) {
  std::string english = Script(
      "[language]\r\ncaption=[name] Setup\r\nwelcome=Welcome to [name]!\r\ninstall=This installs [name] [version].\r\n"
      "selecteditor=Choose your &editor:\r\nhomepage=&Home page\r\nnext=&Next\r\ncancel=&Cancel\r\nabout=&About\r\n"
      "ok=&Close\r\nreallyquit=Really quit?\r\n");
  InstallerRun run("english", english, Archive());
  HWND wizard = run.WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  EXPECT_EQ(e2e::Text(wizard), L"Quenda Setup");
  EXPECT_EQ(e2e::Text(run.Control(ids::kWelcomeLabel)), L"Welcome to Quenda!");
  EXPECT_EQ(e2e::Text(run.Control(ids::kInstallLabel)), L"This installs Quenda 1.0.");
  EXPECT_EQ(e2e::Text(run.Control(ids::kSelectEditorLabel)), L"Choose your &editor:");
  EXPECT_EQ(e2e::Text(run.Control(ids::kHomepageButton)), L"&Home page");
  EXPECT_EQ(e2e::Text(run.Control(ids::kNextButton)), L"&Next");
  EXPECT_EQ(e2e::Text(run.Control(ids::kCancelButton)), L"&Cancel");
  EXPECT_EQ(e2e::Text(run.Control(ids::kAboutButton)), L"&About");
  run.Picture("page0");
  run.Click(ids::kAboutButton);
  DWORD installer = 0;
  GetWindowThreadProcessId(wizard, &installer);
  HWND about = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (about = e2e::FindTopWindow(installer, L"Tinfodialog")) != nullptr; }));
  EXPECT_EQ(e2e::Text(about), L"About");
  EXPECT_EQ(e2e::Text(e2e::FindControl(about, ids::kOkButton)), L"&Close");
  run.Picture("about", about);
  PostMessageW(about, WM_COMMAND, ids::kOkButton, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(about); }));
  run.Click(ids::kCancelButton);
  HWND box = run.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(e2e::StaticTexts(box).find(L"Really quit?") != std::wstring::npos, true);
  PostMessageW(box, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(run.WaitForEnd(), 0);
}

}  // namespace
