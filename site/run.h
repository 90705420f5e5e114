// The runs of the command line: one document (a file or a pipe), or a whole site.
#pragma once

#include "site/arguments.h"

namespace quenda::site {

// Converts one document from standard input or a file to standard output or -o; returns the
// exit status.
int RunSingle(const Arguments& args);

// Converts, rewrites or checks every document the inputs name, `args.jobs` at a time, with a
// progress line on a terminal and a summary; returns the exit status.
int RunSite(const Arguments& args);

}  // namespace quenda::site
