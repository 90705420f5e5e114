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
struct LookupCase {
  const char* what;
  std::string text;
  const char *section, *key;
  std::optional<std::string> expected;
};

const std::string kLong(3000, 'x');

const LookupCase kCases[] = {
    {"plain key", "[a]\r\nk=v\r\n", "a", "k", "v"},
    {"section and key without case", "[Language]\r\nCAPTION=x\r\n", "lAnGuAgE", "caption", "x"},
    {"value after the first equals sign", "[a]\r\nk=a=b\r\n", "a", "k", "a=b"},
    {"blanks around key and value", "[a]\r\n  k  =   v w  \r\n", "a", "k", "v w"},
    {"tabs around key and value", "[a]\r\n\tk\t=\tv\t\r\n", "a", "k", "v"},
    {"double quotes removed", "[a]\r\nk=\"v\"\r\n", "a", "k", "v"},
    {"single quotes removed", "[a]\r\nk='v'\r\n", "a", "k", "v"},
    {"quotes keep inner blanks", "[a]\r\nk=\" v \"\r\n", "a", "k", " v "},
    {"unmatched quotes stay", "[a]\r\nk=\"v'\r\n", "a", "k", "\"v'"},
    {"a lone quote stays", "[a]\r\nk=\"\r\n", "a", "k", "\""},
    {"empty quotes give empty", "[a]\r\nk=\"\"\r\n", "a", "k", ""},
    {"only the outer pair goes", "[a]\r\nk=\"a\"b\"\r\n", "a", "k", "a\"b"},
    {"comment line is no key", "[a]\r\n;k=v\r\n", "a", "k", std::nullopt},
    {"present but empty is empty", "[a]\r\nk=\r\n", "a", "k", ""},
    {"absent key", "[a]\r\nk=v\r\n", "a", "other", std::nullopt},
    {"absent section", "[a]\r\nk=v\r\n", "b", "k", std::nullopt},
    {"long value cut to 2047", "[a]\r\nk=" + kLong + "\r\n", "a", "k", std::string(2047, 'x')},
    {"quotes go before the cut", "[a]\r\nk=\"" + kLong + "\"\r\n", "a", "k", std::string(2047, 'x')},
    {"first of two equal keys", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "1"},
    {"key of another section", "[a]\r\nx=1\r\n[b]\r\nk=2\r\n", "a", "k", std::nullopt},
    {"lines ended by LF only", "[a]\nk=v\nz=w\n", "a", "z", "w"},
    {"no line end at the end", "[a]\r\nk=v", "a", "k", "v"},
    {"blanks before the section", "  [a]\r\nk=v\r\n", "a", "k", "v"},
    {"blank inside a key name", "[a]\r\nmy key = v\r\n", "a", "my key", "v"},
    {"Latin-1 bytes kept", "[language]\r\nselecteditor=Bitte w\xE4hlen\r\n", "language", "selecteditor",
     "Bitte w\xE4hlen"},
    {"key before any section", "k=v\r\n[a]\r\n", "a", "k", std::nullopt},
    {"empty file", "", "a", "k", std::nullopt},
    {"value in quotes with blanks outside", "[a]\r\nk=  'x y'  \r\n", "a", "k", "x y"},
    {"line without equals sign", "[a]\r\nflag\r\nk=v\r\n", "a", "flag", std::nullopt},
    {"key without value before one with", "[a]\r\nflag\r\nflag=x\r\n", "a", "flag", std::nullopt},
    {"blanks inside the brackets", "[ a ]\r\nk=v\r\n", "a", "k", "v"},
    {"text behind the bracket", "[a] junk\r\nk=v\r\n", "a", "k", "v"},
    {"bracket not closed", "[a]\r\n[b\r\nk=v\r\n", "a", "k", "v"},
    {"section given twice", "[a]\r\nx=1\r\n[b]\r\ny=0\r\n[a]\r\nk=2\r\n", "a", "k", std::nullopt},
    {"lines ended by CR only", "[a]\rk=v\rz=w\r", "a", "z", "w"},
    {"blank key name", "[a]\r\n=v\r\nk=w\r\n", "a", "k", "w"},
    {"equals sign right after the bracket", "[a]=x\r\nk=v\r\n", "a", "k", "v"},
    {"path with backslashes", "[Plugins]\r\nPath=C:\\Programme\\Weaver\\Plugin\r\n", "plugins", "path",
     "C:\\Programme\\Weaver\\Plugin"},
};

TEST(ProfileFile, LookupFollowsTheFormatRules) {
  for (const LookupCase& c : kCases) {
    EXPECT_EQ(ProfileFile::Parse(c.text).Lookup(c.section, c.key), c.expected) << c.what;
  }
}

TEST(ProfileFile, LoadReadsTheFileAndAMissingFileGivesNothing) {
  installer_test::TempFolder temp;
  ASSERT_TRUE(platform::WriteWholeFile(temp / "x.ini", "[plugin]\r\nname=Quenda\r\n"));
  EXPECT_EQ(ProfileFile::Load(temp / "x.ini").Lookup("plugin", "name"), "Quenda");
  ProfileFile missing = ProfileFile::Load(temp / "absent.ini");
  EXPECT_EQ(missing.Lookup("plugin", "name"), std::nullopt);
  EXPECT_LE(missing.sections().size(), 1u);
}

#ifdef _WIN32
std::optional<std::string> SystemLookup(const std::string& path, const char* section, const char* key) {
  char buffer[2048];
  DWORD n = GetPrivateProfileStringA(section, key, "\x01", buffer, sizeof buffer, path.c_str());
  std::string value(buffer, n);
  if (value == "\x01") return std::nullopt;
  return value;
}

TEST(ProfileFile, AgreesWithGetPrivateProfileStringA) {
  installer_test::TempFolder temp;
  int index = 0;
  for (const LookupCase& c : kCases) {
    // A new name for every file: the system reader caches files by name.
    std::string path = temp / ("case" + std::to_string(index++) + ".ini");
    ASSERT_TRUE(platform::WriteWholeFile(path, c.text));
    EXPECT_EQ(ProfileFile::Load(path).Lookup(c.section, c.key), SystemLookup(path, c.section, c.key)) << c.what;
  }
}
#endif

}  // namespace
