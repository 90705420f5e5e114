// The container: the unpack folder is always new, the payload is copied exactly, bad
// trailers fail, and the clean-up deletes only what it may.
#include "installer/sfx.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/message_box.h"
#include "temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

using installer::UnpackResult;
constexpr char S = platform::kPathSeparator;

std::string Trailer(uint32_t script, uint32_t archive, uint32_t magic = installer::kContainerMagic) {
  return installer::EncodeContainerTrailer({script, archive, magic});
}

// The folder is temp + "zqsfx" + a number not in use, parents created; when it cannot be made
// start-up shows a fatal error, and only the container's missing magic has a message of its own.
TEST(UnpackFolder, NewNumberedFolderOrAFatalErrorAndMessagesOnlyForTheMissingMagic) {
  installer_test::TempFolder temp;
  auto make = [&](const std::string& tempFolder, std::vector<uint32_t> numbers, const std::string& takenByOthers = "") {
    // Another program takes the name takenByOthers between the test for it and its creation.
    return installer::MakeUnpackFolder({tempFolder, [&, next = size_t{0}]() mutable { return numbers.at(next++); },
                                        [&](const std::string& f) {
                                          if (f == takenByOthers) platform::CreateFolder(f);
                                        }});
  };
  const std::string base = temp.path();
  EXPECT_EQ(make(base.substr(0, base.size() - 1), {42}), base + "zqsfx42" + S);
  EXPECT_TRUE(platform::FolderExists(base + "zqsfx42"));
  EXPECT_EQ(make(base, {42, 43}), base + "zqsfx43" + S);
  EXPECT_EQ(make(base, {7, 8}, base + "zqsfx7" + S), base + "zqsfx8" + S);
  EXPECT_EQ(make(base + "a" + S + "b", {0}), base + "a" + S + "b" + S + "zqsfx0" + S);

  // The message boxes shown, as "caption|text|icon" (static: the observer may outlive a failed test).
  static std::vector<std::string> messages;
  platform::SetMessageObserver([](const std::string& t, const std::string& c, platform::MessageIcon i) {
    messages.push_back(c + "|" + t + (i == platform::MessageIcon::Stop ? "|stop" : "|other"));
  });
  installer::UnpackFolderOptions options{temp.path(), [] { return 5u; }, {}};
  ASSERT_TRUE(platform::WriteWholeFile(temp / "zqsfx5", "file"));  // a plain file of the folder's name
  EXPECT_FALSE(installer::CreateUnpackFolder(options));
  EXPECT_EQ(installer::UnpackFolder(), "");
  // Start-up goes on: without a folder the container's magic is still tested and reported,
  // and a sound container writes nothing anywhere.
  EXPECT_FALSE(installer::UnpackContainer(temp / "zqsfx5"));
  const std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder(temp.path()));
  ASSERT_TRUE(platform::WriteWholeFile(temp / "good.exe", "MZ" + std::string("ini") + "zip" + Trailer(2, 5)));
  EXPECT_FALSE(installer::UnpackContainer(temp / "good.exe"));
  platform::SetCurrentFolder(before);
  EXPECT_FALSE(platform::FileExists(temp / "install.ini"));

  options.drawNumber = [] { return 6u; };
  ASSERT_TRUE(installer::CreateUnpackFolder(options));
  const std::string folder = installer::UnpackFolder();
  ASSERT_TRUE(platform::WriteWholeFile(temp / "bad.exe", std::string(100, 'x') + Trailer(90, 80)));
  EXPECT_FALSE(installer::UnpackContainer(temp / "bad.exe"));
  platform::SetMessageObserver({});
  EXPECT_EQ(messages,
            (std::vector<std::string>{"Fatal Error|Internal Error: Unable to create temporary folder.|stop",
                                      "SFX Corruption|This Parcelon SFX appears to be corrupted. Please purchase a "
                                      "new copy of it.|stop"}));
  installer::DeleteUnpackFolder();
  EXPECT_FALSE(platform::FolderExists(folder));
}

