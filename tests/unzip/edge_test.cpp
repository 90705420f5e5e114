// Edge cases of the walk and of extraction, on archives written by the test itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "installer/unzip/unzip.h"
#include "platform/files.h"
#include "platform/progress.h"
#include "tests/unzip/support.h"

namespace unzip_test {
namespace {

// The bytes with `value` written over `width` bytes at `at`, little-endian.
std::string Poke(std::string bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

// Writes the bytes to a file in the scratch folder and returns its path.
std::string Write(const ScratchFolder& scratch, const std::string& bytes, const std::string& name = "a.zip") {
  const std::string path = scratch.path() + name;
  EXPECT_TRUE(platform::WriteWholeFile(path, bytes));
  return path;
}

int32_t ExtractFirst(const std::string& archive, const std::string& target, uint16_t window = 0, int32_t code = 0) {
  ZipMemberInfo info;
  int32_t rc = FirstMember(archive.c_str(), &info);
  if (rc != 0) return 100 + rc;
  rc = UnzipMember(archive.c_str(), target.c_str(), info.localHeaderOffset, window, code);
  EndMemberWalk(&info);
  return rc;
}

// The archive behind `at` bytes of program, padded to `size` bytes.
std::string Padded(size_t at, const std::string& zip, size_t size) {
  std::string bytes = std::string(at, 'M') + zip;
  bytes.resize(size, 'M');
  return bytes;
}

TEST(ZipWalk, FirstMemberFindsTheDirectoryAndIsZipArchiveTheHeaderOrGiveTheirCode) {
  ScratchFolder scratch;
  const std::string good = BuildZip({{"x.txt", "hello"}});
  const size_t offsetField = good.size() - 6;  // the end record's directory offset (no comment)
  // The entry's extra field length (at 30): what is left before the end record's signature,
  // whose 4 bytes close the directory copy.
  const size_t entry = good.find("PK\x01\x02");
  const uint32_t extra = static_cast<uint32_t>(good.size() - 22 + 4 - entry - 46 - 5);
  struct Case { std::string what, bytes; int32_t code; };
  // Plain archives, one without entries, and ones without an end record are the fixtures' business.
  std::vector<Case> cases = {
      {"end record behind 23 bytes of other data", BuildZip({}, "", std::string(23, 'x')), kZipNoRoomForEntries},
      {"directory offset behind the end record", Poke(good, offsetField, 0x0FF0, 2), kZipNoDirectory},
      {"directory offset at the local header", Poke(good, offsetField, 0, 4), kZipNoMoreEntries},
      {"directory shifted by other data in front", std::string(64, 'x') + good, kZipNoMoreEntries},
      {"name and extra field run past the directory", Poke(good, entry + 30, extra + 1, 2), kZipNoMoreEntries},
      {"name and extra field end where the directory copy ends", Poke(good, entry + 30, extra, 2), kZipOk},
  };
  // A comment of 4074 bytes makes the record fill the last window exactly; longer ones need
  // further windows, 8148 puts it right at the overlap of the second and third.
  for (size_t length : {0u, 1u, 4074u, 4075u, 4096u, 8148u, 8149u, 65535u}) {
    cases.push_back({"comment of " + std::to_string(length), BuildZip({{"x.txt", "hello"}}, std::string(length, 'c')),
                     0});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ZipMemberInfo info;
    EXPECT_EQ(FirstMember(Write(scratch, c.bytes).c_str(), &info), c.code);
    EXPECT_TRUE(info.name == std::string(c.code == 0 ? "x.txt" : "") && (info.directory != nullptr) == (c.code == 0));
    EXPECT_EQ(NextMember(&info), kZipNoMoreEntries) << "the walk is over or none is active";
  }
  ZipMemberInfo info;
  EXPECT_EQ(FirstMember((scratch.path() + "missing.zip").c_str(), &info), kZipNoDirectory);

  // Local headers count at the start or inside the first part; plain archives and files of text
  // are the fixtures' business.
  const std::string& zip = good;
  struct Scan { const char* what; std::string bytes; bool archive; int32_t offset; } scans[] = {
      {"behind a program", std::string(1000, 'M') + BuildZip({{"x.bin", std::string(3000, 'd')}}), true, 1000},
      {"header in the last quarter only", std::string(3000, 'M') + zip.substr(0, 40), false, -1},
      {"four bytes", "PK\x03\x04", true, 0},
      {"too short to scan", "xPK\x03", false, -1},
      // From 262144 bytes on only the first 262143 count: 196608 bytes are scanned.
      {"header ending at the capped scan's end", Padded(196603, zip, 300000), true, 196603},
      {"header one byte further", Padded(196604, zip, 300000), false, -1},
      {"header inside three quarters of a smaller file", Padded(196604, zip, 262143), false, -1},
      {"header inside three quarters of an uncapped file", Padded(190000, zip, 262143), true, 190000},
  };
  for (const Scan& c : scans) {
    SCOPED_TRACE(c.what);
    int32_t offset = -2;
    EXPECT_EQ(IsZipArchive(Write(scratch, c.bytes).c_str(), &offset), c.archive);
    EXPECT_EQ(offset, c.offset);
  }
  EXPECT_FALSE(IsZipArchive((scratch.path() + "missing.zip").c_str(), nullptr));
}

// The record takes the method, date and attributes from the directory (attributes only from
// MS-DOS hosts); the file gets the date as its last-write time, and making its folder leaves
// the current folder alone.
TEST(ZipExtract, DirectoryFieldsTheFileDateAndFailures) {
  ScratchFolder scratch;
  const TestEntry dos{.name = "dos.txt", .data = "a", .attributes = 0x21},
      other{.name = "dir/unix.txt", .data = "b", .method = 8, .hostSystem = 3, .attributes = 0x21};
  const std::string archive = Write(scratch, BuildZip({dos, other}));
  ZipMemberInfo info;
  ASSERT_EQ(FirstMember(archive.c_str(), &info), 0);
  EXPECT_EQ(info.attributes, 0x21);
  EXPECT_EQ(info.dateTime, 0x2B3A647D);
  ASSERT_EQ(NextMember(&info), 0);
  EXPECT_EQ(info.attributes, 0);
  EXPECT_EQ(info.method, 8);
  EndMemberWalk(&info);
  const std::string before = platform::CurrentFolder();
  const std::string dated = scratch.path() + "a" + platform::kPathSeparator + "dos.txt";
  EXPECT_EQ(ExtractFirst(archive, dated), 0);
  EXPECT_EQ(platform::GetFileTimeAsDos(dated), 0x2B3A647Du);
  EXPECT_EQ(platform::CurrentFolder(), before);

  // Failures found before writing (the fixtures give each method and flag its code) leave an
  // existing target alone, as does a target that cannot be written; a CRC mismatch, found at
  // the end, deletes the output that replaced it.
  const std::string encrypted = Write(scratch, BuildZip({{"e.txt", std::string(100, 'd'), 0, 1}}), "e.zip");
  const std::string plain = Write(scratch, BuildZip({{"x.txt", "new"}}), "x.zip");
  const std::string target = Write(scratch, "keep", "keep.txt");
  const std::string readOnly = Write(scratch, "keep", "readonly.txt");
  ASSERT_TRUE(platform::SetReadOnly(readOnly, true));
  const std::vector<int32_t> codes = {
      ExtractFirst(encrypted, target), ExtractFirst(Write(scratch, BuildZip({{"r.txt", "r", 2}}), "r.zip"), target),
      UnzipMember((scratch.path() + "missing.zip").c_str(), target.c_str(), 0, 0, 0),
      UnzipMember(encrypted.c_str(), target.c_str(), 5, 0, 0),       // no signature there
      UnzipMember(encrypted.c_str(), target.c_str(), 100000, 0, 0),  // beyond the end
      UnzipMember(encrypted.c_str(), target.c_str(), -1, 0, 0), ExtractFirst(plain, readOnly)};
  EXPECT_EQ(codes, (std::vector<int32_t>{kZipEncrypted, kZipUnsupported, kZipCannotOpen, kZipCorrupt, kZipCorrupt,
                                         kZipInputEnded, kZipCannotWrite}));
  for (const std::string& kept : {target, readOnly}) {
    std::string back;
    EXPECT_TRUE(platform::ReadWholeFile(kept, back) && back == "keep") << kept;
  }
  platform::SetReadOnly(readOnly, false);
  // The fixtures' long names show longer targets refused.
  EXPECT_EQ(ExtractFirst(plain, scratch.path() + std::string(255 - scratch.path().size(), 'f')), 0) << "255 characters";

  const std::string badCrc = BuildZip({{.name = "x.bin", .data = std::string(70000, 'd'), .badCrc = true}});
  EXPECT_EQ(ExtractFirst(Write(scratch, badCrc, "crc.zip"), target), kZipCrcMismatch);
  EXPECT_FALSE(platform::FileExists(target));
}

// Shrunk data has no end marker of its own, so a cut archive must not pass for a member
// that simply ended: the reader compares what it got with the member's compressed size.
TEST(ZipExtract, CutShrunkMemberGivesInputEndedAndNoFile) {
  ScratchFolder scratch;
  std::string whole;
  ASSERT_TRUE(platform::ReadWholeFile(FixturePath("shrunk-mixed-1m.zip"), whole));
  const auto* h = reinterpret_cast<const uint8_t*>(whole.data());
  ASSERT_EQ(h[8] | h[9] << 8, 1) << "first member is shrunk";
  const size_t dataStart = 30 + (h[26] | h[27] << 8) + (h[28] | h[29] << 8);
  const size_t compressed = h[18] | h[19] << 8 | h[20] << 16 | static_cast<size_t>(h[21]) << 24;
  // Some cuts fall on a code boundary, where the data alone cannot tell it was cut.
  const std::string target = scratch.path() + "cut.txt";
  for (size_t cut = compressed / 2; cut < compressed / 2 + 48; ++cut) {
    const std::string archive = Write(scratch, whole.substr(0, dataStart + cut));
    EXPECT_EQ(UnzipMember(archive.c_str(), target.c_str(), 0, 0, 0), kZipInputEnded) << "cut at " << cut;
    EXPECT_FALSE(platform::FileExists(target));
  }
}

uint32_t gFakeNow = 0;
uint32_t FakeClock() { return gFakeNow; }

// Progress goes to the window, which may cancel; while one extraction runs, a nested one (started
// from the notification) is refused unless the running one has not processed messages for
// more than 30 seconds by the busy guard's clock.
TEST(ZipExtract, ProgressGoesToTheWindowWhichCanCancelButNotNestUntilStale) {
  ScratchFolder scratch;
  const std::string target = scratch.path() + "x.bin", other = scratch.path() + "other.bin";
  // silent: how many milliseconds the clock runs on before each nested call.
  struct Case { size_t size; uint16_t cancelFrom; uint32_t silent; int32_t code, nested; std::vector<uint16_t> seen; };
  const Case cases[] = {
      {100000, 1000, 0, 0, kZipBusy, {32, 65, 98, 100, 100}},  // stored chunks of 32768, then the closing 100
      {100000, 60, 0, kZipCancelled, kZipBusy, {32, 65}},      // and the output is deleted
      {100000, 1000, 30000, 0, kZipBusy, {32, 65, 98, 100, 100}},
      {100000, 1000, 30001, 0, 0, {32, 65, 98, 100, 100}},
      {0, 1000, 0, 0, kZipBusy, {100}},  // nothing to read: only the closing 100
  };
  SetZipClock(FakeClock);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, cancel from " << c.cancelFrom << ", " << c.silent);
    const std::string archive = Write(scratch, BuildZip({{"x.bin", std::string(c.size, 'd')}}));
    ProgressProbe probe;
    std::vector<int32_t> nested;
    probe.answer = [&](uint16_t percent) {
      gFakeNow += c.silent;
      nested.push_back(UnzipMember(archive.c_str(), other.c_str(), 0, 0, 0));
      return percent >= c.cancelFrom ? platform::kCancelProgress : percent;
    };
    EXPECT_EQ(ExtractFirst(archive, target, probe.window(), 77), c.code);
    EXPECT_EQ(probe.seen, c.seen);
    EXPECT_EQ(platform::FileExists(target), c.code == 0);
    EXPECT_EQ(nested.front(), c.nested);
    EXPECT_EQ(platform::FileExists(other), std::count(nested.begin(), nested.end(), 0) > 0);
    platform::RemoveFile(other);
  }
  SetZipClock(nullptr);
  const std::string archive = Write(scratch, BuildZip({{"x.bin", std::string(100000, 'd')}}));
  EXPECT_EQ(UnzipMember(archive.c_str(), other.c_str(), 0, 0, 0), 0) << "free again afterwards";
#ifndef _WIN32
  // Without a window, the notification code names a key that cancels while held; where there
  // is no keyboard state, the program marks the key itself.
  platform::SetKeyHeld(0x1B, true);
  EXPECT_EQ(ExtractFirst(archive, target, 0, 0x1B), kZipCancelled);
  EXPECT_EQ(ExtractFirst(archive, target, 0, 0), 0) << "code 0: nothing cancels";
  platform::SetKeyHeld(0x1B, false);
  EXPECT_EQ(ExtractFirst(archive, target, 0, 0x1B), 0);
#endif
}

}  // namespace
}  // namespace unzip_test
