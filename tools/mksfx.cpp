// mksfx: builds the installer file of a plug-in from the installer program, an install
// script and either a ZIP archive or a folder; checks or lists a finished one.
//
//   mksfx --image install.exe --script install.ini --folder DIR -o setup.exe
//   mksfx --image install.exe --script install.ini --archive install.zip -o setup.exe
//   mksfx --verify setup.exe
//   mksfx --list setup.exe
#include <cstdio>
#include <string>

#include "authoring/installer_file.h"

namespace {

constexpr char kUsage[] =
    "usage: mksfx --image PROGRAM --script SCRIPT (--folder DIR | --archive ARCHIVE) -o OUTPUT\n"
    "             [--strict] [--script-encoding=utf8]\n"
    "       mksfx --verify INSTALLER [--strict]\n"
    "       mksfx --list INSTALLER\n"
    "       mksfx --help\n";

constexpr char kHelp[] =
    "mksfx builds the installer file for a plug-in and checks it.\n"
    "\n"
    "  mksfx --image install.exe --script install.ini --folder DIR -o setup.exe\n"
    "\n"
    "    --image PROGRAM    the installer program (install.exe)\n"
    "    --script SCRIPT    the install script: the plug-in's name, version and texts\n"
    "    --folder DIR       the files to install: every file below DIR, by its path\n"
    "                       relative to DIR; files in the top folders $win and $sys go to\n"
    "                       the Windows and the system folder, all others below the plug-in\n"
    "                       folder the user confirms\n"
    "    --archive ARCHIVE  or a ready ZIP archive with the files, members named $win\\...\n"
    "                       and $sys\\... for the Windows and the system folder\n"
    "    -o OUTPUT          the installer file to write\n"
    "    --strict           refuse on warnings, too\n"
    "    --script-encoding=utf8\n"
    "                       the script is UTF-8: convert it to Windows-1252, which the\n"
    "                       installer reads (without it, UTF-8 text is refused)\n"
    "\n"
    "  The script is read as the installer reads it; sections and keys it never reads,\n"
    "  values it would cut, placeholders it would not replace and a missing plug-in name or\n"
    "  version are reported as SCRIPT:LINE: warnings. From a folder, every file becomes a\n"
    "  deflated member (stored when that is not smaller), in name order, with the file's\n"
    "  date: the same folder gives the same installer byte for byte. Links, empty folders\n"
    "  and names the installer would refuse are reported by name. Every member is then\n"
    "  test-extracted with the installer's own ZIP reader. If anything is refused, mksfx\n"
    "  writes nothing; the output is written to a temporary file and renamed when complete.\n"
    "\n"
    "  mksfx --verify setup.exe\n"
    "\n"
    "    checks a finished installer file: the trailer and its offsets, the program, script\n"
    "    and archive against the check record a folder build carries, the script, and every\n"
    "    member test-extracted; one line per member and a verdict.\n"
    "\n"
    "  mksfx --list setup.exe\n"
    "\n"
    "    prints the trailer, the script's sections and keys, and the archive's members\n"
    "    with method and size.\n"
    "\n"
    "Exit status: 0 done (warnings allowed), 1 refused, damaged or failed, 2 wrong usage.\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "mksfx: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

int Print(const authoring::Report& report) {
  std::fputs(report.out.c_str(), stdout);
  std::fflush(stdout);
  std::fputs(report.err.c_str(), stderr);
  return report.status;
}

}  // namespace

int main(int argc, char** argv) {
  authoring::BuildOptions build;
  std::string list, verify;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--strict") {
      build.strict = true;
      continue;
    }
    if (arg.rfind("--script-encoding=", 0) == 0) {
      std::string encoding = arg.substr(18);
      if (encoding != "utf8" && encoding != "utf-8") return Usage("--script-encoding takes utf8");
      build.scriptEncoding = authoring::ScriptEncoding::Utf8;
      continue;
    }
    if (i + 1 >= argc) return Usage(arg + " needs a value");
    std::string value = argv[++i];
    std::string* target = arg == "--image"                   ? &build.image
                          : arg == "--script"                ? &build.script
                          : arg == "--archive"               ? &build.archive
                          : arg == "--folder"                ? &build.folder
                          : arg == "-o" || arg == "--output" ? &build.output
                          : arg == "--list"                  ? &list
                          : arg == "--verify"                ? &verify
                                                             : nullptr;
    if (!target) return Usage("unknown option " + arg);
    *target = value;
  }
  const bool building = !build.image.empty() || !build.script.empty() || !build.archive.empty() ||
                        !build.folder.empty() || !build.output.empty();
  const bool encodingGiven = build.scriptEncoding != authoring::ScriptEncoding::Windows1252;
  if (!list.empty() && !building && verify.empty() && !build.strict && !encodingGiven) {
    return Print(authoring::ListInstaller(list));
  }
  if (!verify.empty() && !building && list.empty() && !encodingGiven) {
    return Print(authoring::VerifyInstaller(verify, build.strict));
  }
  if (list.empty() && verify.empty() && !build.image.empty() && !build.script.empty() && !build.output.empty() &&
      build.archive.empty() != build.folder.empty()) {
    return Print(authoring::BuildInstaller(build));
  }
  return Usage("");
}
