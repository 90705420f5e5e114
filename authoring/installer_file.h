// The installer file of a plug-in: the installer program, the install script and the archive,
// followed by the 12-byte trailer (script offset, archive offset, magic; little-endian).
// Built from a ready archive or from a folder; checked as a whole before it is shipped.
#pragma once

#include <string>

#include "authoring/script_lint.h"

namespace authoring {

// What a run has to say: out for results, err for problems; status 0 done, 1 refused or failed.
struct Report {
  std::string out, err;
  int status = 0;
};

struct BuildOptions {
  std::string image;    // install.exe
  std::string script;   // install.ini
  std::string archive;  // a ready ZIP archive, or
  std::string folder;   // a folder whose files become the archive
  std::string output;
  ScriptEncoding scriptEncoding = ScriptEncoding::Windows1252;
  bool strict = false;  // warnings refuse, too
};

// Checks the script and the archive and writes the installer file (through a temporary file
// that is renamed when complete); nothing is written when anything is refused. An archive made
// from a folder carries, as its comment, a check record with the CRC-32 of the program, the
// script and the archive and the two offsets, so that a later check finds any changed byte.
Report BuildInstaller(const BuildOptions& options);

// Checks a finished installer file: trailer and offsets, the check record when there is one,
// the script, and every member test-extracted with the installer's reader. One line per member
// and a verdict; status 0 when the installer would write every file.
Report VerifyInstaller(const std::string& path, bool strict);

// The trailer, the script's sections and keys, and the members with method and sizes.
Report ListInstaller(const std::string& path);

}  // namespace authoring
