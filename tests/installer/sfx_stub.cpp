// A stand-in for the installer program that runs the wizard's container steps, for mksfx.
//   sfx_stub [--record-messages] [--report FILE] [--copy-to FOLDER]
// Reports "folder=", "message=" and "deleted=" lines; copies the unpacked files to FOLDER.
// Exit status: 0 unpacked, 3 no unpack folder, 4 container not unpacked, 5 copy failed.
#include <cstdio>
#include <string>

#include "installer/sfx.h"
#include "platform/files.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
  std::string reportPath, copyTo;
  bool recordMessages = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--record-messages") {
      recordMessages = true;
    } else if (arg == "--report" && i + 1 < argc) {
      reportPath = argv[++i];
    } else if (arg == "--copy-to" && i + 1 < argc) {
      copyTo = argv[++i];
    }
  }
  std::string report;
  if (recordMessages) {
    platform::SetMessageObserver([&](const std::string& text, const std::string& caption, platform::MessageIcon) {
      report += "message=" + caption + "|" + text + "\n";
    });
  }
  int status = 0;
  if (!installer::CreateUnpackFolder()) {
    status = 3;
  } else {
    const std::string folder = installer::UnpackFolder();
    report += "folder=" + folder + "\n";
    if (!installer::UnpackContainer()) {
      status = 4;
    } else if (!copyTo.empty()) {
      for (const char* name : {installer::kScriptFileName, installer::kArchiveFileName}) {
        std::string contents;
        if (!platform::ReadWholeFile(folder + name, contents) ||
            !platform::WriteWholeFile(copyTo + platform::kPathSeparator + name, contents)) {
          status = 5;
        }
      }
    }
    installer::DeleteUnpackFolder();
    report += std::string("deleted=") + (platform::FolderExists(folder) ? "no" : "yes") + "\n";
  }
  if (!reportPath.empty()) platform::WriteWholeFile(reportPath, report);
  std::fputs(report.c_str(), stdout);
  return status;
}
