// A real installer file made by mksfx from the stub program: it unpacks byte for byte and
// cleans up; mksfx refuses archives the installer could not extract.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_folder.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

// Runs a program without a shell and waits: its exit status, or -1 when it could not start.
int RunProgram(const std::string& program, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : arguments) argv.push_back(arg.data());
  argv.push_back(nullptr);
#ifdef _WIN32
  return static_cast<int>(_spawnv(_P_WAIT, program.c_str(), argv.data()));
#else
  pid_t pid;
  int status = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/' || c == '\\') c = platform::kPathSeparator;
  }
  return path;
}

const std::string kMksfx = Native(QUENDA_MKSFX_PATH);
const std::string kStub = Native(QUENDA_STUB_PATH);
std::string Fixture(const std::string& name) {
  return Native(std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/" + name);
}

std::string Read(const std::string& path) {
  std::string text;
  EXPECT_TRUE(platform::ReadWholeFile(path, text)) << path;
  return text;
}

// The value of the report line "key=value", or "(none)".
std::string ReportValue(const std::string& report, const std::string& key) {
  size_t at = report.find(key + "=");
  if (at == std::string::npos) return "(none)";
  size_t start = at + key.size() + 1;
  return report.substr(start, report.find('\n', start) - start);
}

int Mksfx(installer_test::TempFolder& temp, const std::string& archive, const std::string& out) {
  return RunProgram(kMksfx,
                    {"--image", kStub, "--script", temp / "install.ini", "--archive", Fixture(archive), "-o", out});
}

TEST(Container, MksfxOutputUnpacksScriptAndArchiveByteForByte) {
  installer_test::TempFolder temp;
  const std::string script = "[plugin]\r\nname=Quenda\r\nversion=1.0\r\n[language]\r\nselecteditor=W\xE4hlen\r\n";
  ASSERT_TRUE(platform::WriteWholeFile(temp / "install.ini", script));
  for (const char* archive : {"deflated-basic.zip", "folders.zip", "stored-basic.zip"}) {
    SCOPED_TRACE(archive);
    const std::string setup = temp / "setup.exe", out = temp / "out";
    ASSERT_EQ(Mksfx(temp, archive, setup), 0);
    // Nothing but image, script, archive and the 12-byte trailer.
    const std::string image = Read(kStub), zip = Read(Fixture(archive)), built = Read(setup);
    ASSERT_EQ(built.size(), image.size() + script.size() + zip.size() + 12);
    EXPECT_EQ(built.compare(0, image.size(), image), 0);
    EXPECT_FALSE(platform::FileExists(setup + ".mksfx-part"));
#ifndef _WIN32
    ASSERT_EQ(::chmod(setup.c_str(), 0755), 0);  // mksfx writes plain files
#endif
    platform::RemoveTree(out);
    ASSERT_TRUE(platform::CreateFolder(out));
    ASSERT_EQ(RunProgram(setup, {"--record-messages", "--report", temp / "report.txt", "--copy-to", out}), 0);
    EXPECT_EQ(Read(out + platform::kPathSeparator + "install.ini"), script);
    EXPECT_EQ(Read(out + platform::kPathSeparator + "install.zip"), zip);
    const std::string report = Read(temp / "report.txt");
    EXPECT_NE(ReportValue(report, "folder").find("zqsfx"), std::string::npos) << report;
    EXPECT_EQ(ReportValue(report, "deleted"), "yes") << report;
    EXPECT_EQ(ReportValue(report, "message"), "(none)") << report;
    EXPECT_EQ(RunProgram(kMksfx, {"--list", setup}), 0);
  }
}

TEST(Container, ProgramWithoutPayloadReportsCorruptionAndCleansUp) {
  installer_test::TempFolder temp;
  EXPECT_EQ(RunProgram(kStub, {"--record-messages", "--report", temp / "report.txt"}), 4);
  const std::string report = Read(temp / "report.txt");
  EXPECT_EQ(ReportValue(report, "message"),
            "SFX Corruption|This Parcelon SFX appears to be corrupted. Please purchase a new copy of it.");
  EXPECT_EQ(ReportValue(report, "deleted"), "yes") << report;
  EXPECT_FALSE(platform::FolderExists(ReportValue(report, "folder")));
}

TEST(Container, MksfxRefusesArchivesTheInstallerCannotExtract) {
  installer_test::TempFolder temp;
  ASSERT_TRUE(platform::WriteWholeFile(temp / "install.ini", "[plugin]\r\nname=x\r\n"));
  const std::string out = temp / "refused.exe";
  for (const char* archive :
       {"encrypted.zip", "reduced.zip", "crc-mismatch.zip", "longname.zip", "bare-end-record.zip", "pk-junk.zip"}) {
    EXPECT_EQ(Mksfx(temp, archive, out), 1) << archive;
    EXPECT_FALSE(platform::FileExists(out) || platform::FileExists(out + ".mksfx-part")) << archive;
  }
  EXPECT_EQ(RunProgram(kMksfx, {"--image", kStub}), 2);
  EXPECT_EQ(RunProgram(kMksfx, {"--list", kStub}), 1);
}

}  // namespace
