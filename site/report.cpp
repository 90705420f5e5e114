#include "site/report.h"

#include <cerrno>
#include <cstring>

namespace quenda::site {

ProblemReport::~ProblemReport() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ProblemReport::Open() {
  if (path_.empty()) return true;
  file_ = std::fopen(path_.c_str(), "wb");
  if (file_ != nullptr) return true;
  std::fprintf(stderr, "quenda: cannot write '%s': %s\n", path_.c_str(), std::strerror(errno));
  return false;
}

void ProblemReport::Write(const std::string& lines) {
  if (lines.empty()) return;
  FILE* to = file_ != nullptr ? file_ : stderr;
  std::fwrite(lines.data(), 1, lines.size(), to);
  std::fflush(to);
}

std::string FormatProblems(const std::string& file, const std::vector<ValidationProblem>& problems) {
  std::string lines;
  for (const ValidationProblem& p : problems) {
    lines += file + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) + ": " + p.message + "\n";
  }
  return lines;
}

}  // namespace quenda::site
