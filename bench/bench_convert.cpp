// Whole-process speed and memory of the command-line converter (by default and with the implied
// end tags, --close-implied) beside two other HTML to XHTML
// converters, tidy and xmllint, on generated HTML 4 pages of 1, 4 and 16 MB (MB = 2^20 bytes).
// Each program runs as its own process on a file and writes a file; the figures are wall-clock
// time (best of several runs), throughput in MB of input per second, the ratio of the times for
// 16 MB and 1 MB (about 16 for a linear program), and the peak resident memory of the process.
// tidy and xmllint come from Debian's packages; the benchmark installs them when they are
// missing and it may (as root).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/html_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr double kMiB = 1024.0 * 1024.0;

struct Measure {
  double seconds = 1e300;
  double cpuSeconds = 1e300;  // user + system time of the process
  double peakMiB = 0;
  bool ok = false;
  bool timedOut = false;
};

// A comparison program that takes longer than this on one file is stopped and reported so.
constexpr int kTimeoutSeconds = 300;

// Runs the program with standard output to `outputPath` and standard error discarded.
Measure RunOnce(const std::vector<std::string>& args, const std::string& outputPath, int timeoutSeconds) {
  Measure m;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) return m;
  if (pid == 0) {
    int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = open("/dev/null", O_WRONLY);
    if (out < 0 || null < 0) _exit(126);
    dup2(out, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  for (;;) {
    // Our own program is waited for without polling, so that its times are exact.
    pid_t done = wait4(pid, &status, timeoutSeconds > 0 ? WNOHANG : 0, &usage);
    if (done == pid) break;
    if (done < 0) return m;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(timeoutSeconds)) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &usage);
      m.timedOut = true;
      return m;
    }
    usleep(2000);
  }
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
  m.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  // tidy ends with 1 or 2 when it only warned; 126 and above mean the program did not run.
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) < 126;
  return m;
}

Measure Best(const std::vector<std::string>& args, const std::string& outputPath, int runs, int timeoutSeconds) {
  Measure best;
  for (int i = 0; i < runs; ++i) {
    Measure m = RunOnce(args, outputPath, timeoutSeconds);
    if (!m.ok) return m;
    if (m.seconds < best.seconds) best.seconds = m.seconds;
    if (m.cpuSeconds < best.cpuSeconds) best.cpuSeconds = m.cpuSeconds;
    if (m.peakMiB > best.peakMiB) best.peakMiB = m.peakMiB;
    best.ok = true;
  }
  return best;
}

bool Have(const char* program) {
  std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void InstallComparisons() {
  if (Have("tidy") && Have("xmllint")) return;
  if (geteuid() != 0) return;
  std::printf("installing tidy and xmllint (Debian packages tidy, libxml2-utils)...\n");
  std::fflush(stdout);
  const char* install = "DEBIAN_FRONTEND=noninteractive apt-get install -y -q tidy libxml2-utils >/dev/null 2>&1";
  if (std::system(install) != 0) {
    std::system("apt-get update -q >/dev/null 2>&1");
    std::system(install);
  }
}

struct Tool {
  std::string name;
  std::vector<std::string> command;  // "{in}" and "{out}" stand for the file paths
  bool toStdout;                     // writes its output to standard output
  int runs;
};

}  // namespace

int main(int argc, char** argv) {
  fs::path self = fs::canonical("/proc/self/exe");
  std::string quenda = (self.parent_path() / "quenda").string();
  if (argc > 1) quenda = argv[1];
  if (!fs::exists(quenda)) {
    std::fprintf(stderr, "bench_convert: %s not found (build the native preset first)\n", quenda.c_str());
    return 1;
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);
  InstallComparisons();

  fs::path folder = fs::temp_directory_path() / ("quenda-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const int sizes[] = {1, 4, 16};
  std::vector<std::string> inputs;
  for (int mb : sizes) {
    std::string page = quenda::bench::GenerateHtmlPage(static_cast<size_t>(mb) * (1u << 20), 4711u + mb);
    fs::path path = folder / ("page-" + std::to_string(mb) + "mb.html");
    std::ofstream(path, std::ios::binary).write(page.data(), static_cast<std::streamsize>(page.size()));
    inputs.push_back(path.string());
  }

  std::vector<Tool> tools = {{"quenda", {quenda, "{in}", "-o", "{out}"}, false, 7},
                             {"quenda --close-implied", {quenda, "--close-implied", "{in}", "-o", "{out}"}, false, 7}};
  if (Have("tidy")) tools.push_back({"tidy -asxhtml", {"tidy", "-asxhtml", "-q", "-o", "{out}", "{in}"}, false, 1});
  if (Have("xmllint")) tools.push_back({"xmllint --html --xmlout --huge", {"xmllint", "--html", "--xmlout", "--huge", "{in}"}, true, 2});

  std::printf("Wall-clock figures depend on what else the machine runs; the processor time (cpu s,\n"
              "cpu MB/s) of the process itself does much less.\n");
  std::printf("%-31s %6s %9s %9s %9s %9s %9s %10s\n", "program", "input", "time s", "MB/s", "cpu s", "cpu MB/s",
              "peak MB", "peak/input");
  bool targetsMet = true;
  for (const Tool& tool : tools) {
    double times[3] = {0, 0, 0};
    double cpuTimes[3] = {0, 0, 0};
    for (size_t k = 0; k < inputs.size(); ++k) {
      double inputMiB = static_cast<double>(fs::file_size(inputs[k])) / kMiB;
      std::string output = (folder / ("out-" + std::to_string(k) + ".xhtml")).string();
      std::vector<std::string> args;
      for (const std::string& a : tool.command) args.push_back(a == "{in}" ? inputs[k] : a == "{out}" ? output : a);
      std::string stdoutPath = tool.toStdout ? output : "/dev/null";
      const bool ours = tool.name.rfind("quenda", 0) == 0;
      Measure m = Best(args, stdoutPath, tool.runs, ours ? 0 : kTimeoutSeconds);
      if (!m.ok) {
        if (m.timedOut) {
          std::printf("%-31s %4d MB   stopped after %d s\n", tool.name.c_str(), sizes[k], kTimeoutSeconds);
        } else {
          std::printf("%-31s %4d MB   failed to run\n", tool.name.c_str(), sizes[k]);
        }
        if (ours) targetsMet = false;
        continue;
      }
      times[k] = m.seconds;
      cpuTimes[k] = m.cpuSeconds;
      double throughput = inputMiB / m.seconds;
      double memoryRatio = m.peakMiB / inputMiB;
      std::printf("%-31s %4d MB %9.3f %9.1f %9.3f %9.1f %9.1f %10.2f\n", tool.name.c_str(), sizes[k], m.seconds,
                  throughput, m.cpuSeconds, inputMiB / m.cpuSeconds, m.peakMiB, memoryRatio);
      if (ours && sizes[k] == 16) {
        if (throughput < 100) targetsMet = false;
        if (memoryRatio > 6) targetsMet = false;
      }
    }
    if (times[0] > 0 && times[2] > 0) {
      double ratio = times[2] / times[0];
      std::printf("%-31s time(16 MB)/time(1 MB) = %.1f (processor time: %.1f)\n", tool.name.c_str(), ratio,
                  cpuTimes[2] / cpuTimes[0]);
      if (tool.name.rfind("quenda", 0) == 0 && ratio > 20) targetsMet = false;
    }
  }
  std::printf("quenda targets, with and without --close-implied (>= 100 MB/s on 16 MB, ratio <= 20,\n"
              "peak <= 6 x input): %s\n",
              targetsMet ? "met" : "NOT met");
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
