#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "site/report.h"
#include "site/run.h"
#include "site/validate.h"
#include "site/write.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#ifdef __GLIBC__
#include <sys/mman.h>
#endif

namespace quenda::site {

namespace {

void SetBinary(FILE* stream) {
#ifdef _WIN32
  _setmode(_fileno(stream), _O_BINARY);
#else
  (void)stream;
#endif
}

// Gives the heap room for the conversion of a document of `size` bytes, backed by huge pages
// where the system offers them. The text and its spare block are written from end to end in
// every step; in fresh 4 KiB pages the first writes cost thousands of page faults, which take
// longer than the conversion itself. The block is freed at once: the heap keeps it (the
// program's entry tells it to) and the working texts are carved from it.
void PrepareHeap(const std::string& path) {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return;
  std::fseek(f, 0, SEEK_END);
  const long end = std::ftell(f);
  std::fclose(f);
  constexpr size_t kHugePage = size_t{2} << 20;
  if (end < 0 || static_cast<size_t>(end) < kHugePage) return;
  const size_t size = static_cast<size_t>(end);
  // The text, its spare block and the second half of a step that runs in two threads.
  const size_t bytes = 2 * WorkingSize(size) + size + kHugePage;
  void* block = std::malloc(bytes);
  if (block == nullptr) return;
  const auto first = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
  const auto last = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  std::free(block);
#else
  (void)path;
#endif
}

bool ReadStandardInput(std::string& text) {
  SetBinary(stdin);
  char block[1 << 16];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, stdin)) > 0) text.append(block, n);
  if (!std::ferror(stdin)) return true;
  std::fprintf(stderr, "quenda: cannot read standard input: %s\n", std::strerror(errno));
  return false;
}

bool WriteStandardOutput(const std::string& text) {
  SetBinary(stdout);
  if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "quenda: cannot write standard output: %s\n", std::strerror(errno));
  return false;
}

// Two threads where the machine has two processors: the steps gain little from more.
int StepThreads() { return std::thread::hardware_concurrency() >= 2 ? 2 : 1; }

}  // namespace

int RunSingle(const Arguments& args) {
  const std::string input = args.inputs.empty() ? "-" : args.inputs.front();
  ProblemReport report(args.report);
  if (!report.Open()) return kExitFailed;
  std::string text;
  std::string reason;
  if (input == "-") {
    if (!ReadStandardInput(text)) return kExitFailed;
  } else {
    PrepareHeap(input);
    if (!ReadDocument(input, text, reason)) {
      std::fprintf(stderr, "quenda: cannot read '%s': %s\n", input.c_str(), reason.c_str());
      return kExitFailed;
    }
  }
  DocumentSettings settings = args.document;
  settings.threads = StepThreads();
  std::string spare;
  if (!ConvertDocument(text, spare, settings, reason)) {
    std::fprintf(stderr, "quenda: %s: %s\n", input == "-" ? "standard input" : input.c_str(), reason.c_str());
    return kExitFailed;
  }
  std::string().swap(spare);
  if (args.output.empty()) {
    if (!WriteStandardOutput(text)) return kExitFailed;
  } else if (!WriteReplacing(args.output, text, nullptr, reason)) {
    std::fprintf(stderr, "quenda: cannot write '%s': %s\n", args.output.c_str(), reason.c_str());
    return kExitFailed;
  }
  if (!args.validate) return kExitDone;
  PrepareValidation();
  const std::string name = !args.output.empty() ? args.output : input == "-" ? "standard output" : input;
  const std::vector<ValidationProblem> problems = ValidateDocument(text);
  report.Write(FormatProblems(name, problems));
  return problems.empty() ? kExitDone : kExitFindings;
}

}  // namespace quenda::site
