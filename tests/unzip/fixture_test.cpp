// Every fixture archive against its manifest: the walk lists each member as recorded, and
// each member extracts to the listed content or fails with the listed kind of code.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "installer/unzip/unzip.h"
#include "platform/files.h"
#include "tests/unzip/sha256.h"
#include "tests/unzip/support.h"

namespace unzip_test {
namespace {

using RowFilter = std::function<bool(const ManifestRow&)>;

const std::vector<ManifestRow>& Rows() {
  static const std::vector<ManifestRow> rows = LoadManifest();
  return rows;
}

// Member rows grouped by archive, in directory order; archives not present are left out.
std::map<std::string, std::vector<ManifestRow>> MembersByArchive() {
  std::map<std::string, std::vector<ManifestRow>> archives;
  for (const ManifestRow& row : Rows()) {
    if (!row.member.empty() && platform::FileExists(FixturePath(row.archive))) archives[row.archive].push_back(row);
  }
  return archives;
}

bool Descriptor(const ManifestRow& row) { return (row.flags & 8) != 0; }

// Extracts the matching rows of every archive into a scratch folder and checks each
// outcome. Returns how many rows were checked.
int CheckExtraction(const RowFilter& filter) {
  ScratchFolder scratch("fixture");
  int checked = 0;
  int archiveIndex = 0;
  for (const auto& [archive, rows] : MembersByArchive()) {
    const std::string path = FixturePath(archive);
    const std::string folder = scratch.path() + std::to_string(archiveIndex++) + Sep();
    ZipMemberInfo info;
    int32_t rc = FirstMember(path.c_str(), &info);
    for (size_t i = 0; i < rows.size() && rc == 0; ++i, rc = NextMember(&info)) {
      const ManifestRow& row = rows[i];
      if (!filter(row)) continue;
      ++checked;
      SCOPED_TRACE(archive + ": " + row.member + " (" + row.expect + ") " + row.note);
      const std::string target = folder + info.name;
      const int32_t code = UnzipMember(path.c_str(), target.c_str(), info.localHeaderOffset, 0, 0);
      std::string native = target;
      for (char& c : native) {
        if (c == '\\' || c == '/') c = platform::kPathSeparator;
      }
      if (row.expect == "folder") {
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(platform::FolderExists(native));
        continue;
      }
      const bool written = platform::FileExists(native);
      if (row.expect == "ok" && target.size() > 255) {
        EXPECT_EQ(code, kZipCannotWrite) << "a target longer than 255 characters is refused";
      } else if (row.expect == "ok") {
        EXPECT_EQ(code, 0);
        std::string content;
        EXPECT_TRUE(ReadFile(native, content));
        EXPECT_EQ(Sha256Hex(content), row.sha256);
        continue;
      } else if (row.expect == "unsupported-method") {
        EXPECT_EQ(code, kZipUnsupported);
      } else if (row.expect == "encrypted") {
        EXPECT_EQ(code, kZipEncrypted);
      } else if (row.expect == "crc-mismatch") {
        EXPECT_EQ(code, kZipCrcMismatch);
      } else if (row.expect == "corrupt") {
        EXPECT_TRUE(code == kZipInputEnded || code == kZipCorrupt) << code;
      } else {
        ADD_FAILURE() << "unknown expectation";
      }
      EXPECT_FALSE(written) << "a failed member leaves no file";
    }
    EndMemberWalk(&info);
  }
  return checked;
}

TEST(ZipFixtures, WalkListsEveryMemberAsRecorded) {
  ASSERT_FALSE(Rows().empty()) << "manifest not found";
  for (const auto& [archive, rows] : MembersByArchive()) {
    SCOPED_TRACE(archive);
    ZipMemberInfo info;
    int32_t rc = FirstMember(FixturePath(archive).c_str(), &info);
    size_t i = 0;
    for (; rc == 0; rc = NextMember(&info), ++i) {
      ASSERT_LT(i, rows.size()) << "more entries than listed";
      EXPECT_EQ(std::string(info.name), RecordName(rows[i].member));
      EXPECT_EQ(info.compressedSize, static_cast<int32_t>(rows[i].compressedSize)) << rows[i].member;
      EXPECT_EQ(info.uncompressedSize, static_cast<int32_t>(rows[i].uncompressedSize)) << rows[i].member;
    }
    EXPECT_EQ(i, rows.size()) << "every listed entry is reached";
    EXPECT_EQ(rc, kZipNoMoreEntries);
    EXPECT_FALSE(info.directory) << "the walk ended itself";
    int32_t offset = -2;
    EXPECT_TRUE(IsZipArchive(FixturePath(archive).c_str(), &offset));
    EXPECT_EQ(offset, 0);
  }
}

TEST(ZipFixtures, ArchivesWithoutUsableDirectoryGiveTheirWalkCode) {
  int checked = 0;
  for (const ManifestRow& row : Rows()) {
    if (!row.member.empty()) continue;
    SCOPED_TRACE(row.archive + " " + row.expect);
    const std::string path = FixturePath(row.archive);
    ZipMemberInfo info;
    const int32_t rc = FirstMember(path.c_str(), &info);
    if (row.expect == "not-an-archive") {
      EXPECT_FALSE(IsZipArchive(path.c_str(), nullptr));
      EXPECT_EQ(rc, kZipNoDirectory);
    } else if (row.expect == "no-end-record") {
      EXPECT_TRUE(IsZipArchive(path.c_str(), nullptr));
      EXPECT_EQ(rc, kZipNoDirectory);
    } else if (row.expect == "bare-end-record") {
      EXPECT_EQ(rc, kZipNoRoomForEntries);
    } else {
      ADD_FAILURE() << "unknown expectation";
    }
    EXPECT_FALSE(info.directory);
    ++checked;
  }
  EXPECT_GE(checked, 5);
}

TEST(ZipFixtures, StoredMembersExtractExactly) {
  EXPECT_GT(CheckExtraction([](const ManifestRow& r) { return r.method == 0 && !Descriptor(r) && r.expect == "ok"; }), 20);
}

TEST(ZipFixtures, DeflatedMembersExtractExactly) {
  EXPECT_GT(CheckExtraction([](const ManifestRow& r) { return r.method == 8 && !Descriptor(r) && r.expect == "ok"; }), 20);
}

TEST(ZipFixtures, MembersWithDataDescriptorsEndWhereTheirDataEnds) {
  // Deflated data ends by itself and is checked against the descriptor's CRC (with or
  // without its signature); stored data cannot end and runs out of input; shrunk is refused.
  EXPECT_GE(CheckExtraction([](const ManifestRow& r) { return Descriptor(r) && r.method != 6; }), 15);
}

TEST(ZipFixtures, RefusedMembersLeaveNothing) {
  EXPECT_GT(CheckExtraction([](const ManifestRow& r) {
              return r.expect == "unsupported-method" || r.expect == "encrypted";
            }),
            25);
}

TEST(ZipFixtures, DamagedMembersFailAndLeaveNothing) {
  EXPECT_GE(CheckExtraction([](const ManifestRow& r) {
              return (r.expect == "crc-mismatch" || r.expect == "corrupt") && (r.method == 0 || r.method == 8);
            }),
            6);
}

TEST(ZipFixtures, FolderEntriesCreateFolders) {
  EXPECT_GE(CheckExtraction([](const ManifestRow& r) { return r.expect == "folder"; }), 8);
}

// The legacy methods, decoded by the shrink and implode decoders.
TEST(ZipFixtures, ShrunkMembersExtractExactly) {
  EXPECT_GT(CheckExtraction([](const ManifestRow& r) { return r.method == 1 && !Descriptor(r); }), 10);
}

TEST(ZipFixtures, ImplodedMembersExtractExactly) {
  EXPECT_GT(CheckExtraction([](const ManifestRow& r) { return r.method == 6; }), 150);
}

}  // namespace
}  // namespace unzip_test
