// The profile-file reader: the format rules of the install script, and under Windows the
// same answers as GetPrivateProfileStringA on each of these files.
#include "installer/profile_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/files.h"
#include "temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using installer::ProfileFile;

// The value a lookup of section and key finds in text; none: absent.
struct LookupCase { const char* what; std::string text; const char *section, *key; std::optional<std::string> value; };

const std::string kLong(3000, 'x');

// The rules by example; under Windows a randomized comparison with the system's reader
// covers the many ways they combine (and cases like these: empty values, repeated keys).
const LookupCase kCases[] = {
    {"section and key without case", "[Language]\r\nCAPTION=x\r\n", "lAnGuAgE", "caption", "x"},
    {"blanks and tabs around key and value", "[a]\r\n \tk  =\t  v w \t\r\n", "a", "k", "v w"},
    {"quotes removed, inner blanks kept", "[a]\r\nk=  ' v '  \r\n", "a", "k", " v "},
    {"only the outer pair goes", "[a]\r\nk=\"a\"b\"\r\n", "a", "k", "a\"b"},
    {"comment line is no key", "[a]\r\n;k=v\r\n", "a", "k", std::nullopt},
    {"long value cut to 2047", "[a]\r\nk=" + kLong + "\r\n", "a", "k", std::string(2047, 'x')},
    {"quotes go before the cut", "[a]\r\nk=\"" + kLong + "\"\r\n", "a", "k", std::string(2047, 'x')},
    {"section given twice", "[a]\r\nx=1\r\n[b]\r\ny=0\r\n[a]\r\nk=2\r\n", "a", "k", std::nullopt},
    {"lines ended by CR or LF only", "[a]\rk=v\nz=w\r", "a", "k", "v"},
    {"Latin-1 bytes and backslashes kept", "[Plugins]\r\nPath=C:\\Pro\xE4\\Plugin\r\n", "plugins", "path",
     "C:\\Pro\xE4\\Plugin"},
    {"line without equals sign", "[a]\r\nflag\r\nflag=x\r\n", "a", "flag", std::nullopt},
};

TEST(ProfileFile, LookupFollowsTheFormatRules) {
  for (const LookupCase& c : kCases) {
    EXPECT_EQ(ProfileFile::Parse(c.text).Lookup(c.section, c.key), c.value) << c.what;
  }
}

#ifdef _WIN32
std::optional<std::string> SystemLookup(const std::string& path, const char* section, const char* key) {
  char buffer[2048];
  std::string value(buffer, GetPrivateProfileStringA(section, key, "\x01", buffer, sizeof buffer, path.c_str()));
  return value == "\x01" ? std::nullopt : std::optional(value);
}

TEST(ProfileFile, AgreesWithGetPrivateProfileStringA) {
  installer_test::TempFolder temp;
  // Random scripts of lines: a section, a key or other text, perhaps "=" and a value.
  const char* const heads[] = {"[a]", " [ b ] x", "[a", "]", ";k", "", "k", " K\t", "a k", "x", "[a]=", "\t"};
  const char* const values[] = {"", "=", "\"", "'", " ", "v", "\"v \"", "'v\"", "\\", "\xE4", "[a]"};
  const char* const ends[] = {"\r\n", "\n", "\r", ""};
  const char* const sections[] = {"a", "b"};
  const char* const keys[] = {"k", "x", "a k"};
  uint32_t seed = 12;
  auto pick = [&seed](size_t n) { return ((seed = seed * 1664525u + 1013904223u) >> 8) % n; };
  std::vector<LookupCase> cases(std::begin(kCases), std::end(kCases));
  for (int i = 0; i < 1000; ++i) {
    LookupCase c{"random", "", sections[pick(2)], keys[pick(3)], std::nullopt};
    for (size_t n = 1 + pick(8); n > 0; --n) {
      c.text += heads[pick(std::size(heads))];
      if (pick(3) != 0) c.text = c.text + "=" + values[pick(std::size(values))] + values[pick(std::size(values))];
      c.text += ends[pick(std::size(ends))];
    }
    cases.push_back(c);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    const LookupCase& c = cases[i];
    // A new name for every file: the system reader caches files by name.
    std::string path = temp / ("case" + std::to_string(i) + ".ini");
    ASSERT_TRUE(platform::WriteWholeFile(path, c.text));
    EXPECT_EQ(ProfileFile::Load(path).Lookup(c.section, c.key), SystemLookup(path, c.section, c.key))
        << c.what << ": [" << c.section << "] " << c.key << " in \"" << c.text << "\"";
  }
}
#endif

}  // namespace
