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

#ifdef _WIN32
bool SetFileAttributesHidden(const std::string& path) {
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}
#endif

using installer::UnpackResult;
constexpr char S = platform::kPathSeparator;

struct Message {
  std::string text, caption;
  platform::MessageIcon icon;
};

// Records the message boxes shown while it lives.
class MessageRecorder {
 public:
  MessageRecorder() {
    platform::SetMessageObserver([this](const std::string& t, const std::string& c, platform::MessageIcon i) {
      messages.push_back({t, c, i});
    });
  }
  ~MessageRecorder() { platform::SetMessageObserver({}); }
  std::vector<Message> messages;
};

std::string Container(const std::string& image, const std::string& script, const std::string& archive) {
  installer::ContainerTrailer trailer{static_cast<uint32_t>(image.size()),
                                      static_cast<uint32_t>(image.size() + script.size()), installer::kContainerMagic};
  return image + script + archive + installer::EncodeContainerTrailer(trailer);
}

std::string Patterned(size_t size, unsigned seed) {
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
  return out;
}

std::string Read(const std::string& path) {
  std::string text;
  EXPECT_TRUE(platform::ReadWholeFile(path, text)) << path;
  return text;
}

TEST(ContainerTrailer, BytesInFileOrder) {
  std::string bytes = installer::EncodeContainerTrailer({0x11223344, 0x55667788, installer::kContainerMagic});
  EXPECT_EQ(bytes, std::string("\x44\x33\x22\x11\x88\x77\x66\x55\xCD\xBE\x5F\x01", 12));
}

TEST(UnpackFolder, NameIsTempPlusZqsfxPlusNumber) {
  installer_test::TempFolder temp;
  installer::UnpackFolderOptions options;
  options.tempFolder = temp.path().substr(0, temp.path().size() - 1);  // without the separator
  options.drawNumber = [] { return 42u; };
  EXPECT_EQ(installer::MakeUnpackFolder(options), temp.path() + "zqsfx42" + S);
  EXPECT_TRUE(platform::FolderExists(temp.path() + "zqsfx42"));
}

TEST(UnpackFolder, ExistingFolderMakesItDrawAgain) {
  installer_test::TempFolder temp;
  ASSERT_TRUE(platform::CreateFolder(temp / "zqsfx1"));
  std::vector<uint32_t> numbers = {1, 2};
  size_t next = 0;
  installer::UnpackFolderOptions options;
  options.tempFolder = temp.path();
  options.drawNumber = [&] { return numbers[next++]; };
  EXPECT_EQ(installer::MakeUnpackFolder(options), temp.path() + "zqsfx2" + S);
  EXPECT_EQ(next, 2u);
}

TEST(UnpackFolder, FolderMadeByOthersBetweenTestAndCreationIsNotUsed) {
  installer_test::TempFolder temp;
  std::vector<uint32_t> numbers = {7, 8};
  size_t next = 0;
  installer::UnpackFolderOptions options;
  options.tempFolder = temp.path();
  options.drawNumber = [&] { return numbers[next++]; };
  // Another program takes the first name just before we create it.
  options.beforeCreate = [&](const std::string& folder) {
    if (folder == temp.path() + "zqsfx7" + S) platform::CreateFolder(folder);
  };
  EXPECT_EQ(installer::MakeUnpackFolder(options), temp.path() + "zqsfx8" + S);
}

TEST(UnpackFolder, MissingParentsAreCreated) {
  installer_test::TempFolder temp;
  installer::UnpackFolderOptions options;
  options.tempFolder = temp.path() + "a" + S + "b";
  options.drawNumber = [] { return 0u; };
  EXPECT_EQ(installer::MakeUnpackFolder(options), temp.path() + "a" + S + "b" + S + "zqsfx0" + S);
}

TEST(UnpackFolder, PlainFileOfThatNameGivesFatalError) {
  installer_test::TempFolder temp;
  ASSERT_TRUE(platform::WriteWholeFile(temp / "zqsfx5", "file"));
  installer::UnpackFolderOptions options;
  options.tempFolder = temp.path();
  options.drawNumber = [] { return 5u; };
  MessageRecorder recorder;
  EXPECT_FALSE(installer::CreateUnpackFolder(options));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].text, "Internal Error: Unable to create temporary folder.");
  EXPECT_EQ(recorder.messages[0].caption, "Fatal Error");
  EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Stop);
  EXPECT_EQ(installer::UnpackFolder(), "");
  EXPECT_FALSE(installer::UnpackContainer(temp / "zqsfx5"));
}

