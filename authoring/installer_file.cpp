#include "authoring/installer_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "authoring/folder_archive.h"
#include "authoring/member_check.h"
#include "installer/profile_file.h"
#include "installer/sfx.h"
#include "installer/unzip/crc32.h"
#include "installer/unzip/little_endian.h"
#include "installer/unzip/unzip.h"
#include "platform/files.h"

namespace authoring {

namespace {

// The check record, the archive's comment in a folder build: plain text of fixed length at a
// fixed place (just before the trailer), so that it is found even when the trailer's offsets
// are damaged, and readable with any ZIP tool.
constexpr char kRecordBody[] = "mksfx-check image=%08" PRIx32 " script=%08" PRIx32 " archive=%08" PRIx32
                               " at=%010" PRIu32 ",%010" PRIu32;
constexpr char kRecordScan[] = "mksfx-check image=%8" SCNx32 " script=%8" SCNx32 " archive=%8" SCNx32
                               " at=%10" SCNu32 ",%10" SCNu32;
constexpr size_t kRecordSize = 98;  // the body (84 characters), " self=" and the body's CRC-32 in hex

struct CheckRecord {
  uint32_t image = 0, script = 0, archive = 0, scriptOffset = 0, archiveOffset = 0;
};

std::string Printf(const char* format, auto... values) {
  char buffer[160];
  int n = std::snprintf(buffer, sizeof buffer, format, values...);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string EncodeRecord(const CheckRecord& r) {
  std::string text = Printf(kRecordBody, r.image, r.script, r.archive, r.scriptOffset, r.archiveOffset);
  return text + Printf(" self=%08" PRIx32, kudu::Crc32(text.data(), text.size()));
}

bool DecodeRecord(std::string_view text, CheckRecord& r) {
  // Read back, then written again: only a record that gives the very same text counts.
  std::string copy(text);
  return copy.size() == kRecordSize &&
         std::sscanf(copy.c_str(), kRecordScan, &r.image, &r.script, &r.archive, &r.scriptOffset, &r.archiveOffset) ==
             5 &&
         EncodeRecord(r) == copy;
}

uint32_t Crc(const std::string& file, size_t from, size_t to) { return kudu::Crc32(file.data() + from, to - from); }

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Script findings, one line each; false when they refuse the script.
bool ReportScript(const ScriptCheck& check, const std::string& name, bool strict, bool refusalsCount, Report& report) {
  bool refused = false;
  for (ScriptFinding finding : check.findings) {
    finding.refusal = strict || (refusalsCount && finding.refusal);
    refused = refused || finding.refusal;
    report.err += FormatFinding(name, finding) + "\n";
  }
  return !refused;
}

// The member lines of an archive check; with everyLine also those of the good members.
bool ReportArchive(const ArchiveCheck& check, bool everyLine, Report& report) {
  if (!check.problem.empty()) report.err += "mksfx: archive: " + check.problem + "\n";
  for (const MemberResult& m : check.members) {
    if (!m.problem.empty() && everyLine) {
      report.out += "FAILED  " + m.name + ": " + m.problem + "\n";
    } else if (!m.problem.empty()) {
      report.err += "mksfx: refused: member \"" + m.name + "\": " + m.problem + "\n";
    } else if (everyLine) {
      report.out += Printf("ok      %-8s %10" PRIu32 "  ", MethodName(m.method).c_str(), m.size) + m.name + "\n";
    }
  }
  return check.Ok();
}

Report Fail(Report report, const std::string& message) {
  report.err += "mksfx: " + message + "\n";
  report.status = 1;
  return report;
}

}  // namespace

Report BuildInstaller(const BuildOptions& options) {
  Report report;
  std::string image, script, archive;
  for (auto [path, contents] : {std::pair{&options.image, &image}, {&options.script, &script}}) {
    if (!platform::ReadWholeFile(*path, *contents)) return Fail(report, "cannot read " + *path);
  }
  ScriptCheck scriptCheck = CheckScript(script, options.scriptEncoding);
  bool ok = ReportScript(scriptCheck, BaseName(options.script), options.strict, true, report);

  ScratchFolder scratch;
  std::string archivePath = options.archive;
  const bool fromFolder = !options.folder.empty();
  if (fromFolder) {
    FolderListing listing = ListFolderFiles(options.folder);
    for (const FolderProblem& problem : listing.problems) {
      bool refuses = problem.refusal || options.strict;
      report.err += "mksfx: " + std::string(refuses ? "refused: " : "warning: ") + problem.name + ": " +
                    problem.message + "\n";
      ok = ok && !refuses;
    }
    if (!ok) return Fail(report, "nothing written");
    std::string error;
    if (!BuildFolderArchive(listing, kRecordSize, archive, error)) return Fail(report, error + "; nothing written");
    archivePath = scratch.path() + installer::kArchiveFileName;
  } else if (!platform::ReadWholeFile(options.archive, archive)) {
    return Fail(report, "cannot read " + options.archive);
  }

  const uint64_t archiveOffset = static_cast<uint64_t>(image.size()) + scriptCheck.text.size();
  if (archiveOffset + archive.size() + kRecordSize + installer::kContainerTrailerSize > 0xFFFFFFFFull) {
    return Fail(report, "program, script and archive are too large: the offsets do not fit 32 bits");
  }
  const installer::ContainerTrailer trailer{static_cast<uint32_t>(image.size()), static_cast<uint32_t>(archiveOffset),
                                            installer::kContainerMagic};
  if (fromFolder) {
    CheckRecord record{Crc(image, 0, image.size()), Crc(scriptCheck.text, 0, scriptCheck.text.size()),
                       Crc(archive, 0, archive.size()), trailer.scriptOffset, trailer.archiveOffset};
    archive += EncodeRecord(record);
    if (scratch.path().empty() || !platform::WriteWholeFile(archivePath, archive)) {
      return Fail(report, "cannot write a temporary copy of the archive");
    }
  }
  if (!ReportArchive(CheckArchive(archivePath), false, report) || !ok) return Fail(report, "nothing written");

  std::string temporary = options.output + ".mksfx-part";
  platform::File out = platform::File::Create(temporary);
  std::string tail = installer::EncodeContainerTrailer(trailer);
  bool written = out.IsOpen();
  for (const std::string* part : {&image, &scriptCheck.text, &archive, &tail}) {
    written = written && out.Write(part->data(), static_cast<int64_t>(part->size()));
  }
  out.Close();
  if (!written || !platform::RenameFile(temporary, options.output)) {
    platform::RemoveFile(temporary);
    return Fail(report, "cannot write " + options.output);
  }
  report.out += Printf("%s: program %zu bytes, script %zu bytes at %" PRIu32 ", archive %zu bytes at %" PRIu32 "\n",
                       options.output.c_str(), image.size(), scriptCheck.text.size(), trailer.scriptOffset,
                       archive.size(), trailer.archiveOffset);
  return report;
}

namespace {

// Reads an installer file and its trailer; "" or the reason it is none.
std::string ReadContainer(const std::string& path, std::string& file, installer::ContainerTrailer& trailer) {
  if (!platform::ReadWholeFile(path, file)) return "cannot read " + path;
  const int64_t size = static_cast<int64_t>(file.size());
  if (size < installer::kContainerTrailerSize) return path + " is too short to be an installer file";
  trailer = installer::DecodeContainerTrailer(
      reinterpret_cast<const unsigned char*>(file.data() + size - installer::kContainerTrailerSize));
  if (trailer.magic != installer::kContainerMagic) {
    return Printf("trailer: the magic is 0x%08" PRIX32 ", not 0x%08" PRIX32 ": no installer payload, or a damaged "
                  "or truncated file",
                  trailer.magic, installer::kContainerMagic);
  }
  if (!installer::ContainerRangesValid(trailer, size)) {
    return Printf("trailer: the offsets %" PRIu32 " and %" PRIu32 " are out of order or beyond the file (%" PRId64
                  " bytes)",
                  trailer.scriptOffset, trailer.archiveOffset, size);
  }
  return "";
}

}  // namespace

Report VerifyInstaller(const std::string& path, bool strict) {
  Report report;
  std::string file;
  installer::ContainerTrailer trailer;
  std::string problem = ReadContainer(path, file, trailer);
  if (!problem.empty()) {
    report.out += "VERDICT: " + path + " would not install: " + problem + "\n";
    report.status = 1;
    return report;
  }
  bool ok = true;
  auto damaged = [&](const std::string& what) {
    report.out += "DAMAGED " + what + "\n";
    ok = false;
  };
  const size_t end = file.size() - installer::kContainerTrailerSize;
  report.out += Printf("trailer: script at %" PRIu32 ", archive at %" PRIu32 ", %zu bytes in all\n",
                       trailer.scriptOffset, trailer.archiveOffset, file.size());
  // A folder build's check record stands just before the trailer; any of its words shows it is
  // meant to be there, so a damaged record is not mistaken for a missing one.
  const std::string tail = end >= kRecordSize ? file.substr(end - kRecordSize, kRecordSize) : std::string();
  CheckRecord record;
  if (DecodeRecord(tail, record)) {
    if (record.scriptOffset != trailer.scriptOffset || record.archiveOffset != trailer.archiveOffset) {
      damaged(Printf("trailer: it gives the offsets %" PRIu32 " and %" PRIu32 ", built were %" PRIu32 " and %" PRIu32,
                     trailer.scriptOffset, trailer.archiveOffset, record.scriptOffset, record.archiveOffset));
    } else {
      const struct { const char* name; uint32_t built, now; } regions[] = {
          {"program image", record.image, Crc(file, 0, trailer.scriptOffset)},
          {"script", record.script, Crc(file, trailer.scriptOffset, trailer.archiveOffset)},
          {"archive", record.archive, Crc(file, trailer.archiveOffset, end - kRecordSize)}};
      for (const auto& region : regions) {
        if (region.built == region.now) {
          report.out += std::string("intact  ") + region.name + "\n";
        } else {
          damaged(Printf("%s: CRC-32 %08" PRIx32 ", built with %08" PRIx32, region.name, region.now, region.built));
        }
      }
    }
  } else if (tail.find("mksfx-check") != std::string::npos || tail.find(" image=") != std::string::npos ||
             tail.find(" self=") != std::string::npos) {
    damaged("check record: it does not read back");
  } else {
    report.out += "note    no check record (built from a ready archive): program and script are not compared "
                  "byte for byte\n";
  }

  const std::string script = file.substr(trailer.scriptOffset, trailer.archiveOffset - trailer.scriptOffset);
  if (!ReportScript(CheckScript(script, ScriptEncoding::Windows1252), installer::kScriptFileName, strict, false,
                    report)) {
    damaged("script: refused with --strict");
  }

  ScratchFolder scratch;
  const std::string copy = scratch.path() + installer::kArchiveFileName;
  if (scratch.path().empty() || !platform::WriteWholeFile(copy, file.substr(trailer.archiveOffset, end - trailer.archiveOffset))) {
    report.err += "mksfx: cannot make a temporary copy of the archive\n";
    report.status = 1;
    return report;
  }
  ArchiveCheck archive = CheckArchive(copy);
  if (!ReportArchive(archive, true, report)) ok = false;
  if (ok) {
    report.out += Printf("VERDICT: %s would install all %zu files\n", path.c_str(), archive.members.size());
  } else {
    report.out += "VERDICT: " + path + " is damaged or would not install every file\n";
    report.status = 1;
  }
  return report;
}

Report ListInstaller(const std::string& path) {
  Report report;
  std::string file;
  installer::ContainerTrailer trailer;
  std::string problem = ReadContainer(path, file, trailer);
  if (!problem.empty()) return Fail(report, problem);
  const size_t end = file.size() - installer::kContainerTrailerSize;
  report.out += Printf("trailer: script offset %" PRIu32 ", archive offset %" PRIu32 ", magic 0x%08" PRIX32 "\n",
                       trailer.scriptOffset, trailer.archiveOffset, trailer.magic);
  std::string script = file.substr(trailer.scriptOffset, trailer.archiveOffset - trailer.scriptOffset);
  report.out += Printf("script: %zu bytes\n", script.size());
  installer::ProfileFile profile = installer::ProfileFile::Parse(script);
  for (size_t s = 0; s < profile.sections().size(); ++s) {
    const installer::ProfileFile::Section& section = profile.sections()[s];
    if (s == 0 && section.keys.empty()) continue;
    report.out += "  [" + section.name + "]\n";
    for (const installer::ProfileFile::Key& key : section.keys) {
      report.out += "    " + key.name + "=" + (key.value ? *key.value : "") + "\n";
    }
  }
  report.out += Printf("archive: %zu bytes\n", end - trailer.archiveOffset);
  // The reader works on files: list a copy of the archive.
  ScratchFolder scratch;
  std::string copy = scratch.path() + installer::kArchiveFileName;
  if (scratch.path().empty() || !platform::WriteWholeFile(copy, file.substr(trailer.archiveOffset, end - trailer.archiveOffset))) {
    return Fail(report, "cannot make a temporary copy of the archive");
  }
  ZipMemberInfo info;
  int32_t code = FirstMember(copy.c_str(), &info);
  if (code != kZipOk) {
    report.out += Printf("  (no members: result %d)\n", static_cast<int>(code));
    report.status = 1;
    return report;
  }
  report.out += Printf("  %-10s %10s %10s  %s\n", "method", "packed", "size", "name");
  for (; code == kZipOk; code = NextMember(&info)) {
    report.out += Printf("  %-10s %10" PRIu32 " %10" PRIu32 "  ", MethodName(info.method).c_str(),
                         static_cast<uint32_t>(info.compressedSize), static_cast<uint32_t>(info.uncompressedSize)) +
                  info.name + "\n";
  }
  EndMemberWalk(&info);
  return report;
}

}  // namespace authoring
