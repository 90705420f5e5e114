// mksfx's library: the script check, the folder build (installed by the installer's own
// unpacking and extraction steps, byte for byte and with the files' dates) and the check of
// finished installer files, damaged ones among them.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "authoring/folder_archive.h"
#include "authoring/installer_file.h"
#include "installer/sfx.h"
#include "installer/unzip/extract.h"
#include "platform/files.h"
#include "tests/installer/temp_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using authoring::ScriptEncoding;
using installer_test::P;
using installer_test::TempFolder;

const std::string kIdentity = "[plugin]\r\nname=Quenda\r\nversion=1.0\r\n";

struct Finding {
  int line;
  bool refusal;
  std::string fragment;
};

std::vector<Finding> Check(const std::string& script, ScriptEncoding encoding, std::string* text = nullptr) {
  authoring::ScriptCheck check = authoring::CheckScript(script, encoding);
  if (text) *text = check.text;
  std::vector<Finding> findings;
  for (const authoring::ScriptFinding& f : check.findings) findings.push_back({f.line, f.refusal, f.message});
  return findings;
}

TEST(ScriptCheck, EachMistakeGivesOneFindingOnItsLine) {
  const std::string longValue(2048, 'x');
  const struct {
    std::string script;
    Finding expected;
  } cases[] = {
      {kIdentity + "[langauge]\r\nnext=&Weiter\r\n", {4, false, "[langauge] is never read"}},
      {kIdentity + "[language]\r\nwelcom=Hallo\r\n", {5, false, "did you mean welcome=?"}},
      {kIdentity + "[Language]\r\n; welcom=Hallo\n\ncaption=" + longValue + "\r\n", {7, false, "2048 characters"}},
      {kIdentity + "[language]\r\ncaption=\"" + longValue.substr(1) + "\"\r\nfinished=[name] fertig\r\n",
       {6, false, "[name] is not replaced in \"finished\""}},
      {kIdentity + "[language]\r\ninstall=[Name] [version]\r\n", {5, false, "[Name] in \"install\" is no placeholder"}},
      {kIdentity + "[language]\r\nnext\r\n", {5, false, "has no \"=\""}},
      {"name=Quenda\r\n" + kIdentity, {1, false, "before the first section"}},
      {kIdentity + "[plugin]\r\nname=Quenda\r\n", {4, false, "appears again; the installer reads only the first one (line 1)"}},
      {kIdentity + "name=Zweiter\r\n", {4, false, "key \"name\" appears again"}},
      {kIdentity + "[zelt]\r\nEnabled=yes\r\n", {5, false, "reads as 0 (off)"}},
      {"[plugin]\r\nname=Quenda\r\n", {1, false, "[plugin] version is missing"}},
      {"[fonts]\r\n[plugin]\r\nname=\r\nversion=1\r\n", {2, false, "[plugin] name is empty"}},
      {kIdentity + "[language]\r\nnext=&Weiter\r\nfinished=Gr\xC3\xB6\xC3\x9F" "e\r\n", {6, true, "the text is UTF-8"}},
      {"\xEF\xBB\xBF" + kIdentity, {1, true, "byte-order mark"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script.substr(0, 80));
    std::vector<Finding> findings = Check(c.script, ScriptEncoding::Windows1252);
    ASSERT_EQ(findings.size(), 1u) << (findings.empty() ? "none" : findings[1].fragment);
    EXPECT_EQ(findings[0].line, c.expected.line);
    EXPECT_EQ(findings[0].refusal, c.expected.refusal);
    EXPECT_NE(findings[0].fragment.find(c.expected.fragment), std::string::npos) << findings[0].fragment;
  }
  // Latin-1 text, quoted values and the shipped example are what the installer expects.
  std::string example;
  ASSERT_TRUE(platform::ReadWholeFile(P(QUENDA_SOURCE_DIR "/examples/install.ini"), example));
  for (const std::string& script : {example, kIdentity + "[language]\r\nnext='&Weiter'\r\nfinished=Gr\xF6\xDF" "e\r\n"}) {
    std::vector<Finding> findings = Check(script, ScriptEncoding::Windows1252);
    EXPECT_TRUE(findings.empty()) << findings[0].line << ": " << findings[0].fragment;
  }
}

TEST(ScriptCheck, Utf8IsConvertedToWindows1252OrRefusedNamingTheCharacter) {
  std::string text;
  EXPECT_TRUE(Check("\xEF\xBB\xBF" + kIdentity + "[language]\r\nfinished=Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xE2\x80\x9E" "a\xE2\x80\x9C\r\n",
                    ScriptEncoding::Utf8, &text).empty());
  EXPECT_EQ(text, kIdentity + "[language]\r\nfinished=Gr\xF6\xDF" "e \x80 \x84" "a\x93\r\n");
  std::vector<Finding> findings =
      Check(kIdentity + "[language]\r\nnext=&Weiter\r\nfinished=\xC5\x81\xC3\xB3" "d\xC5\xBA \xC5\x81\r\n", ScriptEncoding::Utf8, &text);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].line, 6);
  EXPECT_TRUE(findings[0].refusal);
  EXPECT_EQ(findings[0].fragment, "no Windows-1252 form for U+0141 '\xC5\x81', U+017A '\xC5\xBA'");
  EXPECT_TRUE(Check(kIdentity + "x=\xF6\r\n", ScriptEncoding::Utf8)[0].refusal);  // not UTF-8 at all
}

