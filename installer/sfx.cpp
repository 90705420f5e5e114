#include "installer/sfx.h"

#include <chrono>
#include <random>
#include <vector>

#include "platform/folder_text.h"
#include "installer/unzip/little_endian.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace installer {

namespace {

constexpr int64_t kCopyChunk = 64 * 1024;
constexpr uint32_t kLargestFolderNumber = 2147483646;

struct UnpackState {
  std::string folder;
  bool created = false;
};

UnpackState& State() {
  static UnpackState state;
  return state;
}

uint32_t DrawSeeded() {
  // Seeded once, from the time of day.
  static std::mt19937 generator(static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count()));
  return std::uniform_int_distribution<uint32_t>(0, kLargestFolderNumber)(generator);
}

// Creates the missing folders above path (which ends in the separator), from the root down.
// Failures are left for the creation of path itself to report.
void CreateParents(const std::string& path) {
  size_t end = path.size() - 1;  // the separator that ends path
  for (size_t at = path.find(platform::kPathSeparator); at != std::string::npos && at < end;
       at = path.find(platform::kPathSeparator, at + 1)) {
    std::string parent = path.substr(0, at + 1);
    if (at > 0 && !platform::FolderExists(parent)) platform::CreateFolder(parent);
  }
}

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Copies [from, to) of source into a new file at target, in bounded chunks.
bool CopyRange(platform::File& source, int64_t from, int64_t to, const std::string& target) {
  platform::File out = platform::File::Create(target);
  if (!out.IsOpen() || !source.Seek(from)) return false;
  std::vector<char> buffer(static_cast<size_t>(kCopyChunk));
  for (int64_t left = to - from; left > 0;) {
    int64_t want = left < kCopyChunk ? left : kCopyChunk;
    if (source.Read(buffer.data(), want) != want || !out.Write(buffer.data(), want)) return false;
    left -= want;
  }
  out.Close();
  return true;
}

}  // namespace

std::string EncodeContainerTrailer(const ContainerTrailer& trailer) {
  std::string out;
  PutU32(out, trailer.scriptOffset);
  PutU32(out, trailer.archiveOffset);
  PutU32(out, trailer.magic);
  return out;
}

ContainerTrailer DecodeContainerTrailer(const unsigned char bytes[12]) {
  return ContainerTrailer{kudu::Get32(bytes), kudu::Get32(bytes + 4), kudu::Get32(bytes + 8)};
}

bool ContainerRangesValid(const ContainerTrailer& trailer, int64_t fileSize) {
  return trailer.scriptOffset <= trailer.archiveOffset &&
         static_cast<int64_t>(trailer.archiveOffset) <= fileSize - kContainerTrailerSize;
}

std::string MakeUnpackFolder(const UnpackFolderOptions& options) {
  std::string temp = platform::AddTrailingBackslash(options.tempFolder.empty() ? platform::TempFolder() : options.tempFolder);
  if (temp.empty()) return std::string();
  for (;;) {
    uint32_t number = options.drawNumber ? options.drawNumber() : DrawSeeded();
    std::string folder = temp + "zqsfx" + std::to_string(number) + platform::kPathSeparator;
    if (platform::FolderExists(folder)) continue;
    if (options.beforeCreate) options.beforeCreate(folder);
    CreateParents(folder);
    if (platform::CreateFolder(folder)) return folder;
    // Someone else made it since the test: not ours to unpack into, so draw again.
    if (platform::FolderExists(folder)) continue;
    return std::string();
  }
}

UnpackResult UnpackContainerFile(const std::string& containerPath, const std::string& folder) {
  platform::File self = platform::File::OpenRead(containerPath);
  int64_t size = self.Size();
  if (size < 4) return UnpackResult::Failed;
  unsigned char tail[12] = {};
  int64_t tailStart = size >= kContainerTrailerSize ? size - kContainerTrailerSize : 0;
  int64_t tailLength = size - tailStart;
  if (!self.Seek(tailStart) || self.Read(tail + (12 - tailLength), tailLength) != tailLength) {
    return UnpackResult::Failed;
  }
  ContainerTrailer trailer = DecodeContainerTrailer(tail);
  if (trailer.magic != kContainerMagic) return UnpackResult::Corrupt;
  if (folder.empty() || size < kContainerTrailerSize || !ContainerRangesValid(trailer, size)) {
    return UnpackResult::Failed;
  }
  if (!CopyRange(self, trailer.scriptOffset, trailer.archiveOffset, folder + kScriptFileName) ||
      !CopyRange(self, trailer.archiveOffset, size - kContainerTrailerSize, folder + kArchiveFileName)) {
    return UnpackResult::Failed;
  }
  return UnpackResult::Ok;
}

void DeleteUnpackFolderAt(const std::string& folder) {
  if (folder.empty()) return;
  std::vector<platform::FolderEntry> entries;
  if (platform::ListFolder(folder, entries)) {
    for (const platform::FolderEntry& entry : entries) {
      const platform::FileAttributes& a = entry.attributes;
      if (a.folder || a.hidden || a.system || a.link) continue;
      std::string path = platform::AddTrailingBackslash(folder) + entry.name;
      if (a.readOnly) platform::SetReadOnly(path, false);
      platform::RemoveFile(path);
    }
  }
  platform::RemoveFolder(folder);
}

bool CreateUnpackFolder() { return CreateUnpackFolder(UnpackFolderOptions{}); }

bool CreateUnpackFolder(const UnpackFolderOptions& options) {
  UnpackState& state = State();
  state.folder = MakeUnpackFolder(options);
  state.created = !state.folder.empty();
  if (!state.created) {
    platform::ShowDesktopMessage("Internal Error: Unable to create temporary folder.", "Fatal Error",
                                 platform::MessageIcon::Stop);
  }
  return state.created;
}

bool UnpackContainer() { return UnpackContainer(platform::ProgramPath()); }

bool UnpackContainer(const std::string& containerPath) {
  UnpackState& state = State();
  switch (UnpackContainerFile(containerPath, state.created ? state.folder : std::string())) {
    case UnpackResult::Ok:
      return true;
    case UnpackResult::Corrupt:
      platform::ShowDesktopMessage("This Parcelon SFX appears to be corrupted. Please purchase a new copy of it.",
                                   "SFX Corruption", platform::MessageIcon::Stop);
      return false;
    case UnpackResult::Failed:
      break;
  }
  return false;
}

void DeleteUnpackFolder() {
  UnpackState& state = State();
  if (!state.created) return;
  DeleteUnpackFolderAt(state.folder);
  state.created = false;
}

const std::string& UnpackFolder() { return State().folder; }

}  // namespace installer
