// Every fixture archive against its manifest: the walk lists each member as recorded, and
// each member extracts to the listed content or fails with the listed kind of code.
#include <gtest/gtest.h>

#include <map>

#include "installer/unzip/crc32.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"
#include "tests/unzip/support.h"

namespace unzip_test {
namespace {

const std::vector<ManifestRow>& Rows() {
  static const std::vector<ManifestRow> rows = LoadManifest();
  return rows;
}

// Rows grouped by archive, members in directory order; archives not present are left out.
std::map<std::string, std::vector<ManifestRow>> RowsByArchive() {
  std::map<std::string, std::vector<ManifestRow>> archives;
  for (const ManifestRow& row : Rows()) {
    if (platform::FileExists(FixturePath(row.archive))) archives[row.archive].push_back(row);
  }
  return archives;
}

TEST(ZipFixtures, WalkListsEveryMemberAsRecordedOrGivesTheListedCode) {
  // Archives without a usable directory: whether the start looks like one (-1: either), walk code.
  const std::map<std::string, std::pair<int, int32_t>> unusable = {{"not-an-archive", {0, kZipNoDirectory}},
                                                                    {"no-end-record", {1, kZipNoDirectory}},
                                                                    {"bare-end-record", {-1, kZipNoRoomForEntries}}};
  ASSERT_FALSE(Rows().empty()) << "manifest not found";
  int unusableSeen = 0;
  for (const auto& [archive, rows] : RowsByArchive()) {
    SCOPED_TRACE(archive);
    const bool listsMembers = !rows[0].member.empty();
    ASSERT_TRUE(listsMembers || unusable.count(rows[0].expect) == 1) << "unknown expectation";
    const auto [isArchive, code] =
        listsMembers ? std::pair<int, int32_t>{1, kZipNoMoreEntries} : unusable.at(rows[0].expect);
    const std::string path = FixturePath(archive);
    int32_t offset = -2;
    if (isArchive >= 0) {
      EXPECT_EQ(IsZipArchive(path.c_str(), &offset), isArchive == 1);
      EXPECT_EQ(offset, isArchive == 1 ? 0 : -1);
    }
    ZipMemberInfo info;
    int32_t rc = FirstMember(path.c_str(), &info);
    size_t i = 0;
    for (; rc == 0; rc = NextMember(&info), ++i) {
      ASSERT_LT(i, rows.size()) << "more entries than listed";
      EXPECT_EQ(std::string(info.name), RecordName(rows[i].member));
      EXPECT_EQ(info.compressedSize, static_cast<int32_t>(rows[i].compressedSize)) << rows[i].member;
      EXPECT_EQ(info.uncompressedSize, static_cast<int32_t>(rows[i].uncompressedSize)) << rows[i].member;
    }
    EXPECT_EQ(i, listsMembers ? rows.size() : 0) << "every listed entry is reached";
    EXPECT_EQ(rc, code);
    EXPECT_FALSE(info.directory) << "no walk is left active";
    unusableSeen += !listsMembers;
  }
  EXPECT_GE(unusableSeen, 5);
}

// Stored, deflated (with and without data descriptors), shrunk and imploded members come out
// exactly; refused and damaged ones give their code and leave no file; folder entries make
// folders. Deflated data behind a descriptor ends by itself; stored data cannot and runs out
// of input; shrunk and imploded ones are refused or fail.
TEST(ZipFixtures, EveryMemberExtractsAsListed) {
  ScratchFolder scratch;
  std::map<std::string, int> checked;
  int archiveIndex = 0;
  for (const auto& [archive, rows] : RowsByArchive()) {
    const std::string path = FixturePath(archive);
    const std::string folder = scratch.path() + std::to_string(archiveIndex++) + Sep();
    ZipMemberInfo info;
    int32_t rc = FirstMember(path.c_str(), &info);
    for (size_t i = 0; i < rows.size() && rc == 0; ++i, rc = NextMember(&info)) {
      const ManifestRow& row = rows[i];
      SCOPED_TRACE(archive + ": " + row.member + " (" + row.expect + ") " + row.note);
      const std::string target = folder + info.name;
      const int32_t code = UnzipMember(path.c_str(), target.c_str(), info.localHeaderOffset, 0, 0);
      std::string native = target;
      for (char& c : native) {
        if (c == '\\' || c == '/') c = platform::kPathSeparator;
      }
      const bool ok = row.expect == "ok" && target.size() <= 255;
      const std::string kind = row.expect == "ok" ? "ok, method " + std::to_string(row.method) : row.expect;
      ++checked[kind + ((row.expect == "ok" && (row.flags & 8)) ? " dd" : "")];
      if (row.expect == "folder") {
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(platform::FolderExists(native));
      } else if (ok) {
        EXPECT_EQ(code, 0);
        std::string content;
        EXPECT_TRUE(ReadFile(native, content));
        EXPECT_EQ(content.size(), row.uncompressedSize);
        EXPECT_EQ(kudu::Crc32(content.data(), content.size()), row.crc32);
      } else {
        const std::map<std::string, int32_t> codes = {{"ok", kZipCannotWrite},  // target longer than 255
                                                      {"unsupported-method", kZipUnsupported},
                                                      {"encrypted", kZipEncrypted},
                                                      {"crc-mismatch", kZipCrcMismatch},
                                                      {"corrupt", kZipCorrupt}};
        ASSERT_EQ(codes.count(row.expect), 1u) << "unknown expectation";
        EXPECT_TRUE(code == codes.at(row.expect) || (row.expect == "corrupt" && code == kZipInputEnded)) << code;
        EXPECT_FALSE(platform::FileExists(native)) << "a failed member leaves no file";
      }
    }
    EndMemberWalk(&info);
  }
  // Each kind of member took part.
  const std::map<std::string, int> least = {
      {"ok, method 0", 20}, {"ok, method 8", 20}, {"ok, method 8 dd", 10}, {"ok, method 1", 10},
      {"ok, method 6", 150}, {"unsupported-method", 15}, {"encrypted", 10}, {"crc-mismatch", 5},
      {"corrupt", 5}, {"folder", 8}};
  for (const auto& [kind, count] : least) EXPECT_GE(checked[kind], count) << kind;
}

}  // namespace
}  // namespace unzip_test
