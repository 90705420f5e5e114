// mksfx refuses archives the installer could not extract, and writes nothing then. (Installer
// files that mksfx made are run by the end-to-end tests.)
#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_folder.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
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
const std::string kImage = kMksfx;  // any program will do as the image
std::string Fixture(const std::string& name) {
  return Native(std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/" + name);
}

int Mksfx(installer_test::TempFolder& temp, const std::string& archive, const std::string& out) {
  return RunProgram(kMksfx,
                    {"--image", kImage, "--script", temp / "install.ini", "--archive", Fixture(archive), "-o", out});
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
  EXPECT_EQ(Mksfx(temp, "deflated-basic.zip", out), 0);
  EXPECT_EQ(RunProgram(kMksfx, {"--list", out}), 0);
  EXPECT_EQ(RunProgram(kMksfx, {"--image", kImage}), 2);
  EXPECT_EQ(RunProgram(kMksfx, {"--list", kImage}), 1);
}

}  // namespace
