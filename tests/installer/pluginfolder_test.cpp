// Editor detection: the known editors' rules over an in-memory registry, the drive search
// order over a made-up tree (real drives: drive_search_test.sh), and the Zelt list.
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
using installer_test::P;
constexpr char S = platform::kPathSeparator;
using Log = std::vector<std::string>;

const char* kHtmlEdit = "\\Software\\Meybohm\\HTMLEdit\\Global";
const char* kProton = "\\Software\\Meybohm\\Proton\\Global";
const char* kZelt = "\\Software\\Zelt\\Installed Editors";

TEST(FindPluginFolder, RegistryRules) {
  using enum RegistryRoot;
  using enum RegistryType;
  struct Value { RegistryRoot root; const char* key; const char* name; RegistryType type; std::string data; };
  struct Case { const char* what; int editor; std::vector<Value> values; std::string expected; };
  const std::vector<Case> cases = {
      {"HTML Suite from the Zelt list", 0, {{LocalMachine, kZelt, "HTML Suite 2000", String, P("/suite/plug")}},
       P("/suite/plug/")},
      {"WorkingDir with separator gets no second", 1, {{CurrentUser, kHtmlEdit, "WorkingDir", String, P("/he/")}},
       P("/he/Plugins/")},
      {"blank WorkingDir falls back to Dir", 1,
       {{CurrentUser, kHtmlEdit, "WorkingDir", String, "   "}, {CurrentUser, kHtmlEdit, "Dir", String, P("/dir")}},
       P("/dir/Plugins/")},
      {"values are trimmed, a separator before Plugins", 1,
       {{CurrentUser, kHtmlEdit, "WorkingDir", String, P(" \t/he \r\n")}}, P("/he/Plugins/")},
      {"neither value: nothing", 1, {}, ""},
      {"Proton PluginDir", 2, {{CurrentUser, kProton, "PluginDir", String, P("/proton/plugins")}},
       P("/proton/plugins/")},
      {"Proton PluginDir as REG_EXPAND_SZ is not read", 2, {{CurrentUser, kProton, "PluginDir", ExpandString, "/p"}},
       ""},
      {"Folium! from the Zelt list", 3, {{LocalMachine, kZelt, "Folium!", String, P("/folium")}}, P("/folium/")},
      {"text up to the first NUL", 3, {{LocalMachine, kZelt, "Folium!", String, P("/f") + '\0' + "x"}}, P("/f/")},
  };
  for (const Case& c : cases) {
    MemoryRegistry registry;
    for (const Value& v : c.values) registry.WriteValue(v.root, v.key, v.name, RegistryValue{v.type, v.data});
    auto noSearch = [](const std::string&) { return ADD_FAILURE() << "no drive search expected", std::string(); };
    EXPECT_EQ(installer::FindPluginFolder(c.editor, registry, noSearch), c.expected) << c.what;
  }
}

TEST(FindPluginFolder, WeaverslaveConfiguration) {
  installer_test::TempFolder temp;
  MemoryRegistry registry;
  auto find = [&](const char* config) {
    EXPECT_TRUE(!config || platform::WriteWholeFile(temp / "manconf.ini", config));
    return installer::FindPluginFolder(4, registry, [&](const std::string& name) {
      return name == "weaversl.exe" ? temp.path() : std::string();
    });
  };
  // The program's folder + "Plugin" without a configuration file or without the key in it.
  EXPECT_EQ(find(nullptr), temp / "Plugin" + S);
  EXPECT_EQ(find("[Plugins]\r\nOther=x\r\n"), temp / "Plugin" + S);
  EXPECT_EQ(find(("[plugins]\r\npath = " + P("/w/plug") + "\r\n").c_str()), P("/w/plug/"));
  EXPECT_EQ(installer::FindPluginFolder(4, registry, [](const std::string&) { return std::string(); }), "");
}

