// The self-extracting container: the installer file carries the script and the archive behind
// its program image, located by a 12-byte trailer at the very end:
//   u32 script offset, u32 archive offset, u32 magic 0x015FBECD (little-endian, absolute
//   offsets; the script is [script, archive), the archive [archive, file size - 12)).
// At start-up both parts are copied into a fresh temporary folder, the UnpackFolder, as
// "install.ini" and "install.zip"; the folder is deleted when the wizard closes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace installer {

inline constexpr uint32_t kContainerMagic = 0x015FBECD;
inline constexpr int64_t kContainerTrailerSize = 12;
inline constexpr const char* kScriptFileName = "install.ini";
inline constexpr const char* kArchiveFileName = "install.zip";

struct ContainerTrailer {
  uint32_t scriptOffset = 0;
  uint32_t archiveOffset = 0;
  uint32_t magic = 0;
};

// The trailer's 12 bytes in file order, and back.
std::string EncodeContainerTrailer(const ContainerTrailer& trailer);
ContainerTrailer DecodeContainerTrailer(const unsigned char bytes[12]);
// True when script offset <= archive offset <= file size - 12.
bool ContainerRangesValid(const ContainerTrailer& trailer, int64_t fileSize);

// How CreateUnpackFolder finds its folder; the defaults are the system's temporary folder and
// a generator seeded once from the time of day.
struct UnpackFolderOptions {
  std::string tempFolder;                 // empty: platform::TempFolder()
  std::function<uint32_t()> drawNumber;   // 0..2147483646; empty: the seeded generator
  // Called between the test for an existing folder and its creation (tests use it to play a
  // second program that takes the name in between).
  std::function<void(const std::string& folder)> beforeCreate;
};

// Makes a new folder tempFolder + "zqsfx" + n + separator that did not exist before, creating
// missing parents. A number whose folder exists already (also when it appears between the
// test and the creation) is drawn again. Returns the folder, or the empty text on failure.
// Shows nothing.
std::string MakeUnpackFolder(const UnpackFolderOptions& options);

enum class UnpackResult {
  Ok,
  Corrupt,  // the last four bytes are not the magic
  Failed,   // unreadable, offsets out of order or beyond the file, or a write failed
};
// Copies the script and archive of the container file into folder (which ends in the
// separator) as "install.ini" and "install.zip". Shows nothing. Without a folder (empty) only
// the magic is tested: Corrupt, or Failed with nothing written.
UnpackResult UnpackContainerFile(const std::string& containerPath, const std::string& folder);

// Deletes the ordinary files directly inside folder (read-only ones after clearing that
// attribute; hidden and system files, sub-folders and links are left alone, nothing is
// followed or descended into), then the folder itself if it is empty now. Failures are
// ignored; an empty folder text does nothing.
void DeleteUnpackFolderAt(const std::string& folder);

// The running installer's steps, with their message boxes.
// Makes the UnpackFolder; on failure shows "Fatal Error" and returns false.
bool CreateUnpackFolder();
bool CreateUnpackFolder(const UnpackFolderOptions& options);
// Unpacks the running program's own payload; a missing magic shows "SFX Corruption", also
// when there is no UnpackFolder (start-up goes on after a failed CreateUnpackFolder).
bool UnpackContainer();
bool UnpackContainer(const std::string& containerPath);
// Deletes the UnpackFolder made by CreateUnpackFolder (nothing when none was made).
void DeleteUnpackFolder();
// The folder path with its trailing separator; empty before CreateUnpackFolder succeeded.
const std::string& UnpackFolder();

}  // namespace installer
