// The extraction step: targets and markers, names that would leave the folder, archives that
// cannot be walked, the rows of the list and their shortening.
#include "installer/unzip/extract.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/files.h"
#include "temp_folder.h"
#include "tests/unzip/support.h"

namespace {

using installer::TargetFolders;
using installer_test::P;
constexpr char S = platform::kPathSeparator;

constexpr auto Fixture = unzip_test::FixturePath;

struct Folders {
  installer_test::TempFolder temp;
  std::string plugin = temp.path() + "plug" + S;
  TargetFolders targets{temp.path() + "win" + S, temp.path() + "sys" + S};
  Folders() {
    for (const std::string& path : {plugin, targets.windowsFolder, targets.systemFolder}) platform::CreateFolder(path);
  }
};

TEST(ExtractArchive, MarkedMembersGoToWindowsAndSystemFolders) {
  Folders f;
  installer::ExtractionList list;
  int repaints = 0;
  list.SetRowAddedHandler([&] { ++repaints; });
  ASSERT_TRUE(installer::ExtractArchiveFile(Fixture("prefixes.zip"), f.plugin, f.targets, list));
  const std::string plug = "1" + f.plugin, win = "1" + f.targets.windowsFolder, sys = "1" + f.targets.systemFolder;
  // Newest first: the archive's last member stands in the first row.
  EXPECT_EQ(list.rows(), (std::vector<std::string>{plug + "plain.txt", win + "embedded.txt",
                                                   plug + P("$winx/not-a-marker.txt"), sys + "both.txt",
                                                   sys + "nested.txt", sys + P("drivers/demo.sys"), sys + "UPPER.DLL",
                                                   sys + "demo.dll", win + P("sub/mixed.txt"), win + "UPPER.INI",
                                                   win + "demo.ini"}));
  EXPECT_EQ(repaints, 11);
  for (const std::string& row : list.rows()) EXPECT_TRUE(platform::FileExists(installer::RowTarget(row))) << row;
}

TEST(ExtractArchive, UnsafeNamesAndMarkersWithoutSuchFolderAreNotWritten) {
  Folders f;
  const std::string archive = f.temp / "unsafe.zip";
  ASSERT_TRUE(platform::WriteWholeFile(
      archive, unzip_test::BuildZip({{"../evil.txt", "e"}, {"/abs.txt", "a"}, {"C:/drive.txt", "d"},
                                     {"sub/../../up.txt", "u"}, {"$sys/x.dll", "x"}, {"good.txt", "g"}})));
  installer::ExtractionList list;
  EXPECT_FALSE(installer::ExtractArchiveFile(archive, f.plugin, TargetFolders{f.targets.windowsFolder, ""}, list));
  ASSERT_EQ(list.rows().size(), 6u);
  EXPECT_EQ(list.rows()[0], "1" + f.plugin + "good.txt");
  EXPECT_EQ(list.rows()[1], "0x.dll");
  for (size_t i = 2; i < 6; ++i) EXPECT_FALSE(installer::RowExtracted(list.rows()[i])) << list.rows()[i];
  for (const std::string& path : {f.temp / "evil.txt", f.temp / "up.txt", f.temp / "x.dll", std::string("x.dll")}) {
    EXPECT_FALSE(platform::FileExists(path)) << path;
  }
}

// Folder entries are created and listed; a failing member does not stop the others; an
// archive that cannot be walked fails without a row.
TEST(ExtractArchive, FoldersFailingMembersAndArchivesThatCannotBeWalked) {
  Folders f;
  const std::string plug = f.plugin;
  auto row = [&](const char* status, const char* name) { return status + plug + P(name); };
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"folders.zip",
       {row("1", "deep/a/b/c/file.txt"), row("1", "emptydir/"), row("1", "plugin/readme.txt"),
        row("1", "plugin/help/index.htm"), row("1", "plugin/help/"), row("1", "plugin/")}},
      {"encrypted.zip",
       {row("1", "public.txt"), row("0", "secret-method9.bin"), row("0", "secret-stored.txt"),
        row("0", "secret-deflated.txt")}},
      {"empty.zip", {}}, {"bare-end-record.zip", {}}, {"pk-junk.zip", {}}, {"truncated.zip", {}}, {"no-such.zip", {}}};
  for (const auto& [archive, rows] : cases) {
    installer::ExtractionList list;
    const bool ok = std::string(archive) == "folders.zip";
    EXPECT_EQ(installer::ExtractArchiveFile(Fixture(archive), plug, f.targets, list), ok) << archive;
    EXPECT_EQ(list.rows(), rows) << archive;
  }
  EXPECT_TRUE(platform::FolderExists(plug + "emptydir") && platform::FileExists(plug + P("deep/a/b/c/file.txt")));
}

// The wizard's step takes "install.zip" from the unpack folder; without a folder it fails.
TEST(ExtractArchive, UnpackFolderArchive) {
  Folders f;
  ASSERT_TRUE(platform::WriteWholeFile(f.temp / "install.zip", unzip_test::BuildZip({{"Quenda.dll", "MZ"}})));
  installer::ExtractionList list;
  const std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder(f.temp.path()));
  EXPECT_FALSE(installer::ExtractArchive("", f.plugin, list));  // never the current folder's archive
  platform::SetCurrentFolder(before);
  EXPECT_TRUE(installer::ExtractArchive(f.temp.path(), f.plugin, list));
  EXPECT_EQ(list.rows(), std::vector<std::string>{"1" + f.plugin + "Quenda.dll"});
}

TEST(ShortenRowPath, FoldsLeadingFoldersFirst) {
  auto width = [](const std::string& text) { return static_cast<int>(text.size()); };
  const std::string full = "X:" + P("/first/second/third/name.dll");  // 30 characters
  const std::pair<int, std::string> cases[] = {
      {30, full}, {29, "X:" + P("/.../second/third/name.dll")}, {27, "X:" + P("/.../third/name.dll")},
      {20, "X:" + P("/.../name.dll")}, {14, P(".../name.dll")}, {11, "name.dll"}, {3, "name.dll"},
  };
  for (const auto& [maxWidth, expected] : cases) {
    EXPECT_EQ(installer::ShortenRowPath(full, maxWidth, width), expected) << maxWidth;
  }
  // A folder row keeps its last folder whole.
  EXPECT_EQ(installer::ShortenRowPath("X:" + P("/aaaa/bbbb/sub/"), 12, width), "X:" + P("/.../sub/"));
}

TEST(LayoutRow, StatusColumnKeepsItsPlace) {
  const installer::RowLayout layout = installer::LayoutRow(10, 309, 305, 30, 14);  // the wider status word: 30
  EXPECT_EQ((std::tuple{layout.pathLeft, layout.pathMaxWidth, layout.statusLeft}), (std::tuple{12, 258, 275}));
}

}  // namespace
