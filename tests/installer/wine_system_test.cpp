// The installer's core against the real system under Windows: the registry (keys made and
// removed here), the Windows and system folders, and the search of the fixed drives.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "installer/drive_search.h"
#include "installer/pluginfolder.h"
#include "installer/unzip/extract.h"
#include "platform/drive_roots.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "temp_folder.h"
#include "zip_builder.h"

namespace {

// Makes the keys a test writes and removes them again; a key that exists before the test
// belongs to someone else, and the test is then skipped.
class RegistryKeys {
 public:
  RegistryKeys() {
    for (auto [root, path] : kKeys) {
      HKEY key;
      if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        clash = true;
      }
    }
  }
  ~RegistryKeys() {
    if (clash) return;
    for (auto [root, path] : kKeys) RegDeleteTreeA(root, path);
  }
  bool clash = false;

 private:
  const std::pair<HKEY, const char*> kKeys[2] = {{HKEY_CURRENT_USER, "Software\\Meybohm"},
                                                 {HKEY_LOCAL_MACHINE, "Software\\Zelt"}};
};

void SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

void SetText(HKEY root, const char* path, const char* name, DWORD type, const std::string& text) {
  SetValue(root, path, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::string NoSearch(const std::string&) { return std::string(); }

TEST(SystemRegistry, KnownEditorFoldersAndTheZeltList) {
  RegistryKeys keys;
  if (keys.clash) GTEST_SKIP() << "the registry already holds the test keys";
  platform::Registry& registry = platform::SystemRegistry();
  const char* htmlEdit = "Software\\Meybohm\\HTMLEdit\\Global";
  const char* proton = "Software\\Meybohm\\Proton\\Global";
  const char* zelt = "Software\\Zelt\\Installed Editors";

  // Text values are read trimmed, under both roots; REG_EXPAND_SZ and numbers are no folders.
  EXPECT_EQ(installer::FindPluginFolder(1, registry, NoSearch), "");
  SetText(HKEY_CURRENT_USER, htmlEdit, "WorkingDir", REG_SZ, "  ");
  SetText(HKEY_CURRENT_USER, htmlEdit, "Dir", REG_SZ, " C:\\Programme\\HTMLEdit\t");
  EXPECT_EQ(installer::FindPluginFolder(1, registry, NoSearch), "C:\\Programme\\HTMLEdit\\Plugins\\");
  SetText(HKEY_CURRENT_USER, proton, "PluginDir", REG_EXPAND_SZ, "%ProgramFiles%\\Proton");
  EXPECT_EQ(installer::FindPluginFolder(2, registry, NoSearch), "");
  SetText(HKEY_CURRENT_USER, proton, "PluginDir", REG_SZ, "C:\\Proton\\Plugins");
  EXPECT_EQ(installer::FindPluginFolder(2, registry, NoSearch), "C:\\Proton\\Plugins\\");
  SetText(HKEY_LOCAL_MACHINE, zelt, "HTML Suite 2000", REG_SZ, "C:\\Suite\\Plugins");
  SetText(HKEY_LOCAL_MACHINE, zelt, "Folium!", REG_EXPAND_SZ, "%SystemDrive%\\Folium ");
  DWORD number = 7;
  SetValue(HKEY_LOCAL_MACHINE, zelt, "Numbered", REG_DWORD, &number, sizeof number);
  SetValue(HKEY_LOCAL_MACHINE, zelt, "Empty", REG_SZ, "", 0);
  EXPECT_EQ(installer::FindPluginFolder(0, registry, NoSearch), "C:\\Suite\\Plugins\\");
  EXPECT_EQ(installer::FindPluginFolder(3, registry, NoSearch), "");

  // Every name once, then the other editor; each folder at its editor's index.
  std::vector<std::string> names, folders;
  installer::LoadZeltEditorList(registry, "Anderer Editor", names, folders);
  ASSERT_EQ(folders.size(), names.size());
  std::map<std::string, std::string> folderOf;
  for (size_t i = 0; i < names.size(); ++i) folderOf[names[i]] = folders[i];
  EXPECT_EQ(names.size(), 5u);
  const std::map<std::string, std::string> expected = {{"HTML Suite 2000", "C:\\Suite\\Plugins\\"},
      {"Folium!", "%SystemDrive%\\Folium \\"}, {"Numbered", ""}, {"Empty", ""}, {"Anderer Editor", ""}};
  EXPECT_EQ(folderOf, expected);
  EXPECT_EQ(names.back(), "Anderer Editor");
}

TEST(SystemFolders, MarkedMembersAreWrittenIntoThePrefixsFolders) {
  char buffer[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(buffer, MAX_PATH), 0u);
  EXPECT_EQ(installer::WindowsFolder(), std::string(buffer) + "\\");
  ASSERT_GT(GetSystemDirectoryA(buffer, MAX_PATH), 0u);
  EXPECT_EQ(installer::SystemFolder(), std::string(buffer) + "\\");

  installer_test::TempFolder temp;
  const std::string win = installer::WindowsFolder() + "quenda-test-win.ini";
  const std::string sys = installer::SystemFolder() + "quenda-test-sys.dll";
  if (platform::FileExists(win) || platform::FileExists(sys)) GTEST_SKIP() << "test files exist already";
  ASSERT_TRUE(platform::WriteWholeFile(temp / "install.zip",
                                       installer_test::BuildZip({{"$WIN/quenda-test-win.ini", "[x]\r\n"},
                                                                 {"$sys/quenda-test-sys.dll", "MZ"},
                                                                 {"plugin.dll", "MZ"}})));
  ASSERT_TRUE(platform::CreateFolder(temp / "plug"));
  installer::ExtractionList list;
  EXPECT_TRUE(installer::ExtractArchive(temp.path(), temp / "plug\\", list));
  EXPECT_EQ(list.rows(), (std::vector<std::string>{"1" + temp.path() + "plug\\plugin.dll", "1" + sys, "1" + win}));
  EXPECT_TRUE(platform::RemoveFile(win));
  EXPECT_TRUE(platform::RemoveFile(sys));
}

TEST(FixedDrives, RootsAreDriveLettersInOrder) {
  std::vector<std::string> roots = platform::FixedDriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots.front(), "C:\\");
  for (size_t i = 0; i < roots.size(); ++i) {
    ASSERT_EQ(roots[i].size(), 3u);
    EXPECT_EQ(roots[i].substr(1), ":\\");
    if (i > 0) {
      EXPECT_LT(roots[i - 1], roots[i]);
    }
    UINT type = GetDriveTypeA(roots[i].c_str());
    EXPECT_TRUE(type == DRIVE_FIXED || type == DRIVE_UNKNOWN) << roots[i];
  }
}

// Runs only in the prefix prepared by drive_search_test.sh: drive Z: removed, so that the
// search covers the prefix's own drive C:, where weaversl.exe and manconf.ini were planted.
TEST(DriveSearch, FindsWeaverslaveOnTheFixedDrives) {
  const char* expected = std::getenv("QUENDA_DRIVE_SEARCH_FOLDER");
  if (!expected) GTEST_SKIP() << "only in the prefix prepared by drive_search_test.sh";
  EXPECT_EQ(platform::FixedDriveRoots(), std::vector<std::string>{"C:\\"});
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe"), std::string(expected));
  EXPECT_EQ(installer::FindPluginFolder(4), "C:\\Programme\\WeaverSlave\\Eigene Plugins\\");
  EXPECT_EQ(installer::FindFileOnFixedDrives("quenda-nowhere.exe"), "");
}

}  // namespace