TEST(UnpackContainer, CopiesScriptAndArchiveExactly) {
  struct Case {
    const char* what;
    size_t image, script, archive;
  };
  const Case cases[] = {
      {"ordinary sizes", 5000, 700, 90000},
      {"larger than one copy chunk", 100, 3, 200000},
      {"empty script", 64, 0, 10},
      {"empty archive", 64, 10, 0},
      {"no image", 0, 5, 5},
  };
  for (const Case& c : cases) {
    installer_test::TempFolder temp;
    std::string script = Patterned(c.script, 1), archive = Patterned(c.archive, 2);
    ASSERT_TRUE(platform::WriteWholeFile(temp / "setup.exe", Container(Patterned(c.image, 3), script, archive)));
    ASSERT_TRUE(platform::CreateFolder(temp / "out"));
    std::string out = temp.path() + "out" + S;
    EXPECT_EQ(installer::UnpackContainerFile(temp / "setup.exe", out), UnpackResult::Ok) << c.what;
    EXPECT_EQ(Read(out + "install.ini"), script) << c.what;
    EXPECT_EQ(Read(out + "install.zip"), archive) << c.what;
  }
}

TEST(UnpackContainer, BadTrailers) {
  struct Case {
    const char* what;
    std::string file;
    UnpackResult expected;
  };
  auto trailer = [](uint32_t script, uint32_t archive, uint32_t magic) {
    return installer::EncodeContainerTrailer({script, archive, magic});
  };
  const std::string body(100, 'b');
  const Case cases[] = {
      {"no payload", std::string(5000, 'M'), UnpackResult::Corrupt},
      {"wrong magic", body + trailer(0, 10, 0x015FBECC), UnpackResult::Corrupt},
      {"script after archive", body + trailer(50, 40, installer::kContainerMagic), UnpackResult::Failed},
      {"archive beyond the file", body + trailer(10, 101, installer::kContainerMagic), UnpackResult::Failed},
      {"script beyond the file", body + trailer(0xFFFFFFF0, 0xFFFFFFF0, installer::kContainerMagic),
       UnpackResult::Failed},
      {"magic alone, no room for offsets", std::string("\xCD\xBE\x5F\x01", 4), UnpackResult::Failed},
      {"shorter than the magic", "ab", UnpackResult::Failed},
      {"archive ends at the trailer", body + trailer(10, 100, installer::kContainerMagic), UnpackResult::Ok},
  };
  for (const Case& c : cases) {
    installer_test::TempFolder temp;
    ASSERT_TRUE(platform::WriteWholeFile(temp / "setup.exe", c.file));
    EXPECT_EQ(installer::UnpackContainerFile(temp / "setup.exe", temp.path()), c.expected) << c.what;
    if (c.expected != UnpackResult::Ok) {
      EXPECT_FALSE(platform::FileExists(temp / "install.ini") && c.expected == UnpackResult::Corrupt) << c.what;
    }
  }
}

TEST(UnpackContainer, MessagesOnlyForTheMissingMagic) {
  installer_test::TempFolder temp;
  installer::UnpackFolderOptions options;
  options.tempFolder = temp.path();
  MessageRecorder recorder;
  ASSERT_TRUE(installer::CreateUnpackFolder(options));
  std::string folder = installer::UnpackFolder();

  ASSERT_TRUE(platform::WriteWholeFile(temp / "bad.exe", std::string(100, 'x') +
                                                         installer::EncodeContainerTrailer({90, 80, installer::kContainerMagic})));
  EXPECT_FALSE(installer::UnpackContainer(temp / "bad.exe"));
  EXPECT_TRUE(recorder.messages.empty());
  EXPECT_FALSE(installer::UnpackContainer(temp / "missing.exe"));
  EXPECT_TRUE(recorder.messages.empty());

  ASSERT_TRUE(platform::WriteWholeFile(temp / "plain.exe", std::string(100, 'x')));
  EXPECT_FALSE(installer::UnpackContainer(temp / "plain.exe"));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].text, "This Parcelon SFX appears to be corrupted. Please purchase a new copy of it.");
  EXPECT_EQ(recorder.messages[0].caption, "SFX Corruption");
  EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Stop);
  EXPECT_FALSE(platform::FileExists(folder + "install.ini"));

  installer::DeleteUnpackFolder();
  EXPECT_FALSE(platform::FolderExists(folder));
}

