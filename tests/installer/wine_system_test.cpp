// The installer's core against the real system under Windows: the registry (keys made and
// removed here, under HKCU and HKLM), the Windows and system folders, and the search of the
// fixed drives (run by drive_search_test.sh in a prefix that has no drive for the Linux root).
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

TEST(SystemRegistry, KnownEditorFolders) {
  RegistryKeys keys;
  if (keys.clash) GTEST_SKIP() << "the registry already holds the test keys";
  platform::Registry& registry = platform::SystemRegistry();
  const char* htmlEdit = "Software\\Meybohm\\HTMLEdit\\Global";
  const char* proton = "Software\\Meybohm\\Proton\\Global";
  const char* zelt = "Software\\Zelt\\Installed Editors";

  EXPECT_EQ(installer::FindPluginFolder(1, registry, NoSearch), "");
  SetText(HKEY_CURRENT_USER, htmlEdit, "WorkingDir", REG_SZ, "  ");
  SetText(HKEY_CURRENT_USER, htmlEdit, "Dir", REG_SZ, " C:\\Programme\\HTMLEdit\t");
  EXPECT_EQ(installer::FindPluginFolder(1, registry, NoSearch), "C:\\Programme\\HTMLEdit\\Plugins\\");
  SetText(HKEY_CURRENT_USER, htmlEdit, "WorkingDir", REG_SZ, "D:\\Work\\");
  EXPECT_EQ(installer::FindPluginFolder(1, registry, NoSearch), "D:\\Work\\Plugins\\");

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
  EXPECT_EQ(installer::FindPluginFolder(3, registry, NoSearch), "");  // REG_EXPAND_SZ is not read

  // The names in the order the registry enumerates them (Wine sorts them), then the other
  // editor; each folder at its editor's index.
  std::vector<std::string> enumerated;
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, zelt, 0, KEY_READ, &key), ERROR_SUCCESS);
  char name[256];
  for (DWORD i = 0, length = sizeof name; RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                                         ERROR_SUCCESS;
       ++i, length = sizeof name) {
    enumerated.push_back(name);
  }
  RegCloseKey(key);
  ASSERT_EQ(enumerated.size(), 4u);
  const std::map<std::string, std::string> folderOf = {{"HTML Suite 2000", "C:\\Suite\\Plugins\\"},
                                                       {"Folium!", "%SystemDrive%\\Folium \\"},
                                                       {"Numbered", ""},
                                                       {"Empty", ""}};
  std::vector<std::string> names, folders;
  installer::LoadZeltEditorList(registry, "Anderer Editor", names, folders);
  ASSERT_EQ(names.size(), 5u);
  ASSERT_EQ(folders.size(), 5u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(names[i], enumerated[i]);
    EXPECT_EQ(folders[i], folderOf.at(names[i])) << names[i];
  }
  EXPECT_EQ(names[4], "Anderer Editor");
  EXPECT_EQ(folders[4], "");
}

TEST(SystemFolders, WindowsAndSystemFolderOfThePrefix) {
  char buffer[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(buffer, MAX_PATH), 0u);
  EXPECT_EQ(installer::WindowsFolder(), std::string(buffer) + "\\");
  ASSERT_GT(GetSystemDirectoryA(buffer, MAX_PATH), 0u);
  EXPECT_EQ(installer::SystemFolder(), std::string(buffer) + "\\");
  EXPECT_TRUE(platform::FolderExists(installer::WindowsFolder()));
  EXPECT_TRUE(platform::FolderExists(installer::SystemFolder()));
}

TEST(SystemFolders, MarkedMembersAreWrittenIntoThem) {
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
  for (size_t i = 0; i < roots.size(); ++i) {
    ASSERT_EQ(roots[i].size(), 3u);
    EXPECT_EQ(roots[i].substr(1), ":\\");
    if (i > 0) {
      EXPECT_LT(roots[i - 1], roots[i]);
    }
    UINT type = GetDriveTypeA(roots[i].c_str());
    EXPECT_TRUE(type == DRIVE_FIXED || type == DRIVE_UNKNOWN) << roots[i];
  }
  EXPECT_EQ(roots.front(), "C:\\");
}

// Runs only in the prefix prepared by drive_search_test.sh: drive Z: removed, so that the
// search covers the prefix's own drive C:, where weaversl.exe and manconf.ini were planted.
TEST(DriveSearch, FindsWeaverslaveOnTheFixedDrives) {
  const char* expected = std::getenv("QUENDA_DRIVE_SEARCH_FOLDER");
  if (!expected) GTEST_SKIP() << "only in the prefix prepared by drive_search_test.sh";
  std::vector<std::string> roots = platform::FixedDriveRoots();
  EXPECT_EQ(roots, std::vector<std::string>{"C:\\"});
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe"), std::string(expected));
  EXPECT_EQ(installer::FindPluginFolder(4), "C:\\Programme\\WeaverSlave\\Eigene Plugins\\");
  EXPECT_EQ(installer::FindFileOnFixedDrives("quenda-nowhere.exe"), "");
}

}  // namespace
