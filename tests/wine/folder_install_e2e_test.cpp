// A folder build end to end under Wine: mksfx.exe --folder makes setup.exe from a plug-in folder
// (nested folders, $win and $sys, an empty file, noise that does not compress, Latin-1 names),
// the wizard is clicked through with the mouse, and every file must arrive where it belongs.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "installer/win32/control_ids.h"
#include "platform/files.h"
#include "tests/wine/window_driver.h"

namespace {

namespace ids = installer::ids;
using e2e::Wide;

std::string Folder(UINT (*get)(char*, UINT)) {
  char path[MAX_PATH];
  return std::string(path, get(path, MAX_PATH)) + "\\";
}
UINT SystemFolder(char* path, UINT size) { return GetSystemDirectoryA(path, size); }
UINT WindowsFolder(char* path, UINT size) { return GetWindowsDirectoryA(path, size); }
UINT TempFolder(char* path, UINT size) { return GetTempPathA(size, path); }

TEST(FolderInstallE2E, EveryFileOfTheFolderArrivesWhereItBelongs) {
  const std::string temp = Folder(TempFolder), work = temp + "quenda-e2e-folder\\", plugin = work + "plugin\\";
  const std::string editor = work + "editor", plugins = editor + "\\Plugins\\";
  std::string noise(5000, '\0');
  std::mt19937 random(std::random_device{}());
  for (char& c : noise) c = static_cast<char>(random());
  const std::map<std::string, std::string> files = {
      {"Quenda.dll", std::string(4000, 'Q')}, {"docs\\a\\b\\tief.txt", "tief"},     {"leer.txt", ""},
      {"rauschen.bin", noise},                {"Gr\xF6\xDF" "e\\\xC4rger.txt", "Umlaute"},
      {"$win\\quenda-e2e-folder.ini", "[Quenda]\r\n"}, {"$sys\\quenda-e2e-folder.dll", "helper"}};
  platform::RemoveTree(work);
  for (const std::string& folder : {work, plugin, plugin + "docs", plugin + "docs\\a", plugin + "docs\\a\\b",
                                    plugin + "Gr\xF6\xDF" "e", plugin + "$win", plugin + "$sys"}) {
    ASSERT_TRUE(platform::CreateFolder(folder)) << folder;
  }
  for (const auto& [name, data] : files) ASSERT_TRUE(platform::WriteWholeFile(plugin + name, data)) << name;
  ASSERT_TRUE(platform::WriteWholeFile(work + "install.ini", "[plugin]\r\nname=Quenda\r\nversion=1.0\r\n"));

  e2e::Process mksfx;
  ASSERT_TRUE(mksfx.Start(e2e::Environment(L"QUENDA_E2E_MKSFX"),
                          {L"--strict", L"--image", e2e::Environment(L"QUENDA_E2E_INSTALL"), L"--script",
                           Wide(work + "install.ini"), L"--folder", Wide(work + "plugin"), L"-o", Wide(work + "setup.exe")}));
  ASSERT_EQ(mksfx.Wait(), 0);

  // The preselected HTML editor works in editor; its plug-in folder is proposed.
  e2e::LetWineDrawCaptions();
  e2e::SetRegistryText(HKEY_CURRENT_USER, L"Software\\Meybohm\\HTMLEdit\\Global", L"WorkingDir", Wide(editor));
  e2e::Process setup;
  ASSERT_TRUE(setup.Start(Wide(work + "setup.exe"), {}));
  HWND wizard = setup.WaitFor(L"Tmaindialog");
  ASSERT_NE(wizard, nullptr);
  auto shown = [&](int id) { return IsWindowVisible(e2e::FindControl(wizard, id)) != FALSE; };
  e2e::Click(e2e::FindControl(wizard, ids::kNextButton));
  ASSERT_TRUE(e2e::WaitUntil([&] { return shown(ids::kFolderEdit); }));
  EXPECT_EQ(e2e::Text(e2e::FindControl(wizard, ids::kFolderEdit)), Wide(plugins));
  // Posted, as the button sends it, so that the driver can look at the list while the wizard works.
  HWND next = e2e::FindControl(wizard, ids::kNextButton);
  PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(ids::kNextButton, BN_CLICKED), LPARAM(next));
  HWND list = e2e::FindControl(wizard, ids::kExtractingFilesList);
  ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == LRESULT(files.size()); }));
  for (int row = 0; row < LRESULT(files.size()); ++row) {
    wchar_t text[MAX_PATH] = L"";
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(text[0], L'1') << e2e::Narrow(text);
  }
  ASSERT_TRUE(e2e::WaitUntil([&] { return shown(ids::kFinishedLabel); }));
  EXPECT_TRUE(e2e::Picture(wizard, L"installer-folder-page4", false));
  e2e::Click(e2e::FindControl(wizard, ids::kCancelButton));
  EXPECT_EQ(setup.Wait(), 0);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Meybohm");

  for (const auto& [name, data] : files) {
    std::string target = name.rfind("$win\\", 0) == 0   ? Folder(WindowsFolder) + name.substr(5)
                         : name.rfind("$sys\\", 0) == 0 ? Folder(SystemFolder) + name.substr(5)
                                                        : plugins + name;
    std::string installed;
    EXPECT_TRUE(platform::ReadWholeFile(target, installed) && installed == data) << target;
    EXPECT_EQ(platform::GetFileTimeAsDos(target), platform::GetFileTimeAsDos(plugin + name)) << target;
    if (name[0] == '$') platform::RemoveFile(target);
  }
  platform::RemoveTree(work);
}

}  // namespace
