// Whole sites: `quenda --out-dir` over 2,000 generated HTML 4 pages of 5 to 50 KB in nested
// folders (about 58 MB), measured side by side in one run with
//   - tidy -asxhtml over the same files, one process per file, `xargs -P` on all processors;
//   - quenda on one document of the same total size (the pages one after the other), so that
//     the cost per file and of the parallel schedule shows;
//   - quenda --out-dir on a tenth of the site, for the peak memory (it must not grow with the
//     number of documents);
//   - quenda --out-dir --validate against xmllint --valid --noout over the same outputs.
// Figures are wall-clock seconds, best of several runs, and the peak resident memory of the
// process tree. tidy and xmllint come from Debian's packages (tidy, libxml2-utils); the
// benchmark installs them when they are missing and it may (as root).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/html_generator.h"

namespace {

namespace fs = std::filesystem;

struct Measure {
  double seconds = 1e300;
  double peakMiB = 0;
  int status = -1;
};

// Runs `sh -c command` and measures it with its children.
Measure RunOnce(const std::string& command) {
  Measure m;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) return m;
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.peakMiB = static_cast<double>(std::max(usage.ru_maxrss, 0L)) / 1024.0;
  m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return m;
}

Measure Best(const std::string& command, int runs) {
  Measure best;
  for (int i = 0; i < runs; ++i) {
    Measure m = RunOnce(command);
    best.status = m.status;
    if (m.seconds < best.seconds) best.seconds = m.seconds;
    if (m.peakMiB > best.peakMiB) best.peakMiB = m.peakMiB;
  }
  return best;
}

bool Have(const char* program) { return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0; }

void InstallComparisons() {
  if (Have("tidy") && Have("xmllint")) return;
  if (geteuid() != 0) return;
  std::printf("installing tidy and xmllint (Debian packages tidy, libxml2-utils)...\n");
  std::fflush(stdout);
  std::system("DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=900 tidy libxml2-utils "
              ">/dev/null 2>&1");
}

void Print(const char* what, const Measure& m) {
  std::printf("%-58s %8.3f s %8.1f MB peak  (exit %d)\n", what, m.seconds, m.peakMiB, m.status);
}

// One of quenda's own runs, printed; it must succeed (3: documents not valid, with --validate).
Measure Quenda(const char* what, const std::string& command, int runs) {
  Measure m = Best(command, runs);
  Print(what, m);
  if (m.status == 0 || m.status == 3) return m;
  std::printf("quenda failed; no figures\n");
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path self = fs::canonical("/proc/self/exe");
  std::string quenda = argc > 1 ? argv[1] : (self.parent_path() / "quenda").string();
  if (!fs::exists(quenda)) {
    std::fprintf(stderr, "bench_site: %s not found (build the native preset first)\n", quenda.c_str());
    return 1;
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);
  InstallComparisons();
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());

  // The site: 2,000 pages in 20 sections of 10 folders; the single document: all of them.
  fs::path folder = fs::temp_directory_path() / ("quenda-bench-site-" + std::to_string(getpid()));
  fs::path site = folder / "site";
  fs::path small = folder / "small";
  size_t total = 0;
  fs::create_directories(folder);
  {
    std::ofstream whole(folder / "whole.html", std::ios::binary);
    for (unsigned i = 0; i < 2000; ++i) {
      const size_t size = 5000 + (i * 7919u) % 45001;
      std::string page = quenda::bench::GenerateHtmlPage(size, 1000 + i);
      fs::path dir = site / ("section" + std::to_string(i % 20)) / ("part" + std::to_string(i / 20 % 10));
      fs::create_directories(dir);
      std::ofstream(dir / ("page" + std::to_string(i) + ".html"), std::ios::binary) << page;
      if (i % 10 == 0) {
        fs::create_directories(small / dir.filename());
        std::ofstream(small / dir.filename() / ("page" + std::to_string(i) + ".html"), std::ios::binary) << page;
      }
      whole << page;
      total += page.size();
    }
  }
  std::printf("site: 2000 documents, %.1f MB; %u processors\n", static_cast<double>(total) / 1e6, processors);
  const std::string q = "'" + quenda + "'";
  const std::string f = "'" + folder.string() + "'";
  const std::string p = std::to_string(processors);

  Measure site2000 = Quenda("quenda --out-dir, 2000 documents", q + " --quiet --out-dir=" + f + "/out " + f + "/site", 5);
  Measure whole = Quenda("quenda, one document of the same size", q + " " + f + "/whole.html -o " + f + "/whole.xhtml", 5);
  Measure site200 =
      Quenda("quenda --out-dir, 200 of the documents", q + " --quiet --out-dir=" + f + "/out-small " + f + "/small", 5);
  Measure validate = Quenda("quenda --out-dir --validate, 2000 documents",
                            q + " --quiet --validate --report=/dev/null --out-dir=" + f + "/out-valid " + f + "/site", 3);

  Measure tidy, xmllint;
  if (Have("tidy")) {
    tidy = Best("find " + f + "/site -name '*.html' -print0 | xargs -0 -P " + p +
                    " -I{} tidy -asxhtml -q -o /dev/null {} 2>/dev/null; true", 1);
    Print(("tidy -asxhtml, xargs -P " + p).c_str(), tidy);
  }
  Measure xmllintParallel;
  if (Have("xmllint")) {
    xmllint = Best("find " + f + "/out -name '*.html' -print0 | xargs -0 xmllint --valid --noout --nonet "
                   ">/dev/null 2>&1; true", 1);
    Print("xmllint --valid --noout on the outputs", xmllint);
    xmllintParallel = Best("find " + f + "/out -name '*.html' -print0 | xargs -0 -P " + p +
                               " -n 50 xmllint --valid --noout --nonet >/dev/null 2>&1; true", 1);
    Print(("xmllint --valid --noout on the outputs, xargs -P " + p).c_str(), xmllintParallel);
  }

  std::printf("\n");
  bool met = true;
  auto ratio = [&met](const char* what, double value, const char* goal, bool ok) {
    std::printf("%-58s %8.2f   goal %s: %s\n", what, value, goal, ok ? "met" : "NOT met");
    met = met && ok;
  };
  if (tidy.status >= 0) {
    ratio("tidy time / quenda --out-dir time", tidy.seconds / site2000.seconds, ">= 10",
          tidy.seconds / site2000.seconds >= 10);
  }
  ratio("quenda --out-dir time / one-document time", site2000.seconds / whole.seconds, "<= 1.5",
        site2000.seconds / whole.seconds <= 1.5);
  ratio("peak memory, 2000 / 200 documents", site2000.peakMiB / site200.peakMiB, "<= 1.5",
        site2000.peakMiB / site200.peakMiB <= 1.5);
  if (xmllint.status >= 0) {
    const double added = validate.seconds - site2000.seconds;
    ratio("(--validate time - plain time) / xmllint time", added / xmllint.seconds, "<= 1", added <= xmllint.seconds);
    std::printf("%-58s %8.2f   (xmllint in %s processes at once)\n", "(--validate time - plain time) / that time",
                added / xmllintParallel.seconds, p.c_str());
  }
  std::printf("site targets: %s\n", met ? "met" : "NOT met");
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
