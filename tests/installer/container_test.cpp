// mksfx's build refuses archives the installer could not extract, and writes nothing then.
// (Its command line is run by the mksfx demo test, installer files it made by the end-to-end
// tests.)
#include <gtest/gtest.h>

#include "authoring/installer_file.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace {

TEST(Container, MksfxRefusesArchivesTheInstallerCannotExtract) {
  installer_test::TempFolder temp;
  ASSERT_TRUE(platform::WriteWholeFile(temp / "install.exe", "MZ" + std::string(4000, 'i')) &&
              platform::WriteWholeFile(temp / "install.ini", "[plugin]\r\nname=x\r\n"));
  authoring::BuildOptions options{temp / "install.exe", temp / "install.ini", "", "", temp / "setup.exe"};
  for (const char* archive : {"encrypted.zip", "reduced.zip", "crc-mismatch.zip", "longname.zip",
                              "bare-end-record.zip", "pk-junk.zip", "deflated-basic.zip"}) {
    const bool good = std::string(archive) == "deflated-basic.zip";
    options.archive = installer_test::P(std::string(QUENDA_SHARED_DIR) + "/fixtures/zip/" + archive);
    EXPECT_EQ(authoring::BuildInstaller(options).status, good ? 0 : 1) << archive;
    EXPECT_EQ(platform::FileExists(options.output), good) << archive;
    EXPECT_FALSE(platform::FileExists(options.output + ".mksfx-part")) << archive;
  }
  EXPECT_EQ(authoring::ListInstaller(options.output).status, 0);
  EXPECT_EQ(authoring::ListInstaller(options.image).status, 1);
}

}  // namespace
