#include "platform/files.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

std::string TestFolder(const char* name) {
  std::string folder = platform::TempFolder();
  if (!folder.empty() && folder.back() != platform::kPathSeparator) folder += platform::kPathSeparator;
  return folder + "quenda-platform-" + name;
}

TEST(Files, RemoveTreeTakesEverythingBelowButNotWhatALinkPointsTo) {
  const std::string sep(1, platform::kPathSeparator);
  const std::string outside = TestFolder("tree-outside");
  const std::string kept = outside + sep + "kept.txt";
  platform::RemoveTree(outside);
  ASSERT_TRUE(platform::CreateFolder(outside));
  ASSERT_TRUE(platform::WriteWholeFile(kept, "outside"));
  const std::string top = TestFolder("tree");
  platform::RemoveTree(top);
  ASSERT_TRUE(platform::CreateFolder(top));
  ASSERT_TRUE(platform::CreateFolder(top + sep + "sub"));
  ASSERT_TRUE(platform::WriteWholeFile(top + sep + "sub" + sep + "locked.txt", "x"));
  ASSERT_TRUE(platform::SetReadOnly(top + sep + "sub" + sep + "locked.txt", true));
#ifndef _WIN32
  ASSERT_EQ(symlink(outside.c_str(), (top + sep + "link").c_str()), 0);
#endif
  EXPECT_TRUE(platform::RemoveTree(top));
  EXPECT_FALSE(platform::FolderExists(top));
  EXPECT_TRUE(platform::FileExists(kept));
  EXPECT_TRUE(platform::RemoveTree(outside));
}

TEST(Files, ReadOnlyFileCannotBeReplacedUntilTheFlagIsCleared) {
  std::string path = TestFolder("readonly.txt");
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
  EXPECT_TRUE(platform::RemoveFile(path));
}

TEST(Files, DosTimeIsKeptToTheTwoSecondStep) {
  std::string path = TestFolder("dated.txt");
  ASSERT_TRUE(platform::WriteWholeFile(path, "x"));
  const uint32_t dos = (((2001 - 1980) << 9 | 3 << 5 | 26) << 16) | (14 << 11 | 35 << 5 | 58 / 2);  // 2001-03-26 14:35:58
  ASSERT_TRUE(platform::SetFileTimeFromDos(path, dos));
  EXPECT_EQ(platform::GetFileTimeAsDos(path), dos);
  platform::RemoveFile(path);
}

}  // namespace
