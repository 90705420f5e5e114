// The container: the unpack folder is always new, the payload is copied exactly, bad
// trailers fail, and the clean-up deletes only what it may.
#include "installer/sfx.h"

#include <gtest/gtest.h>

#include <vector>

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

// Records the message boxes shown while it lives, as "caption|text|icon".
struct MessageRecorder {
  MessageRecorder() {
    platform::SetMessageObserver([this](const std::string& t, const std::string& c, platform::MessageIcon i) {
      messages.push_back(c + "|" + t + (i == platform::MessageIcon::Stop ? "|stop" : "|other"));
    });
  }
  ~MessageRecorder() { platform::SetMessageObserver({}); }
  std::vector<std::string> messages;
};

std::string Trailer(uint32_t script, uint32_t archive, uint32_t magic = installer::kContainerMagic) {
  return installer::EncodeContainerTrailer({script, archive, magic});
}

// Bytes that differ from one 64 KiB copy chunk to the next.
std::string Patterned(size_t size) {
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i * 131 + (i >> 9)) & 0xFF);
  return out;
}

TEST(UnpackFolder, TempPlusZqsfxPlusANumberNotInUseWithParentsCreated) {
  installer_test::TempFolder temp;
  auto make = [&](const std::string& tempFolder, std::vector<uint32_t> numbers, const std::string& takenByOthers = "") {
    // Another program takes the name takenByOthers between the test for it and its creation.
    return installer::MakeUnpackFolder({tempFolder, [&, next = size_t{0}]() mutable { return numbers.at(next++); },
                                        [&](const std::string& folder) {
                                          if (folder == takenByOthers) platform::CreateFolder(folder);
                                        }});
  };
  const std::string base = temp.path();
  EXPECT_EQ(make(base.substr(0, base.size() - 1), {42}), base + "zqsfx42" + S);
  EXPECT_TRUE(platform::FolderExists(base + "zqsfx42"));
  EXPECT_EQ(make(base, {42, 43}), base + "zqsfx43" + S);
  EXPECT_EQ(make(base, {7, 8}, base + "zqsfx7" + S), base + "zqsfx8" + S);
  EXPECT_EQ(make(base + "a" + S + "b", {0}), base + "a" + S + "b" + S + "zqsfx0" + S);
}

// Sound containers give the script and the archive byte for byte; bad trailers fail, and a
// missing magic (the file is no container at all) is reported apart and writes nothing.
TEST(UnpackContainer, CopiesScriptAndArchiveExactlyOrRefusesBadTrailers) {
  const std::string body(100, 'b');
  struct Case { const char* what; std::string file; UnpackResult expected; size_t image = 0, script = 0, archive = 0; };
  const Case cases[] = {
      {"ordinary sizes", "", UnpackResult::Ok, 5000, 700, 90000},
      {"larger than one copy chunk", "", UnpackResult::Ok, 100, 3, 200000},
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
    installer_test::TempFolder temp;
    std::string file = c.file;
    if (file.empty()) file = Patterned(c.image + c.script + c.archive) + Trailer(c.image, c.image + c.script);
    ASSERT_TRUE(platform::WriteWholeFile(temp / "setup.exe", file));
    EXPECT_EQ(installer::UnpackContainerFile(temp / "setup.exe", temp.path()), c.expected) << c.what;
    std::string script, archive;
    EXPECT_EQ(platform::ReadWholeFile(temp / "install.ini", script), c.expected == UnpackResult::Ok) << c.what;
    if (c.expected != UnpackResult::Ok) continue;
    EXPECT_TRUE(platform::ReadWholeFile(temp / "install.zip", archive)) << c.what;
    EXPECT_TRUE(script == file.substr(c.image, c.script) && archive == file.substr(c.image + c.script, c.archive))
        << c.what;
  }
}

TEST(UnpackContainer, FatalErrorWithoutAFolderAndMessagesOnlyForTheMissingMagic) {
  installer_test::TempFolder temp;
  MessageRecorder recorder;
  installer::UnpackFolderOptions options{temp.path(), [] { return 5u; }, {}};
  ASSERT_TRUE(platform::WriteWholeFile(temp / "zqsfx5", "file"));  // a plain file of the folder's name
  const std::string kFatal = "Fatal Error|Internal Error: Unable to create temporary folder.|stop";
  const std::string kCorrupt =
      "SFX Corruption|This Parcelon SFX appears to be corrupted. Please purchase a new copy of it.|stop";
  EXPECT_FALSE(installer::CreateUnpackFolder(options));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{kFatal});
  EXPECT_EQ(installer::UnpackFolder(), "");
  // Start-up goes on: without a folder the container's magic is still tested and reported,
  // and a sound container writes nothing anywhere.
  EXPECT_FALSE(installer::UnpackContainer(temp / "zqsfx5"));
  EXPECT_EQ(recorder.messages, (std::vector<std::string>{kFatal, kCorrupt}));
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
  EXPECT_EQ(recorder.messages, (std::vector<std::string>{kFatal, kCorrupt}));  // none for the others
  installer::DeleteUnpackFolder();
  EXPECT_FALSE(platform::FolderExists(folder));
}

TEST(DeleteUnpackFolder, OnlyOrdinaryVisibleFilesDirectlyInsideNeverLinkTargets) {
  installer_test::TempFolder temp;
  const std::string folder = temp / "zqsfx9" + S;
#ifdef _WIN32
  const std::vector<std::string> kept = {folder + "hidden.txt", folder + "system.dll"};
#else
  const std::vector<std::string> kept = {folder + ".hidden"};
#endif
  ASSERT_TRUE(platform::CreateFolder(folder) && platform::CreateFolder(folder + "sub"));
  for (const std::string& path :
       {folder + "install.ini", folder + "readonly.dll", folder + "sub" + S + "inner.txt", kept.front(), kept.back()}) {
    ASSERT_TRUE(platform::WriteWholeFile(path, "x"));
  }
  ASSERT_TRUE(platform::SetReadOnly(folder + "readonly.dll", true));
#ifdef _WIN32
  ASSERT_NE(SetFileAttributesA(kept[0].c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
  ASSERT_NE(SetFileAttributesA(kept[1].c_str(), FILE_ATTRIBUTE_SYSTEM), 0);
#else
  ASSERT_TRUE(platform::WriteWholeFile(temp / "outside.txt", "o") && platform::SetReadOnly(temp / "outside.txt", true));
  ASSERT_EQ(::symlink((temp / "outside.txt").c_str(), (folder + "file-link").c_str()), 0);
#endif
  // An empty folder text touches nothing, not even the current folder (which an empty path
  // would list).
  const std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder(folder));
  installer::DeleteUnpackFolderAt("");
  platform::SetCurrentFolder(before);
  EXPECT_TRUE(platform::FileExists(folder + "install.ini"));

  installer::DeleteUnpackFolderAt(folder);
  EXPECT_FALSE(platform::FileExists(folder + "install.ini") || platform::FileExists(folder + "readonly.dll"));
  // The sub-folder is neither entered nor removed, hidden and system files stay, so does the folder.
  for (const std::string& path : kept) EXPECT_TRUE(platform::FileExists(path)) << path;
  EXPECT_TRUE(platform::FileExists(folder + "sub" + S + "inner.txt"));
#ifndef _WIN32
  platform::FileAttributes attributes;
  EXPECT_TRUE(platform::GetAttributes(folder + "file-link", attributes));
  ASSERT_TRUE(platform::GetAttributes(temp / "outside.txt", attributes));
  EXPECT_TRUE(attributes.readOnly);  // the link's target kept its attribute
#endif
}

}  // namespace