// Sound containers give the script and the archive byte for byte (bytes that differ from one
// 64 KiB copy chunk to the next); bad trailers fail, and a missing magic (the file is no
// container at all) is reported apart and writes nothing.
TEST(UnpackContainer, CopiesScriptAndArchiveExactlyOrRefusesBadTrailers) {
  const std::string body(100, 'b');
  struct Case { const char* what; std::string file; UnpackResult expected; size_t image = 0, script = 0, archive = 0; };
  const Case cases[] = {
      {"ordinary sizes", "", UnpackResult::Ok, 5000, 700, 90000},
      {"empty script", "", UnpackResult::Ok, 64, 0, 10},
      {"empty archive ending at the trailer, no image", "", UnpackResult::Ok, 0, 10, 0},
      {"no payload", std::string(5000, 'M'), UnpackResult::Corrupt},
      {"wrong magic", body + Trailer(0, 10, 0x015FBECC), UnpackResult::Corrupt},
      {"script after archive", body + Trailer(50, 40), UnpackResult::Failed},
      {"archive beyond the file", body + Trailer(10, 101), UnpackResult::Failed},
      {"script beyond the file", body + Trailer(0xFFFFFFF0, 0xFFFFFFF0), UnpackResult::Failed},
      {"magic alone, no room for offsets", std::string("\xCD\xBE\x5F\x01", 4), UnpackResult::Failed},
      {"shorter than the magic", "ab", UnpackResult::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    installer_test::TempFolder temp;
    std::string file = c.file, script, archive;
    for (size_t i = 0; c.file.empty() && i < c.image + c.script + c.archive; ++i) {
      file += static_cast<char>((i * 131 + (i >> 9)) & 0xFF);
    }
    if (c.file.empty()) file += Trailer(c.image, c.image + c.script);
    ASSERT_TRUE(platform::WriteWholeFile(temp / "setup.exe", file));
    EXPECT_EQ(installer::UnpackContainerFile(temp / "setup.exe", temp.path()), c.expected);
    EXPECT_EQ(platform::ReadWholeFile(temp / "install.ini", script), c.expected == UnpackResult::Ok);
    EXPECT_EQ(platform::ReadWholeFile(temp / "install.zip", archive), c.expected == UnpackResult::Ok);
    EXPECT_TRUE(script == file.substr(c.image, c.script) && archive == file.substr(c.image + c.script, c.archive));
  }
}

// Only ordinary visible files directly inside go; the sub-folder is neither entered nor
// removed, hidden and system files stay, so does the folder, and link targets keep their
// attributes. An empty folder text touches nothing, not even the current folder (which an
// empty path would list).
TEST(DeleteUnpackFolder, OnlyOrdinaryVisibleFilesDirectlyInsideNeverLinkTargets) {
  installer_test::TempFolder temp;
  const std::string folder = temp / "zqsfx9" + S, sub = folder + "sub" + S + "inner.txt";
#ifdef _WIN32
  const std::vector<std::string> kept = {folder + "hidden.txt", folder + "system.dll", sub};
#else
  const std::vector<std::string> kept = {folder + ".hidden", sub};
#endif
  ASSERT_TRUE(platform::CreateFolder(folder) && platform::CreateFolder(folder + "sub"));
  for (const std::string& path : kept) ASSERT_TRUE(platform::WriteWholeFile(path, "x"));
  for (const std::string& path : {folder + "install.ini", folder + "readonly.dll"}) {
    ASSERT_TRUE(platform::WriteWholeFile(path, "x") && platform::SetReadOnly(path, true));
  }
#ifdef _WIN32
  ASSERT_NE(SetFileAttributesA(kept[0].c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
  ASSERT_NE(SetFileAttributesA(kept[1].c_str(), FILE_ATTRIBUTE_SYSTEM), 0);
#else
  ASSERT_TRUE(platform::WriteWholeFile(temp / "outside.txt", "o") && platform::SetReadOnly(temp / "outside.txt", true));
  ASSERT_EQ(::symlink((temp / "outside.txt").c_str(), (folder + "file-link").c_str()), 0);
#endif
  const std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder(folder));
  installer::DeleteUnpackFolderAt("");
  platform::SetCurrentFolder(before);
  EXPECT_TRUE(platform::FileExists(folder + "install.ini"));

  installer::DeleteUnpackFolderAt(folder);
  EXPECT_FALSE(platform::FileExists(folder + "install.ini") || platform::FileExists(folder + "readonly.dll"));
  for (const std::string& path : kept) EXPECT_TRUE(platform::FileExists(path)) << path;
#ifndef _WIN32
  platform::FileAttributes attributes;
  EXPECT_TRUE(platform::GetAttributes(folder + "file-link", attributes));
  ASSERT_TRUE(platform::GetAttributes(temp / "outside.txt", attributes));
  EXPECT_TRUE(attributes.readOnly);
#endif
}

}  // namespace
