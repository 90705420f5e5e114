// The command line of quenda: one document to a file or a pipe, or many documents at once
// (into a mirror folder, in place, or only checked).
#pragma once

#include <string>
#include <vector>

#include "plugin/convert/options.h"
#include "site/document.h"

namespace quenda::site {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFindings = 3;

enum class Mode { single, outDir, inPlace, check };

struct Arguments {
  DocumentSettings document;  // the same for one document and for a whole site
  Mode mode = Mode::single;
  std::vector<std::string> inputs;  // empty in single mode: standard input
  std::string output;               // single mode; empty: standard output
  std::string outDir;
  std::string backupSuffix;  // --in-place only; empty: no backup
  std::vector<std::string> extensions = {".htm", ".html"};  // lower case, with the dot
  int jobs = 0;  // 0: one per processor
  bool validate = false;
  std::string report;  // validation problems go here instead of standard error
  bool quiet = false;
  bool help = false;
  bool version = false;
};

extern const char* const kUsage;

// Parses the arguments. On a usage error returns false with the problem in `error` (one line,
// without the program's name).
bool ParseArguments(int argc, const char* const* argv, Arguments& args, std::string& error);

}  // namespace quenda::site
