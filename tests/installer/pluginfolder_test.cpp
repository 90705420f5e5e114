// Editor detection: the known editors' rules over an in-memory registry, the drive search
// order over a made-up tree and over real folders, and the Zelt list.
#include "installer/pluginfolder.h"

#include <gtest/gtest.h>

#include <map>

#include "installer/drive_search.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace {

using platform::MemoryRegistry;
using platform::RegistryRoot;
using platform::RegistryType;
using platform::RegistryValue;

constexpr char S = platform::kPathSeparator;
std::string P(const std::string& text) {  // a path written with "/" in the platform's form
  std::string out = text;
  for (char& c : out) {
    if (c == '/') c = S;
  }
  return out;
}

const char* kHtmlEdit = "\\Software\\Meybohm\\HTMLEdit\\Global";
const char* kProton = "\\Software\\Meybohm\\Proton\\Global";
const char* kZelt = "\\Software\\Zelt\\Installed Editors";

std::string NoSearch(const std::string&) {
  ADD_FAILURE() << "no drive search expected";
  return std::string();
}

TEST(KnownEditors, TableInWizardOrder) {
  const char* expected[] = {"HTML Suite 2000", "Meybohm HTML Editor", "Meybohm Proton", "Folium!", "Weaverslave"};
  for (int i = 0; i < installer::kKnownEditorCount; ++i) {
    EXPECT_EQ(installer::kKnownEditors[i].displayText, expected[i]);
    EXPECT_FALSE(installer::kKnownEditors[i].homePage.empty());
  }
  EXPECT_EQ(installer::kKnownEditors[1].homePage, installer::kKnownEditors[2].homePage);
}

TEST(AddTrailingBackslash, AppendsOnlyWhereMissing) {
  EXPECT_EQ(installer::AddTrailingBackslash(""), "");
  EXPECT_EQ(installer::AddTrailingBackslash(P("a")), P("a/"));
  EXPECT_EQ(installer::AddTrailingBackslash(P("a/")), P("a/"));
  EXPECT_EQ(installer::AddTrailingBackslash(P("a//")), P("a//"));
}

TEST(FindPluginFolder, RegistryRules) {
  struct Value {
    RegistryRoot root;
    const char* key;
    const char* name;
    RegistryType type;
    std::string data;
  };
  struct Case {
    const char* what;
    int editor;
    std::vector<Value> values;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"HTML Suite from the Zelt list", 0,
       {{RegistryRoot::LocalMachine, kZelt, "HTML Suite 2000", RegistryType::String, P("/suite/plug")}},
       P("/suite/plug/")},
      {"WorkingDir gets a separator before Plugins", 1,
       {{RegistryRoot::CurrentUser, kHtmlEdit, "WorkingDir", RegistryType::String, P("/he")}}, P("/he/Plugins/")},
      {"WorkingDir with separator gets no second", 1,
       {{RegistryRoot::CurrentUser, kHtmlEdit, "WorkingDir", RegistryType::String, P("/he/")}}, P("/he/Plugins/")},
      {"blank WorkingDir falls back to Dir", 1,
       {{RegistryRoot::CurrentUser, kHtmlEdit, "WorkingDir", RegistryType::String, "   "},
        {RegistryRoot::CurrentUser, kHtmlEdit, "Dir", RegistryType::String, P("/dir")}},
       P("/dir/Plugins/")},
      {"values are trimmed", 1,
       {{RegistryRoot::CurrentUser, kHtmlEdit, "WorkingDir", RegistryType::String, P(" \t/he \r\n")}},
       P("/he/Plugins/")},
      {"neither value: nothing", 1, {}, ""},
      {"Proton PluginDir", 2,
       {{RegistryRoot::CurrentUser, kProton, "PluginDir", RegistryType::String, P("/proton/plugins")}},
       P("/proton/plugins/")},
      {"Proton PluginDir as REG_EXPAND_SZ is not read", 2,
       {{RegistryRoot::CurrentUser, kProton, "PluginDir", RegistryType::ExpandString, P("/proton")}}, ""},
      {"Proton PluginDir under the wrong root", 2,
       {{RegistryRoot::LocalMachine, kProton, "PluginDir", RegistryType::String, P("/proton")}}, ""},
      {"Folium! from the Zelt list", 3,
       {{RegistryRoot::LocalMachine, kZelt, "Folium!", RegistryType::String, P("/folium")}}, P("/folium/")},
      {"text up to the first NUL", 3,
       {{RegistryRoot::LocalMachine, kZelt, "Folium!", RegistryType::String, std::string(P("/f")) + '\0' + "x"}},
       P("/f/")},
      {"a number is no folder", 3, {{RegistryRoot::LocalMachine, kZelt, "Folium!", RegistryType::Dword, "\1\0\0\0"}},
       ""},
  };
  for (const Case& c : cases) {
    MemoryRegistry registry;
    for (const Value& v : c.values) registry.WriteValue(v.root, v.key, v.name, RegistryValue{v.type, v.data});
    EXPECT_EQ(installer::FindPluginFolder(c.editor, registry, NoSearch), c.expected) << c.what;
  }
}