// The search over a made-up drive tree written with "/": folder -> entries in listing order;
// names ending in "/" are folders, in "@" folders that are links.
TEST(FindFileOnFixedDrives, SearchOrderOverAMadeUpTree) {
  using Tree = std::map<std::string, Log>;
  struct Case { const char* what; Tree tree; Log drives; std::string found; Log visited; };
  const Tree queue = {{"C:/", {"one/", "two/", "x.txt"}}, {"C:/one/", {"a/", "b/"}}, {"C:/one/a/", {"weaversl.exe"}},
                      {"C:/one/b/", {"WEAVERSL.EXE"}},    {"C:/two/", {"weaversl.exe"}}, {"D:/", {"weaversl.exe"}}};
  Tree queueWithoutTwo = queue;
  queueWithoutTwo["C:/two/"] = {};
  const std::vector<Case> cases = {
      {"sub-folders in the reverse of their listing order", queue, {"C:/", "D:/"}, "C:/two/", {"C:/", "C:/two/"}},
      {"each one's own sub-folders before its siblings, any case", queueWithoutTwo, {"C:/", "D:/"}, "C:/one/b/",
       {"C:/", "C:/two/", "C:/one/", "C:/one/b/"}},
      {"files before sub-folders", {{"C:/", {"sub/", "weaversl.exe"}}, {"C:/sub/", {"weaversl.exe"}}},
       {"C:/"}, "C:/", {"C:/"}},
      {"earlier drive wins, next drive after it, whole names only",
       {{"C:/", {"sub/", "weaversl.exe.bak"}}, {"C:/sub/", {}}, {"D:/", {"weaversl.exe"}}},
       {"C:/", "D:/"}, "D:/", {"C:/", "C:/sub/", "D:/"}},
      {"links not entered, unlistable folders passed, nothing found",
       {{"C:/", {"loop@", "locked/", "gone/"}}, {"C:/loop/", {"weaversl.exe"}}}, {"C:/"}, "",
       {"C:/", "C:/gone/", "C:/locked/"}},
  };
  for (const Case& c : cases) {
    Log roots, visited;
    for (const std::string& drive : c.drives) roots.push_back(P(drive));
    auto list = [&](const std::string& native, std::vector<platform::FolderEntry>& entries) {
      std::string folder = native;
      for (char& ch : folder) ch = ch == S ? '/' : ch;
      visited.push_back(folder);
      entries.clear();
      auto it = c.tree.find(folder);
      for (std::string name : it == c.tree.end() ? Log{} : it->second) {
        platform::FolderEntry& entry = entries.emplace_back();
        entry.attributes.folder = name.back() == '/' || name.back() == '@';
        entry.attributes.link = name.back() == '@';
        if (entry.attributes.folder) name.pop_back();
        entry.name = name;
      }
      return it != c.tree.end();
    };
    EXPECT_EQ(installer::FindFileOnFixedDrives("weaversl.exe", roots, list), c.found.empty() ? "" : P(c.found))
        << c.what;
    EXPECT_EQ(visited, c.visited) << c.what;
  }
}

TEST(LoadZeltEditorList, NamesAndFoldersStayParallel) {
  MemoryRegistry registry;
  const std::string expand = "%ProgramFiles%" + P("/a ");
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Editor B", RegistryValue{RegistryType::String, P("/b")});
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Editor A", RegistryValue{RegistryType::ExpandString, expand});
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Empty", RegistryValue{RegistryType::String, ""});
  registry.WriteValue(RegistryRoot::LocalMachine, kZelt, "Number", RegistryValue{RegistryType::Dword, "\1\0\0\0"});
  Log names = {"stale"}, folders = {"stale", "more"};
  installer::LoadZeltEditorList(registry, "Anderer Editor", names, folders);
  EXPECT_EQ(names, (Log{"Editor B", "Editor A", "Empty", "Number", "Anderer Editor"}));
  EXPECT_EQ(folders, (Log{P("/b/"), expand + S, "", "", ""}));
}

}  // namespace
