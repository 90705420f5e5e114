#include "authoring/folder_archive.h"

#include <zlib.h>

#include <algorithm>
#include <map>

#include "authoring/member_check.h"
#include "authoring/windows1252.h"
#include "installer/ansi_text.h"
#include "installer/unzip/crc32.h"
#include "platform/files.h"

namespace authoring {

namespace {

// A name the system gives us as the member name, or a message why Windows could not write it.
std::string MemberElement(const std::string& element, std::string& problem) {
  std::string name = element;
#ifndef _WIN32
  // POSIX names are bytes, mostly UTF-8; the installer writes Windows-1252 names.
  std::string unmappable;
  if (LooksLikeUtf8(element) && Utf8ToWindows1252(element, name, unmappable) && !unmappable.empty()) {
    problem = "the name has no Windows-1252 form for " + unmappable;
    return name;
  }
#endif
  for (unsigned char c : name) {
    if (c < 0x20 || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos) {
      problem = "Windows does not allow the character " +
                (c < 0x20 ? "with code " + std::to_string(c) : "\"" + std::string(1, static_cast<char>(c)) + "\"") +
                " in file names";
      return name;
    }
  }
  if (name.back() == '.' || name.back() == ' ') {
    problem = "the name ends in a dot or blank, which Windows drops";
    return name;
  }
  std::string stem = name.substr(0, name.find('.'));
  for (char& c : stem) c = installer::LowerAnsi(c);
  static const char* const kDevices[] = {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "com5",
                                         "com6", "com7", "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5",
                                         "lpt6", "lpt7", "lpt8", "lpt9"};
  for (const char* device : kDevices) {
    if (stem == device) problem = "\"" + stem + "\" names a device on Windows, not a file";
  }
  return name;
}

void Walk(const std::string& folder, const std::string& relative, const std::string& memberPrefix,
          FolderListing& listing) {
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolder(folder, entries)) {
    listing.problems.push_back({relative.empty() ? "." : relative, "the folder cannot be listed", true});
    return;
  }
  if (entries.empty() && !relative.empty()) {
    listing.problems.push_back(
        {relative, "the folder is empty; the installer creates only folders that hold files", false});
  }
  for (const platform::FolderEntry& entry : entries) {
    std::string path = folder + platform::kPathSeparator + entry.name;
    std::string shown = relative.empty() ? entry.name : relative + platform::kPathSeparator + entry.name;
    if (entry.attributes.link) {
      listing.problems.push_back({shown, "it is a link; links are not followed, copy the file itself", true});
      continue;
    }
    std::string problem;
    std::string member = memberPrefix + MemberElement(entry.name, problem);
    if (!problem.empty()) {
      listing.problems.push_back({shown, problem, true});
      continue;
    }
    if (entry.attributes.folder) {
      Walk(path, shown, member + "\\", listing);
    } else {
      listing.files.push_back({member, path});
    }
  }
}

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// Raw deflate at the highest level; empty when the result is not smaller than the data.
std::string Deflate(const std::string& data) {
  if (data.empty()) return {};
  z_stream stream{};
  if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END && out.size() < data.size() ? out : std::string();
}

}  // namespace

FolderListing ListFolderFiles(const std::string& folder) {
  FolderListing listing;
  std::string root = folder;
  while (root.size() > 1 && (root.back() == '/' || root.back() == platform::kPathSeparator)) root.pop_back();
  Walk(root, "", "", listing);
  std::sort(listing.files.begin(), listing.files.end(),
            [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
  // Names that Windows cannot tell apart, and names the installer would refuse or misplace.
  std::map<std::string, std::string> lowered;
  for (const FolderFile& file : listing.files) {
    std::string key = file.name;
    for (char& c : key) c = installer::LowerAnsi(c);
    auto [other, fresh] = lowered.emplace(key, file.name);
    std::string problem = MemberNameProblem(file.name);
    if (problem.empty() && !fresh) problem = "it differs from \"" + other->second + "\" only in case, and Windows keeps one";
    if (problem.empty()) problem = MarkerProblem(file.name);
    if (!problem.empty()) listing.problems.push_back({file.name, problem, true});
  }
  if (listing.files.empty()) listing.problems.push_back({".", "the folder holds no files", true});
  return listing;
}

std::string WriteZipArchive(const std::vector<ArchiveMember>& members, uint16_t commentSize) {
  if (members.size() > 0xFFFF) return {};
  std::string archive, directory;
  for (const ArchiveMember& member : members) {
    if (member.data.size() >= 0xFFFFFFFFull || member.name.size() > 0xFFFF) return {};
    std::string packed = Deflate(member.data);
    const bool deflated = !packed.empty();
    const std::string& body = deflated ? packed : member.data;
    const uint32_t crc = kudu::Crc32(member.data.data(), member.data.size());
    const uint64_t offset = archive.size();
    if (offset + 30 + member.name.size() + body.size() >= 0xFFFFFFFFull) return {};
    // The fields that the local header and the directory entry share, from "version needed" on.
    std::string common;
    Put16(common, deflated ? 20 : 10);
    Put16(common, 0);  // no flags: no encryption, sizes in the header, names in the code page
    Put16(common, deflated ? 8 : 0);
    Put32(common, member.dosDateTime);
    Put32(common, crc);
    Put32(common, static_cast<uint32_t>(body.size()));
    Put32(common, static_cast<uint32_t>(member.data.size()));
    Put16(common, static_cast<uint32_t>(member.name.size()));
    Put16(common, 0);  // no extra field
    Put32(archive, 0x04034B50);
    archive += common + member.name + body;
    Put32(directory, 0x02014B50);
    Put16(directory, 20);  // made by: version 2.0, MS-DOS attributes
    directory += common;
    Put16(directory, 0);     // comment length
    Put16(directory, 0);     // disk
    Put16(directory, 0);     // internal attributes
    Put32(directory, 0x20);  // external attributes: an ordinary file ("archive")
    Put32(directory, static_cast<uint32_t>(offset));
    directory += member.name;
  }
  const uint64_t directoryOffset = archive.size();
  if (directoryOffset + directory.size() + 22 + commentSize >= 0xFFFFFFFFull) return {};
  archive += directory;
  Put32(archive, 0x06054B50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<uint32_t>(members.size()));
  Put16(archive, static_cast<uint32_t>(members.size()));
  Put32(archive, static_cast<uint32_t>(directory.size()));
  Put32(archive, static_cast<uint32_t>(directoryOffset));
  Put16(archive, commentSize);
  return archive;
}

bool BuildFolderArchive(const FolderListing& listing, uint16_t commentSize, std::string& archive, std::string& error) {
  std::vector<ArchiveMember> members;
  for (const FolderFile& file : listing.files) {
    ArchiveMember member{file.name, {}, platform::GetFileTimeAsDos(file.path)};
    if (!platform::ReadWholeFile(file.path, member.data)) {
      error = "cannot read " + file.path;
      return false;
    }
    // Files from before 1980 cannot carry their date; they get the earliest one there is.
    if (member.dosDateTime == 0) member.dosDateTime = (1u << 5 | 1u) << 16;
    members.push_back(std::move(member));
  }
  archive = WriteZipArchive(members, commentSize);
  if (archive.empty()) error = "the files are too many or too large for a ZIP archive (65535 files, 4 GiB)";
  return !archive.empty();
}

}  // namespace authoring