TEST(FindPluginFolder, WeaverslaveConfiguration) {
  installer_test::TempFolder temp;
  std::string program = temp.path();
  MemoryRegistry registry;
  auto found = [&](const std::string& name) {
    EXPECT_EQ(name, "weaversl.exe");
    return program;
  };
  // No configuration file: the program's folder + "Plugin".
  EXPECT_EQ(installer::FindPluginFolder(4, registry, found), program + "Plugin" + S);
  // A configuration file without the key: the same.
  ASSERT_TRUE(platform::WriteWholeFile(program + "manconf.ini", "[Plugins]\r\nOther=x\r\n"));
  EXPECT_EQ(installer::FindPluginFolder(4, registry, found), program + "Plugin" + S);
  // With the key: its value with a trailing separator.
  ASSERT_TRUE(platform::WriteWholeFile(program + "manconf.ini", "[plugins]\r\npath = " + P("/w/plug") + "\r\n"));
  EXPECT_EQ(installer::FindPluginFolder(4, registry, found), P("/w/plug/"));
  // Program not found: nothing, and no configuration looked for.
  EXPECT_EQ(installer::FindPluginFolder(4, registry, [](const std::string&) { return std::string(); }), "");
}

// A made-up drive tree: folder -> entries in listing order; names ending in "/" are folders,
// names ending in "@" folders that are links.
class FakeTree {
 public:
  std::map<std::string, std::vector<std::string>> folders;
  std::vector<std::string> visited;

  bool List(const std::string& nativeFolder, std::vector<platform::FolderEntry>& entries) {
    // The tree is written with "/"; the search adds the platform's separator.
    std::string folder = nativeFolder;
    for (char& c : folder) {
      if (c == S) c = '/';
    }
    visited.push_back(folder);
    entries.clear();
    auto it = folders.find(folder);
    if (it == folders.end()) return false;
    for (std::string name : it->second) {
      platform::FolderEntry entry;
      char last = name.back();
      entry.attributes.folder = last == '/' || last == '@';
      entry.attributes.link = last == '@';
      if (entry.attributes.folder) name.pop_back();
      entry.name = name;
      entries.push_back(entry);
    }
    return true;
  }
  installer::FolderLister Lister() {
    return [this](const std::string& f, std::vector<platform::FolderEntry>& e) { return List(f, e); };
  }
};

TEST(FindFileOnFixedDrives, DepthFirstQueueOrder) {
  FakeTree tree;
  tree.folders["C:/"] = {"one/", "two/", "x.txt"};
  tree.folders["C:/one/"] = {"a/", "b/"};
  tree.folders["C:/one/a/"] = {"weaversl.exe"};
  tree.folders["C:/one/b/"] = {"WEAVERSL.EXE"};
  tree.folders["C:/two/"] = {"weaversl.exe"};
  tree.folders["D:/"] = {"weaversl.exe"};
  // Sub-folders are visited in the reverse of their listing order, each one's own
  // sub-folders before its siblings: C:/, then two (match).
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {P("C:/"), P("D:/")}, tree.Lister()), P("C:/two/"));
  EXPECT_EQ(tree.visited, (std::vector<std::string>{"C:/", "C:/two/"}));

  // Without it: two, then one and its sub-folders b (match, in capitals) before a.
  tree.visited.clear();
  tree.folders["C:/two/"] = {};
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {P("C:/"), P("D:/")}, tree.Lister()), P("C:/one/b/"));
  EXPECT_EQ(tree.visited, (std::vector<std::string>{"C:/", "C:/two/", "C:/one/", "C:/one/b/"}));
}