TEST(DeleteUnpackFolder, OnlyOrdinaryFilesDirectlyInside) {
  installer_test::TempFolder temp;
  std::string folder = temp.path() + "zqsfx9" + S;
  ASSERT_TRUE(platform::CreateFolder(folder));
  ASSERT_TRUE(platform::WriteWholeFile(folder + "install.ini", "s"));
  ASSERT_TRUE(platform::WriteWholeFile(folder + "readonly.dll", "r"));
  ASSERT_TRUE(platform::SetReadOnly(folder + "readonly.dll", true));
  ASSERT_TRUE(platform::CreateFolder(folder + "sub"));
  ASSERT_TRUE(platform::WriteWholeFile(folder + "sub" + S + "inner.txt", "i"));
  installer::DeleteUnpackFolderAt(folder);
  EXPECT_FALSE(platform::FileExists(folder + "install.ini"));
  EXPECT_FALSE(platform::FileExists(folder + "readonly.dll"));
  // The sub-folder is neither entered nor removed, so the folder stays.
  EXPECT_TRUE(platform::FileExists(folder + "sub" + S + "inner.txt"));
  EXPECT_TRUE(platform::FolderExists(folder));

  installer_test::RemoveTree(folder + "sub");
  installer::DeleteUnpackFolderAt(folder);
  EXPECT_FALSE(platform::FolderExists(folder));
}

TEST(DeleteUnpackFolder, HiddenFileStaysAndSoDoesTheFolder) {
  installer_test::TempFolder temp;
  std::string folder = temp.path() + "zqsfx3" + S;
  ASSERT_TRUE(platform::CreateFolder(folder));
#ifdef _WIN32
  ASSERT_TRUE(platform::WriteWholeFile(folder + "hidden.txt", "h"));
  ASSERT_TRUE(SetFileAttributesHidden(folder + "hidden.txt"));
  const std::string hidden = folder + "hidden.txt";
#else
  const std::string hidden = folder + ".hidden";
  ASSERT_TRUE(platform::WriteWholeFile(hidden, "h"));
#endif
  ASSERT_TRUE(platform::WriteWholeFile(folder + "install.zip", "z"));
  installer::DeleteUnpackFolderAt(folder);
  EXPECT_FALSE(platform::FileExists(folder + "install.zip"));
  EXPECT_TRUE(platform::FileExists(hidden));
  EXPECT_TRUE(platform::FolderExists(folder));
}

#ifndef _WIN32
TEST(DeleteUnpackFolder, LinksAreNeitherFollowedNorDeleted) {
  installer_test::TempFolder temp;
  std::string folder = temp.path() + "zqsfx4" + S;
  ASSERT_TRUE(platform::CreateFolder(folder));
  ASSERT_TRUE(platform::CreateFolder(temp / "outside"));
  ASSERT_TRUE(platform::WriteWholeFile(temp / "outside.txt", "o"));
  ASSERT_TRUE(platform::SetReadOnly(temp / "outside.txt", true));
  ASSERT_TRUE(platform::WriteWholeFile(temp.path() + "outside" + S + "deep.txt", "d"));
  ASSERT_EQ(::symlink((temp / "outside.txt").c_str(), (folder + "file-link").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "outside").c_str(), (folder + "folder-link").c_str()), 0);
  installer::DeleteUnpackFolderAt(folder);
  platform::FileAttributes attributes;
  ASSERT_TRUE(platform::GetAttributes(temp / "outside.txt", attributes));
  EXPECT_TRUE(attributes.readOnly);  // the link's target kept its attribute
  EXPECT_TRUE(platform::FileExists(temp.path() + "outside" + S + "deep.txt"));
  EXPECT_TRUE(platform::GetAttributes(folder + "file-link", attributes));
  ::unlink((folder + "file-link").c_str());
  ::unlink((folder + "folder-link").c_str());
}
#endif

TEST(DeleteUnpackFolder, EmptyFolderTextTouchesNothing) {
  installer_test::TempFolder temp;
  std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder(temp.path()));
  ASSERT_TRUE(platform::WriteWholeFile(temp / "keep.txt", "k"));
  installer::DeleteUnpackFolderAt("");
  EXPECT_TRUE(platform::FileExists(temp / "keep.txt"));
  platform::SetCurrentFolder(before);
}

}  // namespace
