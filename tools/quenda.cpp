// quenda: the converter's command line. Converts HTML 4 documents to XHTML 1.0 with the same
// engine as the plug-in: one document for files and pipes, or whole sites (see site/).
//
//   quenda [OPTIONS] [INPUT] [-o OUTPUT]
//   quenda [OPTIONS] --out-dir=DIR | --in-place | --check  INPUT...
//
// Exit status: 0 done, 1 a document could not be read or written (or invalid UTF-8),
// 2 usage error, 3 --check or --validate found something.

#include <cstdio>
#include <exception>
#include <limits>
#include <new>
#include <string>

#include "site/arguments.h"
#include "site/run.h"
#include "site/validate.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifndef QUENDA_VERSION
#define QUENDA_VERSION "unknown"
#endif

namespace {

int Run(int argc, char** argv) {
  using namespace quenda::site;
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, args, error)) {
    std::fprintf(stderr, "quenda: %s (try 'quenda --help')\n", error.c_str());
    return kExitUsage;
  }
  if (args.help) {
    std::fputs(kUsage, stdout);
    return kExitDone;
  }
  if (args.version) {
    std::printf("quenda %s\n", QUENDA_VERSION);
    return kExitDone;
  }
  if (args.validate && !ValidationAvailable()) {
    std::fprintf(stderr, "quenda: --validate is not available in this build (it has no XML validator)\n");
    return kExitUsage;
  }
  return args.mode == Mode::single ? RunSingle(args) : RunSite(args);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Every block comes from the heap, and the heap keeps what is freed: the working texts reuse
  // memory already in place rather than having the system hand out (and zero) new pages.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quenda: out of memory\n");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quenda: %s\n", e.what());
  }
  return quenda::site::kExitFailed;
}
