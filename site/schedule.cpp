// A whole site: the walk, then every document converted on one of `jobs` threads. The main
// thread writes each document's messages in path order as soon as the documents before it are
// done, and keeps the progress line up to date. Each thread keeps its working texts from one
// document to the next, so memory grows with the number of threads times the largest
// document, never with the size of the site.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "site/report.h"
#include "site/run.h"
#include "site/validate.h"
#include "site/walk.h"
#include "site/write.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quenda::site {

namespace {

using Clock = std::chrono::steady_clock;

struct Job {
  SiteFile file;
  std::string target;    // where the result goes (--out-dir, --in-place); what problems name
  std::string refusal;   // set when the document must not be converted
  uint64_t size = 0;     // bytes, for the progress line
};

enum class Kind { converted, unchanged, failed };
enum class Validity { unknown, valid, invalid };

struct Outcome {
  Kind kind = Kind::failed;
  Validity validity = Validity::unknown;
  std::string errors;    // lines for standard error
  std::string listed;    // lines for standard output (--check)
  std::string problems;  // validation problems
  bool done = false;
};

// The working texts one thread keeps from document to document.
struct Workspace {
  std::string original;
  std::string text;
  std::string spare;
};

Outcome Process(const Arguments& args, const Job& job, Workspace& w) {
  Outcome o;
  const std::string& path = job.file.path;
  std::string reason;
  if (!job.refusal.empty()) {
    o.errors = "quenda: " + job.refusal + "\n";
    return o;
  }
  if (!ReadDocument(path, w.original, reason)) {
    o.errors = "quenda: cannot read '" + path + "': " + reason + "\n";
    return o;
  }
  w.text.reserve(WorkingSize(w.original.size()));
  w.text.assign(w.original);
  if (!ConvertDocument(w.text, w.spare, args.document, reason)) {
    o.errors = "quenda: " + path + ": " + reason + "\n";
    return o;
  }
  const bool changed = w.text != w.original;
  auto cannotWrite = [&](const std::string& file, const std::string& why) {
    o.errors = "quenda: cannot write '" + file + "': " + why + "\n";
    return o;
  };
  if (args.mode == Mode::check && changed) {
    o.listed = path + "\n";
  } else if (args.mode == Mode::inPlace && changed) {
    const std::string& target = job.file.canonical;
    if (IsReadOnly(target)) return cannotWrite(path, "the file is read-only");
    if (!args.backupSuffix.empty() && !WriteReplacing(path + args.backupSuffix, w.original, &target, reason)) {
      return cannotWrite(path + args.backupSuffix, reason);
    }
    if (!WriteReplacing(target, w.text, &target, reason)) return cannotWrite(path, reason);
  } else if (args.mode == Mode::outDir) {
    if (!CreateFolders(FolderOf(job.target), reason)) return cannotWrite(job.target, reason);
    if (!WriteReplacing(job.target, w.text, nullptr, reason)) return cannotWrite(job.target, reason);
  }
  o.kind = changed ? Kind::converted : Kind::unchanged;
  if (args.validate) {
    const std::vector<ValidationProblem> problems = ValidateDocument(w.text);
    o.validity = problems.empty() ? Validity::valid : Validity::invalid;
    o.problems = FormatProblems(job.target, problems);
  }
  return o;
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

// The one progress line: documents done of total, megabytes, rate, time left.
class ProgressLine {
 public:
  ProgressLine(bool shown, size_t total, uint64_t totalBytes)
      : shown_(shown), total_(total), totalBytes_(totalBytes), start_(Clock::now()) {}

  // Redraws the line, at most ten times a second (and always for the last document).
  void Show(size_t done, uint64_t bytes) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (done < total_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double mb = static_cast<double>(bytes) / 1e6;
    // The rate, and the time left from it, only once there is enough of a run to tell.
    const double rate = seconds >= 0.5 ? mb / seconds : 0;
    char line[160];
    int n = std::snprintf(line, sizeof line, "%zu of %zu documents, %.1f of %.1f MB", done, total_, mb,
                          static_cast<double>(totalBytes_) / 1e6);
    if (rate > 0) n += std::snprintf(line + n, sizeof line - static_cast<size_t>(n), ", %.1f MB/s", rate);
    if (rate > 0 && bytes > 0 && done < total_) {
      const long left = static_cast<long>((static_cast<double>(totalBytes_ - bytes) / 1e6) / rate + 0.5);
      n += std::snprintf(line + n, sizeof line - static_cast<size_t>(n), ", %ld:%02ld left", left / 60, left % 60);
    }
    Draw(std::string(line, static_cast<size_t>(n)));
  }
  // Takes the line away before other text goes to standard error.
  void Clear() {
    if (shown_ && width_ > 0) Draw("");
  }

 private:
  void Draw(const std::string& text) {
    std::string out = "\r" + text;
    // What is left of a longer line is blanked out, and the cursor goes back to its end.
    if (text.size() < width_) {
      out.append(width_ - text.size(), ' ');
      out += "\r" + text;
    }
    width_ = text.size();
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
  }

  bool shown_;
  size_t total_;
  uint64_t totalBytes_;
  Clock::time_point start_;
  Clock::time_point lastDraw_{};
  size_t width_ = 0;
};

uint64_t FileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

// The jobs for the walked files, with the targets of the mode and what must be refused.
std::vector<Job> PlanJobs(const Arguments& args, std::vector<SiteFile> files, bool sizes) {
  std::vector<Job> jobs;
  std::set<std::string> targets;
  for (SiteFile& file : files) {
    Job job;
    job.file = std::move(file);
    job.target = job.file.path;
    if (args.mode == Mode::outDir) {
      job.target = JoinPath(args.outDir, job.file.relative);
      const std::string canonicalTarget = CanonicalPath(job.target);
      if (!targets.insert(PathKey(canonicalTarget.empty() ? job.target : canonicalTarget)).second) {
        job.refusal = "'" + job.file.path + "' is not converted: '" + job.target + "' is already the result of another file";
      } else if (PathKey(canonicalTarget) == PathKey(job.file.canonical)) {
        job.refusal = "'" + job.file.path + "' is not converted: it lies where its result would go";
      }
    }
    if (sizes) job.size = FileSize(job.file.path);
    jobs.push_back(std::move(job));
  }
  return jobs;
}

}  // namespace

int RunSite(const Arguments& args) {
  WalkSettings walk;
  walk.extensions = args.extensions;
  std::string reason;
  if (args.mode == Mode::outDir) {
    if (!CreateFolders(args.outDir, reason)) {
      std::fprintf(stderr, "quenda: %s\n", reason.c_str());
      return kExitFailed;
    }
    walk.skipFolder = CanonicalPath(args.outDir);
  }
  ProblemReport report(args.report);
  if (!report.Open()) return kExitFailed;
  if (args.validate) PrepareValidation();

  std::vector<std::string> walkProblems;
  std::vector<SiteFile> files = WalkInputs(args.inputs, walk, walkProblems);
  for (const std::string& problem : walkProblems) std::fprintf(stderr, "quenda: %s\n", problem.c_str());
  const bool showProgress = !args.quiet && StandardErrorIsTerminal();
  const std::vector<Job> jobs = PlanJobs(args, std::move(files), showProgress);
  uint64_t totalBytes = 0;
  for (const Job& job : jobs) totalBytes += job.size;

  std::vector<Outcome> outcomes(jobs.size());
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<size_t> next{0};
  size_t completed = 0;
  uint64_t bytesDone = 0;
  auto work = [&] {
    Workspace workspace;
    for (size_t i = next++; i < jobs.size(); i = next++) {
      Outcome outcome;
      try {
        outcome = Process(args, jobs[i], workspace);
      } catch (const std::bad_alloc&) {
        outcome = Outcome{};
        outcome.errors = "quenda: " + jobs[i].file.path + ": out of memory\n";
        workspace = Workspace{};
      }
      std::lock_guard<std::mutex> lock(mutex);
      outcomes[i] = std::move(outcome);
      outcomes[i].done = true;
      ++completed;
      bytesDone += jobs[i].size;
      changed.notify_one();
    }
  };
  unsigned threads = args.jobs > 0 ? static_cast<unsigned>(args.jobs) : std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(jobs.size(), 1)));
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);

  ProgressLine progress(showProgress, jobs.size(), totalBytes);
  size_t counts[3] = {0, 0, walkProblems.size()};
  size_t valid = 0, invalid = 0;
  size_t emitted = 0;
  while (emitted < jobs.size()) {
    std::vector<Outcome> ready;
    size_t doneNow;
    uint64_t bytesNow;
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait_for(lock, std::chrono::milliseconds(100), [&] { return outcomes[emitted].done; });
      while (emitted < jobs.size() && outcomes[emitted].done) ready.push_back(std::move(outcomes[emitted++]));
      doneNow = completed;
      bytesNow = bytesDone;
    }
    for (const Outcome& o : ready) {
      ++counts[static_cast<int>(o.kind)];
      valid += o.validity == Validity::valid ? 1 : 0;
      invalid += o.validity == Validity::invalid ? 1 : 0;
      if (!o.errors.empty() || (!o.problems.empty() && report.ToStandardError())) progress.Clear();
      std::fputs(o.errors.c_str(), stderr);
      std::fputs(o.listed.c_str(), stdout);
      report.Write(o.problems);
    }
    progress.Show(doneNow, bytesNow);
  }
  for (std::thread& worker : workers) worker.join();
  progress.Clear();
  std::fflush(stdout);

  if (!args.quiet) {
    std::string summary = "quenda: " + std::to_string(jobs.size() + walkProblems.size()) + " documents: " +
                          std::to_string(counts[0]) + (args.mode == Mode::check ? " would change, " : " converted, ") +
                          std::to_string(counts[1]) + " unchanged, " + std::to_string(counts[2]) + " failed";
    if (args.validate) summary += "; " + std::to_string(valid) + " valid, " + std::to_string(invalid) + " not valid";
    std::fprintf(stderr, "%s\n", summary.c_str());
  }
  if (counts[2] > 0) return kExitFailed;
  if ((args.mode == Mode::check && counts[0] > 0) || invalid > 0) return kExitFindings;
  return kExitDone;
}

}  // namespace quenda::site