// A plug-in folder with what authors put there, plus random files: text that compresses, noise
// that does not, empty files.
std::map<std::string, std::string> MakePluginFolder(const std::string& root, std::mt19937& random) {
  std::map<std::string, std::string> files = {
      {"Quenda.dll", std::string(3000, 'Q')},         {"$win/quenda.ini", "[Quenda]\r\n"},
      {"$sys/quenda-helper.dll", "helper"},          {"leer.txt", ""},
      {"Gr\xF6\xDF" "e/\xC4rger \xE9t\xE9.txt", "Umlaute"}, {"docs/a/b/c/tief.txt", "tief"}};
  const char* const folders[] = {"", "docs/", "docs/a/", "lib/"};
  for (int i = 0; i < 12; ++i) {
    std::string data(random() % 20000, '\0');
    for (size_t k = 0; k < data.size(); ++k) data[k] = static_cast<char>(i % 2 ? random() : 'a' + k % 7);
    files[folders[random() % 4] + ("f" + std::to_string(random() % 1000)) + ".bin"] = data;
  }
  for (const auto& [name, data] : files) {
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
      platform::CreateFolder(P(root + name.substr(0, slash)));
    }
    EXPECT_TRUE(platform::WriteWholeFile(P(root + name), data)) << name;
  }
  return files;
}

struct Built {
  std::string image, script, folder, output;
};

authoring::Report Build(const Built& b, const std::string& output, bool strict = false) {
  authoring::BuildOptions options{b.image, b.script, "", b.folder, output};
  options.strict = strict;
  return authoring::BuildInstaller(options);
}

class FolderBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::string image(4096 + random() % 4096, '\0');
    for (char& c : image) c = static_cast<char>(random());
    b_ = {temp_ / "install.exe", temp_ / "install.ini", temp_ / "plugin", temp_ / "setup.exe"};
    ASSERT_TRUE(platform::WriteWholeFile(b_.image, image));
    ASSERT_TRUE(platform::WriteWholeFile(b_.script, kIdentity));
    ASSERT_TRUE(platform::CreateFolder(b_.folder));
    files_ = MakePluginFolder(b_.folder + "/", random);
    authoring::Report report = Build(b_, b_.output);
    ASSERT_EQ(report.status, 0) << report.err;
    ASSERT_EQ(report.err, "");
    ASSERT_TRUE(platform::ReadWholeFile(b_.output, setup_));
  }

  TempFolder temp_;
  Built b_;
  std::map<std::string, std::string> files_;
  std::string setup_;
};

TEST_F(FolderBuild, InstallsEveryFileWithItsDateAndGivesTheSameBytesTwice) {
  authoring::Report again = Build(b_, temp_ / "again.exe");
  std::string second;
  ASSERT_TRUE(platform::ReadWholeFile(temp_ / "again.exe", second));
  EXPECT_TRUE(second == setup_) << "two builds of one folder differ";

  // The installer's own steps: unpack the container, extract into the plug-in folder.
  const std::string unpack = temp_ / "unpack", plugins = temp_ / "plugins";
  for (const std::string& folder : {unpack, plugins, temp_ / "windows", temp_ / "system"}) platform::CreateFolder(folder);
  const char sep = platform::kPathSeparator;
  ASSERT_EQ(installer::UnpackContainerFile(b_.output, unpack + sep), installer::UnpackResult::Ok);
  std::string script;
  ASSERT_TRUE(platform::ReadWholeFile(unpack + sep + "install.ini", script));
  EXPECT_EQ(script, kIdentity);
  installer::ExtractionList list;
  ASSERT_TRUE(installer::ExtractArchiveFile(unpack + sep + "install.zip", plugins + sep,
                                            {temp_ / "windows" + sep, temp_ / "system" + sep}, list));
  EXPECT_EQ(list.rows().size(), files_.size());
  for (const auto& [name, data] : files_) {
    std::string target = name.rfind("$win/", 0) == 0   ? temp_ / "windows/" + name.substr(5)
                         : name.rfind("$sys/", 0) == 0 ? temp_ / "system/" + name.substr(5)
                                                       : plugins + "/" + name;
    std::string installed;
    EXPECT_TRUE(platform::ReadWholeFile(P(target), installed) && installed == data) << name;
    EXPECT_EQ(platform::GetFileTimeAsDos(P(target)), platform::GetFileTimeAsDos(P(b_.folder + "/" + name))) << name;
  }
}

