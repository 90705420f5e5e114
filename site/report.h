// Where validation problems go: standard error, or the file of --report.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "site/validate.h"

namespace quenda::site {

class ProblemReport {
 public:
  explicit ProblemReport(std::string path) : path_(std::move(path)) {}
  ~ProblemReport();
  ProblemReport(const ProblemReport&) = delete;
  ProblemReport& operator=(const ProblemReport&) = delete;

  // Opens the report file (none: standard error); false after a message when it cannot.
  bool Open();
  bool ToStandardError() const { return file_ == nullptr; }
  void Write(const std::string& lines);

 private:
  std::string path_;
  FILE* file_ = nullptr;
};

// "FILE:LINE:COLUMN: message" lines, one per problem.
std::string FormatProblems(const std::string& file, const std::vector<ValidationProblem>& problems);

}  // namespace quenda::site
