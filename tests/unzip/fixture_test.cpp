// Every fixture archive against its manifest: the walk lists each member as recorded and gets
// to the end (or gives the listed code for an archive it cannot use), and each member comes out
// exactly, or gives the listed kind of code and leaves no file; folder entries make folders.
// Deflated data behind a data descriptor ends by itself; stored data cannot and runs out of
// input; shrunk and imploded ones are refused or fail.
#include <gtest/gtest.h>

#include <map>

#include "installer/unzip/crc32.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"
#include "tests/unzip/support.h"

namespace unzip_test {
namespace {

TEST(ZipFixtures, EveryArchiveWalksAndExtractsAsListed) {
  // Archives without a usable directory: whether the start looks like one (-1: either), walk code.
  const std::map<std::string, std::pair<int, int32_t>> unusable = {
      {"not-an-archive", {0, kZipNoDirectory}}, {"no-end-record", {1, kZipNoDirectory}},
      {"bare-end-record", {-1, kZipNoRoomForEntries}}};
  // The codes of failing members ("ok" ones fail where the target is longer than 255).
  const std::map<std::string, int32_t> failures = {
      {"ok", kZipCannotWrite}, {"unsupported-method", kZipUnsupported}, {"encrypted", kZipEncrypted},
      {"crc-mismatch", kZipCrcMismatch}, {"corrupt", kZipCorrupt}};
  std::map<std::string, std::vector<ManifestRow>> archives;  // members in directory order
  for (const ManifestRow& row : LoadManifest()) {
    if (platform::FileExists(FixturePath(row.archive))) archives[row.archive].push_back(row);
  }
  ASSERT_FALSE(archives.empty()) << "fixtures not found";
  ScratchFolder scratch;
  std::map<std::string, int> checked;
  for (const auto& [archive, rows] : archives) {
    SCOPED_TRACE(archive);
    const bool listsMembers = !rows[0].member.empty();
    ASSERT_TRUE(listsMembers || unusable.count(rows[0].expect) == 1) << "unknown expectation";
    const auto [isArchive, walkEnd] =
        listsMembers ? std::pair<int, int32_t>{1, kZipNoMoreEntries} : unusable.at(rows[0].expect);
    const std::string path = FixturePath(archive);
    int32_t offset = -2;
    if (isArchive >= 0) {
      EXPECT_EQ(IsZipArchive(path.c_str(), &offset), isArchive == 1);
      EXPECT_EQ(offset, isArchive == 1 ? 0 : -1);
    }
    const std::string folder = scratch.path() + std::to_string(checked["archives"]++) + "/";  // names bring "\"
    ZipMemberInfo info;
    int32_t rc = FirstMember(path.c_str(), &info);
    size_t i = 0;
    for (; rc == 0; rc = NextMember(&info), ++i) {
      ASSERT_LT(i, rows.size()) << "more entries than listed";
      const ManifestRow& row = rows[i];
      SCOPED_TRACE(row.member + " (" + row.expect + ") " + row.note);
      EXPECT_EQ(std::string(info.name), RecordName(row.member));
      EXPECT_EQ(info.compressedSize, static_cast<int32_t>(row.compressedSize));
      EXPECT_EQ(info.uncompressedSize, static_cast<int32_t>(row.uncompressedSize));
      const std::string target = folder + info.name;
      const int32_t code = UnzipMember(path.c_str(), target.c_str(), info.localHeaderOffset, 0, 0);
      std::string native = target;
      for (char& c : native) c = c == '\\' || c == '/' ? platform::kPathSeparator : c;
      const bool ok = row.expect == "ok";
      ++checked[ok ? "ok, method " + std::to_string(row.method) + ((row.flags & 8) ? " dd" : "") : row.expect];
      if (row.expect == "folder") {
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(platform::FolderExists(native));
      } else if (ok && target.size() <= 255) {
        std::string content;
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(platform::ReadWholeFile(native, content));
        EXPECT_EQ(content.size(), row.uncompressedSize);
        EXPECT_EQ(kudu::Crc32(content.data(), content.size()), row.crc32);
      } else {
        ASSERT_EQ(failures.count(row.expect), 1u) << "unknown expectation";
        EXPECT_TRUE(code == failures.at(row.expect) || (row.expect == "corrupt" && code == kZipInputEnded)) << code;
        EXPECT_FALSE(platform::FileExists(native)) << "a failed member leaves no file";
      }
    }
    EXPECT_EQ(i, listsMembers ? rows.size() : 0) << "every listed entry is reached";
    EXPECT_EQ(rc, walkEnd);
    EXPECT_FALSE(info.directory) << "no walk is left active";
    checked["unusable"] += !listsMembers;
  }
  // Each kind of archive and member took part.
  const std::map<std::string, int> least = {
      {"ok, method 0", 20}, {"ok, method 8", 20}, {"ok, method 8 dd", 10}, {"ok, method 1", 10},
      {"ok, method 6", 150}, {"unsupported-method", 15}, {"encrypted", 10}, {"crc-mismatch", 5},
      {"corrupt", 5}, {"folder", 8}, {"unusable", 5}};
  for (const auto& [kind, count] : least) EXPECT_GE(checked[kind], count) << kind;
}

}  // namespace
}  // namespace unzip_test
