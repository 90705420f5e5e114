// The file helpers where the installer depends on their details: removing a tree, read-only
// files. (Dates are met by the ZIP reader's extraction tests.)
#include "platform/files.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/installer/temp_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using installer_test::P;

TEST(Files, RemoveTreeTakesEverythingBelowButNotWhatALinkPointsTo) {
  installer_test::TempFolder temp;
  const std::string top = temp / "tree";
  ASSERT_TRUE(platform::CreateFolder(temp / "outside"));
  ASSERT_TRUE(platform::WriteWholeFile(temp / P("outside/kept.txt"), "outside"));
  ASSERT_TRUE(platform::CreateFolder(top));
  ASSERT_TRUE(platform::CreateFolder(temp / P("tree/sub")));
  ASSERT_TRUE(platform::WriteWholeFile(temp / P("tree/sub/locked.txt"), "x"));
  ASSERT_TRUE(platform::SetReadOnly(temp / P("tree/sub/locked.txt"), true));
#ifndef _WIN32
  ASSERT_EQ(symlink((temp / "outside").c_str(), (temp / P("tree/link")).c_str()), 0);
#endif
  EXPECT_TRUE(platform::RemoveTree(top));
  EXPECT_FALSE(platform::FolderExists(top));
  EXPECT_TRUE(platform::FileExists(temp / P("outside/kept.txt")));
}

TEST(Files, ReadOnlyFileCannotBeReplacedUntilTheFlagIsCleared) {
  installer_test::TempFolder temp;
  const std::string path = temp / "readonly.txt";
  ASSERT_TRUE(platform::WriteWholeFile(path, "keep"));
  ASSERT_TRUE(platform::SetReadOnly(path, true));
  platform::FileAttributes attributes;
  ASSERT_TRUE(platform::GetAttributes(path, attributes));
  EXPECT_TRUE(attributes.readOnly);
  EXPECT_FALSE(platform::File::Create(path).IsOpen());
  EXPECT_FALSE(platform::WriteWholeFile(path, "lost"));
  std::string back;
  ASSERT_TRUE(platform::ReadWholeFile(path, back));
  EXPECT_EQ(back, "keep");
  ASSERT_TRUE(platform::SetReadOnly(path, false));
  EXPECT_TRUE(platform::File::Create(path).IsOpen());
}

}  // namespace
