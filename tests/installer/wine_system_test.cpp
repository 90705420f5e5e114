// The installer's core against the real system under Windows: the fixed drives and their
// search. (The registry and the Windows folder are met by the registry contract test and the
// end-to-end tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "installer/drive_search.h"
#include "installer/pluginfolder.h"
#include "platform/drive_roots.h"

namespace {

TEST(FixedDrives, RootsAreDriveLettersInOrder) {
  std::vector<std::string> roots = platform::FixedDriveRoots();
  EXPECT_EQ(roots.at(0), "C:\\");
  EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
  for (const std::string& root : roots) EXPECT_TRUE(root.size() == 3 && root.substr(1) == ":\\") << root;
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