TEST_F(FolderBuild, VerifyFindsEveryDamagedRegionAndTruncation) {
  authoring::Report intact = authoring::VerifyInstaller(b_.output, false);
  EXPECT_EQ(intact.status, 0) << intact.out << intact.err;
  EXPECT_NE(intact.out.find("would install all " + std::to_string(files_.size()) + " files"), std::string::npos);
  const uint32_t scriptAt = static_cast<uint32_t>(setup_.size() - 12 - 98 - 22);  // a point in the end record
  std::vector<std::string> copies;
  for (size_t at : {size_t{7}, setup_.size() / 3, setup_.size() - 200, size_t{scriptAt}, setup_.size() - 40}) {
    copies.push_back(setup_);
    copies.back()[at] ^= 0x20;
  }
  for (size_t at = setup_.size() - 12; at < setup_.size(); ++at) {
    copies.push_back(setup_);
    copies.back()[at] ^= 0x01;
  }
  installer::ContainerTrailer trailer =
      installer::DecodeContainerTrailer(reinterpret_cast<const unsigned char*>(setup_.data() + setup_.size() - 12));
  copies.push_back(setup_);
  copies.back()[trailer.scriptOffset + 3] ^= 0x02;  // "[plugin]" stays a section of the same name
  copies.push_back(setup_.substr(0, setup_.size() - 1));
  copies.push_back(setup_.substr(0, trailer.archiveOffset + 100));
  for (size_t i = 0; i < copies.size(); ++i) {
    ASSERT_TRUE(platform::WriteWholeFile(temp_ / "damaged.exe", copies[i]));
    authoring::Report report = authoring::VerifyInstaller(temp_ / "damaged.exe", false);
    EXPECT_EQ(report.status, 1) << "copy " << i << "\n" << report.out;
    EXPECT_NE(report.out.find("VERDICT: "), std::string::npos);
  }
}

TEST_F(FolderBuild, LinksEmptyFoldersAndRefusedNamesAreReportedByName) {
  const std::string folder = b_.folder + "/";
  platform::CreateFolder(P(folder + "leer"));
  std::vector<std::pair<std::string, bool>> expected = {{P("leer"), false}};
  ASSERT_EQ(Build(b_, temp_ / "warned.exe").status, 0);
  EXPECT_EQ(Build(b_, temp_ / "strict.exe", true).status, 1);
  platform::CreateFolder(P(folder + "docs/$sys"));
  ASSERT_TRUE(platform::WriteWholeFile(P(folder + "docs/$sys/x.dll"), "x"));
  expected.push_back({"docs\\$sys\\x.dll", true});
#ifndef _WIN32
  ASSERT_EQ(::symlink("Quenda.dll", (folder + "link.dll").c_str()), 0);
  ASSERT_TRUE(platform::WriteWholeFile(folder + "quenda.DLL", "") && platform::WriteWholeFile(folder + "was?.txt", ""));
  // POSIX names are mostly UTF-8: converted to the installer's Windows-1252, or refused.
  ASSERT_TRUE(platform::WriteWholeFile(folder + "\xC3\xBC.txt", "") && platform::WriteWholeFile(folder + "\xC5\x81.txt", ""));
  expected.insert(expected.end(), {{"link.dll", true}, {"quenda.DLL", true}, {"was?.txt", true}, {"\xC5\x81.txt", true}});
#endif
  authoring::FolderListing listing = authoring::ListFolderFiles(b_.folder);
#ifndef _WIN32
  EXPECT_TRUE(std::any_of(listing.files.begin(), listing.files.end(), [](auto& f) { return f.name == "\xFC.txt"; }));
#endif
  for (const auto& [name, refusal] : expected) {
    auto found = std::find_if(listing.problems.begin(), listing.problems.end(),
                              [&](const authoring::FolderProblem& p) { return p.name == name; });
    ASSERT_NE(found, listing.problems.end()) << name;
    EXPECT_EQ(found->refusal, refusal) << name;
  }
  EXPECT_EQ(listing.problems.size(), expected.size());
  authoring::Report refused = Build(b_, temp_ / "refused.exe");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("docs\\$sys\\x.dll"), std::string::npos) << refused.err;
  EXPECT_FALSE(platform::FileExists(temp_ / "refused.exe") || platform::FileExists(temp_ / "refused.exe.mksfx-part"));
}

}  // namespace