TEST(FindFileOnFixedDrives, FilesBeforeSubFoldersAndEarlierDriveWins) {
  FakeTree tree;
  tree.folders["C:/"] = {"sub/", "weaversl.exe"};
  tree.folders["C:/sub/"] = {"weaversl.exe"};
  tree.folders["D:/"] = {"weaversl.exe"};
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {P("C:/"), P("D:/")}, tree.Lister()), P("C:/"));
  tree.folders["C:/"] = {"sub/"};
  tree.folders["C:/sub/"] = {};
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {P("C:/"), P("D:/")}, tree.Lister()), P("D:/"));
}

TEST(FindFileOnFixedDrives, LinksAreNotEnteredAndUnlistableFoldersPassed) {
  FakeTree tree;
  tree.folders["C:/"] = {"loop@", "locked/", "ok/"};
  tree.folders["C:/loop/"] = {"weaversl.exe"};  // would be a match if the link were followed
  tree.folders["C:/ok/"] = {"weaversl.exe"};
  // "locked" is not in the tree: it cannot be listed and contributes nothing.
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {P("C:/")}, tree.Lister()), P("C:/ok/"));
  tree.folders["C:/ok/"] = {};
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {P("C:/")}, tree.Lister()), "");
  for (const std::string& folder : tree.visited) EXPECT_EQ(folder.find("loop"), std::string::npos);
}

TEST(FindFileOnFixedDrives, ARealFolderTree) {
  installer_test::TempFolder temp;
  std::string root = temp.path();
  ASSERT_TRUE(platform::CreateFolder(root + "prog"));
  ASSERT_TRUE(platform::CreateFolder(root + "prog" + S + "Weaver"));
  ASSERT_TRUE(platform::WriteWholeFile(root + "prog" + S + "Weaver" + S + "WeaverSL.exe", "MZ"));
  ASSERT_TRUE(platform::WriteWholeFile(root + "weaversl.exe.bak", "x"));
  EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", {root}, platform::ListFolder),
            root + "prog" + S + "Weaver" + S);
  EXPECT_EQ(installer::FindFileOnFixedDrives("absent.exe", {root}, platform::ListFolder), "");
}

TEST(LoadZeltEditorList, NamesAndFoldersStayParallel) {
  MemoryRegistry registry;
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Editor B", RegistryValue{RegistryType::String, P("/b")});
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Editor A",
                      RegistryValue{RegistryType::ExpandString, "%ProgramFiles%" + std::string(1, S) + "a "});
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Empty", RegistryValue{RegistryType::String, ""});
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Number", RegistryValue{RegistryType::Dword, "\1\0\0\0"});
  std::vector<std::string> names = {"stale"}, folders = {"stale", "more"};
  installer::LoadZeltEditorList(registry, "Anderer Editor", names, folders);
  EXPECT_EQ(names, (std::vector<std::string>{"Editor B", "Editor A", "Empty", "Number", "Anderer Editor"}));
  EXPECT_EQ(folders, (std::vector<std::string>{P("/b/"), "%ProgramFiles%" + std::string(1, S) + "a " + S, "", "", ""}));
}

TEST(LoadZeltEditorList, MissingListGivesOnlyTheOtherEditor) {
  MemoryRegistry registry;
  std::vector<std::string> names, folders;
  installer::LoadZeltEditorList(registry, "Other", names, folders);
  EXPECT_EQ(names, std::vector<std::string>{"Other"});
  EXPECT_EQ(folders, std::vector<std::string>{""});
}

}  // namespace
