// mksfx: builds an installer file from the installer program, an install script and a ZIP
// archive, and lists what an installer file carries.
//
//   mksfx --image install.exe --script install.ini --archive install.zip -o setup.exe
//   mksfx --list setup.exe
//
// The output is the program image, the script, the archive and a 12-byte trailer (script
// offset, archive offset, magic 0x015FBECD; little-endian) and nothing else. Before anything
// is written, every member of the archive is test-extracted with the installer's own ZIP
// reader; a member the installer could not extract makes mksfx refuse.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "installer/profile_file.h"
#include "installer/sfx.h"
#include "installer/unzip/extract.h"
#include "installer/unzip/member_name.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"

namespace {

constexpr char kUsage[] =
    "usage: mksfx --image PROGRAM --script SCRIPT --archive ARCHIVE -o OUTPUT\n"
    "       mksfx --list INSTALLER\n"
    "       mksfx --help\n";

constexpr char kHelp[] =
    "mksfx builds the installer file for a plug-in.\n"
    "\n"
    "  mksfx --image install.exe --script install.ini --archive install.zip -o setup.exe\n"
    "\n"
    "    --image PROGRAM    the installer program (install.exe)\n"
    "    --script SCRIPT    the install script: the plug-in's name, version and texts\n"
    "    --archive ARCHIVE  a ZIP archive with the files to install; members named\n"
    "                       $win\\... or $sys\\... go to the Windows or the system folder,\n"
    "                       every other member below the chosen plug-in folder\n"
    "    -o OUTPUT          the installer file to write\n"
    "\n"
    "  Every member of the archive is first test-extracted with the installer's own ZIP\n"
    "  reader. Members must be stored, shrunk, imploded or deflated, not encrypted, with\n"
    "  intact data and a relative name of at most 252 characters without \"..\" or a drive.\n"
    "  If any member fails, mksfx names it and the reason and writes nothing. The output is\n"
    "  written to a temporary file and renamed when complete.\n"
    "\n"
    "  mksfx --list setup.exe\n"
    "\n"
    "    prints the trailer, the script's sections and keys, and the archive's members\n"
    "    with method and size.\n"
    "\n"
    "Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";

// The installer writes target paths of at most 255 characters; the shortest plug-in folder,
// a drive root such as "C:\", leaves this much for a member name.
constexpr size_t kMaxMemberName = 252;

std::string MethodName(uint16_t method) {
  switch (method) {
    case 0: return "stored";
    case 1: return "shrunk";
    case 6: return "imploded";
    case 8: return "deflated";
    default: return "method " + std::to_string(method);
  }
}

std::string Reason(int32_t code, uint16_t method) {
  switch (code) {
    case kZipCrcMismatch: return "its data does not match its CRC-32 (damaged)";
    case kZipCannotWrite: return "it cannot be written (not a valid file name?)";
    case kZipInputEnded: return "its data ends early or cannot be read";
    case kZipCorrupt: return "its local header is missing or its data is corrupt";
    case kZipUnsupported:
      return "compression method " + std::to_string(method) +
             (method == 1 ? " with sizes after the data" : "") + " is not supported (use stored or deflated)";
    case kZipEncrypted: return "it is encrypted";
    case kZipCannotOpen: return "the archive cannot be opened";
    default: return "the ZIP reader gives result " + std::to_string(code);
  }
}

std::string NativeName(const char* name) {
  std::string native = name;
  for (char& c : native) {
    if (c == '/' || c == '\\') c = platform::kPathSeparator;
  }
  return native;
}

// A folder of our own for the test extraction, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder() {
    installer::UnpackFolderOptions options;
    std::string temp = platform::TempFolder();
    if (temp.empty()) temp = platform::CurrentFolder();
    options.tempFolder = temp;
    path_ = installer::MakeUnpackFolder(options);
  }
  ~ScratchFolder() {
    if (path_.empty()) return;
    std::vector<platform::FolderEntry> entries;
    if (platform::ListFolder(path_, entries)) {
      for (const platform::FolderEntry& entry : entries) {
        if (entry.attributes.folder) {
          platform::RemoveFolder(path_ + entry.name);
        } else {
          platform::SetReadOnly(path_ + entry.name, false);
          platform::RemoveFile(path_ + entry.name);
        }
      }
    }
    platform::RemoveFolder(path_);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Walks the archive and test-extracts every member; prints each failure. True when every
// member would be extracted by the installer.
bool CheckArchive(const std::string& archive) {
  if (!IsZipArchive(archive.c_str(), nullptr)) {
    std::fprintf(stderr, "mksfx: %s is not a ZIP archive\n", archive.c_str());
    return false;
  }
  ScratchFolder scratch;
  if (scratch.path().empty()) {
    std::fprintf(stderr, "mksfx: cannot make a temporary folder for the test extraction\n");
    return false;
  }
  ZipMemberInfo info;
  int32_t code = FirstMember(archive.c_str(), &info);
  if (code == kZipNoRoomForEntries) {
    std::fprintf(stderr, "mksfx: %s holds no members\n", archive.c_str());
    return false;
  }
  if (code != kZipOk) {
    std::fprintf(stderr, "mksfx: the directory of %s cannot be read (result %d)\n", archive.c_str(),
                 static_cast<int>(code));
    return false;
  }
  bool ok = true;
  int index = 0;
  for (; code == kZipOk; code = NextMember(&info), ++index) {
    std::string name = NativeName(info.name);
    std::string problem;
    if (name.size() > kMaxMemberName) {
      problem = "its name is too long (" + std::to_string(name.size()) + " characters, at most " +
                std::to_string(kMaxMemberName) + ")";
    } else if (kudu::IsUnsafeMemberName(name)) {
      problem = "its name is absolute, has a drive or \":\", or a \"..\" element";
    } else {
      // Test names of our own: the member's name was checked above, and this way no name can
      // reach outside the scratch folder.
      bool folder = !name.empty() && name.back() == platform::kPathSeparator;
      std::string target = scratch.path() + (folder ? "d" : "m") + std::to_string(index);
      if (folder) target += platform::kPathSeparator;
      int32_t result = UnzipMember(archive.c_str(), target.c_str(), info.localHeaderOffset, 0, 0);
      if (result < 0) problem = Reason(result, info.method);
    }
    if (!problem.empty()) {
      std::fprintf(stderr, "mksfx: refused: member \"%s\": %s\n", info.name, problem.c_str());
      ok = false;
    }
  }
  EndMemberWalk(&info);
  return ok;
}

int Build(const std::string& imagePath, const std::string& scriptPath, const std::string& archivePath,
          const std::string& outputPath) {
  std::string image, script, archive;
  for (auto [path, contents] : {std::pair{&imagePath, &image}, {&scriptPath, &script}, {&archivePath, &archive}}) {
    if (!platform::ReadWholeFile(*path, *contents)) {
      std::fprintf(stderr, "mksfx: cannot read %s\n", path->c_str());
      return 1;
    }
  }
  uint64_t archiveOffset = static_cast<uint64_t>(image.size()) + script.size();
  if (archiveOffset > 0xFFFFFFFFull) {
    std::fprintf(stderr, "mksfx: program and script are too large: the archive offset does not fit 32 bits\n");
    return 1;
  }
  if (!CheckArchive(archivePath)) {
    std::fprintf(stderr, "mksfx: nothing written\n");
    return 1;
  }
  installer::ContainerTrailer trailer{static_cast<uint32_t>(image.size()), static_cast<uint32_t>(archiveOffset),
                                      installer::kContainerMagic};
  std::string temporary = outputPath + ".mksfx-part";
  platform::File out = platform::File::Create(temporary);
  std::string tail = installer::EncodeContainerTrailer(trailer);
  bool written = out.IsOpen();
  for (const std::string* part : {&image, &script, &archive, &tail}) {
    written = written && out.Write(part->data(), static_cast<int64_t>(part->size()));
  }
  out.Close();
  if (!written || !platform::RenameFile(temporary, outputPath)) {
    platform::RemoveFile(temporary);
    std::fprintf(stderr, "mksfx: cannot write %s\n", outputPath.c_str());
    return 1;
  }
  std::printf("%s: program %zu bytes, script %zu bytes at %" PRIu32 ", archive %zu bytes at %" PRIu32 "\n",
              outputPath.c_str(), image.size(), script.size(), trailer.scriptOffset, archive.size(),
              trailer.archiveOffset);
  return 0;
}

int List(const std::string& path) {
  std::string file;
  if (!platform::ReadWholeFile(path, file)) {
    std::fprintf(stderr, "mksfx: cannot read %s\n", path.c_str());
    return 1;
  }
  const int64_t size = static_cast<int64_t>(file.size());
  if (size < installer::kContainerTrailerSize) {
    std::fprintf(stderr, "mksfx: %s is too short to be an installer file\n", path.c_str());
    return 1;
  }
  installer::ContainerTrailer trailer = installer::DecodeContainerTrailer(
      reinterpret_cast<const unsigned char*>(file.data() + size - installer::kContainerTrailerSize));
  std::printf("trailer: script offset %" PRIu32 ", archive offset %" PRIu32 ", magic 0x%08" PRIX32 "\n",
              trailer.scriptOffset, trailer.archiveOffset, trailer.magic);
  if (trailer.magic != installer::kContainerMagic) {
    std::fprintf(stderr, "mksfx: %s carries no installer payload (the magic is not 0x%08" PRIX32 ")\n", path.c_str(),
                 installer::kContainerMagic);
    return 1;
  }
  if (!installer::ContainerRangesValid(trailer, size)) {
    std::fprintf(stderr, "mksfx: the trailer's offsets are out of order or beyond the file\n");
    return 1;
  }
  std::string script = file.substr(trailer.scriptOffset, trailer.archiveOffset - trailer.scriptOffset);
  std::string archive = file.substr(trailer.archiveOffset, static_cast<size_t>(size - 12 - trailer.archiveOffset));
  std::printf("script: %zu bytes\n", script.size());
  installer::ProfileFile profile = installer::ProfileFile::Parse(script);
  for (size_t s = 0; s < profile.sections().size(); ++s) {
    const installer::ProfileFile::Section& section = profile.sections()[s];
    if (s == 0 && section.keys.empty()) continue;
    std::printf("  [%s]\n", section.name.c_str());
    for (const installer::ProfileFile::Key& key : section.keys) {
      std::printf("    %s=%s\n", key.name.c_str(), key.value ? key.value->c_str() : "");
    }
  }
  std::printf("archive: %zu bytes\n", archive.size());
  // The reader works on files: list a copy of the archive.
  ScratchFolder scratch;
  std::string copy = scratch.path() + "install.zip";
  if (scratch.path().empty() || !platform::WriteWholeFile(copy, archive)) {
    std::fprintf(stderr, "mksfx: cannot make a temporary copy of the archive\n");
    return 1;
  }
  ZipMemberInfo info;
  int32_t code = FirstMember(copy.c_str(), &info);
  if (code != kZipOk) {
    std::printf("  (no members: result %d)\n", static_cast<int>(code));
    return 1;
  }
  std::printf("  %-10s %10s %10s  %s\n", "method", "packed", "size", "name");
  for (; code == kZipOk; code = NextMember(&info)) {
    std::printf("  %-10s %10" PRIu32 " %10" PRIu32 "  %s\n", MethodName(info.method).c_str(),
                static_cast<uint32_t>(info.compressedSize), static_cast<uint32_t>(info.uncompressedSize), info.name);
  }
  EndMemberWalk(&info);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string image, script, archive, output, list;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (i + 1 >= argc) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    std::string value = argv[++i];
    if (arg == "--image") {
      image = value;
    } else if (arg == "--script") {
      script = value;
    } else if (arg == "--archive") {
      archive = value;
    } else if (arg == "-o" || arg == "--output") {
      output = value;
    } else if (arg == "--list") {
      list = value;
    } else {
      std::fprintf(stderr, "mksfx: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  if (!list.empty() && image.empty() && script.empty() && archive.empty() && output.empty()) return List(list);
  if (list.empty() && !image.empty() && !script.empty() && !archive.empty() && !output.empty()) {
    return Build(image, script, archive, output);
  }
  std::fputs(kUsage, stderr);
  return 2;
}
