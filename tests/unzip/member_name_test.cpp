// The one rule on member names that extraction, kuduunzip and mksfx share.
#include "installer/unzip/member_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IsUnsafeMemberName, NamesThatWouldLeaveTheFolder) {
  const std::pair<std::string, bool> cases[] = {
      // Inside the folder, with either separator; dots are harmless beside other characters.
      {"plain.txt", false}, {"a/b/c.dll", false}, {"a\\b\\c.dll", false}, {"dir/", false},
      {"a..b/c", false}, {"..x/y", false}, {"x../y", false}, {"./x", false}, {"a/./b", false},
      {"a /b", false}, {"a./b", false}, {"name. ", false}, {"name...", false}, {"a\\ \\b", false},
      // Nothing to write to.
      {"", true},
      // Absolute and network names, either separator.
      {"/abs.txt", true}, {"\\abs.txt", true}, {"\\\\server\\share\\x", true}, {"//server/share/x", true},
      {"\\\\?\\C:\\x", true},
      // Drives, drive-relative names and file streams.
      {"C:/x.txt", true}, {"C:\\x.txt", true}, {"C:x.txt", true}, {"c:..\\x", true}, {"file.txt:stream", true},
      // Elements Windows reads as "..": trailing dots and blanks are dropped.
      {"../evil.txt", true}, {"..\\evil.txt", true}, {"a/../../b", true}, {"a/..", true}, {"..", true},
      {"...\\x", true}, {". .\\x", true}, {"x\\ ..\\y", true}, {"x/.. /y", true}, {"x\\.. .\\y", true},
      {"a\\b/..\\..\\c", true},
  };
  for (const auto& [name, unsafe] : cases) EXPECT_EQ(kudu::IsUnsafeMemberName(name), unsafe) << '"' << name << '"';
}

}  // namespace
