// quenda: the converter's command line. Converts one HTML 4 document to XHTML 1.0 with the
// same engine as the plug-in, for files and pipes.
//
//   quenda [OPTIONS] [INPUT] [-o OUTPUT]
//
// Exit status: 0 converted, 1 input or output failed (unreadable, unwritable, invalid UTF-8),
// 2 usage error.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <exception>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "plugin/convert/options.h"
#include "plugin/convert/pipeline.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#endif

#ifndef QUENDA_VERSION
#define QUENDA_VERSION "unknown"
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: quenda [OPTIONS] [INPUT] [-o OUTPUT]\n"
    "Converts an HTML 4 document to XHTML 1.0. INPUT absent or \"-\" reads standard input;\n"
    "without -o the result goes to standard output.\n"
    "\n"
    "Options:\n"
    "  --dtd=transitional|strict|frameset   document type (default transitional)\n"
    "  --language=german|english            language attributes (default german)\n"
    "  --encoding=TEXT                      character set named in the XML declaration\n"
    "                                       (default iso-8859-1 with german, UTF-8 with english)\n"
    "  --no-complete-lists                  do not close list items and options\n"
    "  --close-implied                      write every end tag HTML 4 lets authors leave out\n"
    "                                       (p, li, dt, dd, option, table parts), layout kept\n"
    "  --no-compat                          write \"/>\" instead of \" />\" on empty elements\n"
    "  --eol=crlf|lf                        line breaks of the output (default: as the input's\n"
    "                                       first line break, CR LF when it has none)\n"
    "  --input-encoding=auto|latin1|utf8    how to read the input (default auto: UTF-8 when it\n"
    "                                       starts with a byte-order mark or is valid UTF-8\n"
    "                                       with a multi-byte sequence, else Latin-1)\n"
    "  -o, --output=FILE                    write the result to FILE\n"
    "  --help                               show this text\n"
    "  --version                            show the version\n"
    "\n"
    "Characters beyond Latin-1 in UTF-8 input become character references (&#N;).\n";

enum class Eol { fromInput, crlf, lf };
enum class InputEncoding { automatic, latin1, utf8 };

struct Arguments {
  quenda::ConversionOptions options;
  bool encodingGiven = false;
  Eol eol = Eol::fromInput;
  InputEncoding inputEncoding = InputEncoding::automatic;
  std::string input = "-";
  std::string output;  // empty: standard output
  bool help = false;
  bool version = false;
};

// A usage error: one line on standard error with the hint, exit status 2.
int UsageError(const std::string& problem) {
  std::fprintf(stderr, "quenda: %s (try 'quenda --help')\n", problem.c_str());
  return kExitUsage;
}

// Parses the arguments; returns 0 or the usage error's exit status.
int ParseArguments(int argc, char** argv, Arguments& args) {
  bool inputSeen = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      if (inputSeen) return UsageError("more than one input file: '" + std::string(arg) + "'");
      args.input = std::string(arg);
      inputSeen = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= argc) return UsageError("option '" + std::string(arg) + "' needs a file name");
      args.output = argv[++i];
      if (args.output.empty()) return UsageError("empty output file name");
      continue;
    }
    if (arg.size() > 2 && arg.substr(0, 2) == "-o" && arg[2] != '-') {
      args.output = std::string(arg.substr(2));
      continue;
    }
    // Long options: --name=value, or --name value for those that take a value.
    std::string_view name = arg;
    std::string_view value;
    bool hasValue = false;
    if (size_t eq = arg.find('='); eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    auto takesValue = [&](std::string_view n) {
      return n == "--dtd" || n == "--language" || n == "--encoding" || n == "--eol" || n == "--input-encoding" ||
             n == "--output";
    };
    auto isFlag = [](std::string_view n) {
      return n == "--help" || n == "--version" || n == "--no-complete-lists" || n == "--no-compat" ||
             n == "--close-implied";
    };
    if (!takesValue(name) && !isFlag(name)) return UsageError("unknown option '" + std::string(arg) + "'");
    if (takesValue(name) && !hasValue) {
      if (i + 1 >= argc) return UsageError("option '" + std::string(name) + "' needs a value");
      value = argv[++i];
      hasValue = true;
    }
    if (!takesValue(name) && hasValue) return UsageError("option '" + std::string(name) + "' takes no value");
    auto bad = [&] { return UsageError("invalid value '" + std::string(value) + "' for " + std::string(name)); };
    if (name == "--help") {
      args.help = true;
    } else if (name == "--version") {
      args.version = true;
    } else if (name == "--no-complete-lists") {
      args.options.completeLists = false;
    } else if (name == "--close-implied") {
      args.options.closeImpliedEndTags = true;
    } else if (name == "--no-compat") {
      args.options.nonXhtmlCompatible = false;
    } else if (name == "--dtd") {
      if (value == "transitional") args.options.dtd = quenda::DtdKind::transitional;
      else if (value == "strict") args.options.dtd = quenda::DtdKind::strict;
      else if (value == "frameset") args.options.dtd = quenda::DtdKind::frameset;
      else return bad();
    } else if (name == "--language") {
      if (value == "german") args.options.docLanguage = quenda::DocLanguage::german;
      else if (value == "english") args.options.docLanguage = quenda::DocLanguage::english;
      else return bad();
    } else if (name == "--encoding") {
      args.options.encoding = std::string(value);
      args.encodingGiven = true;
    } else if (name == "--eol") {
      if (value == "crlf") args.eol = Eol::crlf;
      else if (value == "lf") args.eol = Eol::lf;
      else return bad();
    } else if (name == "--input-encoding") {
      if (value == "auto") args.inputEncoding = InputEncoding::automatic;
      else if (value == "latin1") args.inputEncoding = InputEncoding::latin1;
      else if (value == "utf8") args.inputEncoding = InputEncoding::utf8;
      else return bad();
    } else if (name == "--output") {
      if (value.empty()) return UsageError("empty output file name");
      args.output = std::string(value);
    } else {
      return UsageError("unknown option '" + std::string(arg) + "'");
    }
  }
  // As the converter window does: choosing the language presets the encoding text.
  if (args.output == "-") args.output.clear();
  if (!args.encodingGiven) {
    args.options.encoding = args.options.docLanguage == quenda::DocLanguage::german ? "iso-8859-1" : "UTF-8";
  }
  return 0;
}

void SetBinary(FILE* stream) {
#ifdef _WIN32
  _setmode(_fileno(stream), _O_BINARY);
#else
  (void)stream;
#endif
}

// The room a document of `size` bytes is given: the conversion writes out about a third more
// than it reads for ordinary pages, and each step asks for room to spare. Room that is never
// written costs no memory.
size_t WorkingSize(size_t size) { return 2 * size + 4096; }

bool ReadAll(FILE* f, std::string& out) {
  char block[1 << 16];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) out.append(block, n);
  return !std::ferror(f);
}

// Gives the heap room for the conversion of a document of `size` bytes, backed by huge pages
// where the system offers them. The text and its spare block are written from end to end in
// every step; in fresh 4 KiB pages the first writes cost thousands of page faults, which take
// longer than the conversion itself. The block is freed at once: the heap keeps it (see main)
// and the working texts are carved from it.
void PrepareHeap(size_t size) {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
  constexpr size_t kHugePage = size_t{2} << 20;
  if (size < kHugePage) return;
  // The text, its spare block and the second half of a step that runs in two threads.
  const size_t bytes = 2 * WorkingSize(size) + size + kHugePage;
  void* block = std::malloc(bytes);
  if (block == nullptr) return;
  const auto first = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
  const auto last = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  std::free(block);
#else
  (void)size;
#endif
}

// Reads the input; on failure prints the file and the reason.
bool ReadInput(const std::string& path, std::string& text) {
  if (path == "-") {
    SetBinary(stdin);
    if (ReadAll(stdin, text)) return true;
    std::fprintf(stderr, "quenda: cannot read standard input: %s\n", std::strerror(errno));
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "quenda: cannot read '%s': %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  // One allocation for a regular file; pipes and the like grow as they are read. A folder
  // opens on POSIX but is no document.
  struct stat info;
  if (fstat(fileno(f), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      std::fclose(f);
      std::fprintf(stderr, "quenda: cannot read '%s': %s\n", path.c_str(), std::strerror(EISDIR));
      return false;
    }
    // Room for the conversion to grow the text in the same block (unused room costs no memory
    // until it is written).
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
      PrepareHeap(static_cast<size_t>(info.st_size));
      text.reserve(WorkingSize(static_cast<size_t>(info.st_size)));
    }
  }
  errno = 0;
  bool ok = ReadAll(f, text);
  int error = errno;
  std::fclose(f);
  if (!ok) {
    std::fprintf(stderr, "quenda: cannot read '%s': %s\n", path.c_str(),
                 std::strerror(error != 0 ? error : EIO));
  }
  return ok;
}

// Length of the valid UTF-8 sequence at text[i] (1 for ASCII), or 0 when it is invalid:
// no overlong forms, no surrogates, nothing beyond U+10FFFF.
size_t Utf8SequenceLength(std::string_view text, size_t i, uint32_t& code) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b0 = byte(i);
  if (b0 < 0x80) {
    code = b0;
    return 1;
  }
  size_t length;
  uint32_t minimum;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    code = b0 & 0x1F;
    minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    code = b0 & 0x0F;
    minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    code = b0 & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) return 0;
    code = (code << 6) | (b & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Offset of the first invalid byte, or -1 when the text is valid UTF-8; `multiByte` tells
// whether any sequence was longer than one byte.
int64_t CheckUtf8(std::string_view text, bool& multiByte) {
  multiByte = false;
  size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      // Plain ASCII eight bytes at a time.
      uint64_t word;
      while (text.size() - i >= 8 && (std::memcpy(&word, text.data() + i, 8), (word & 0x8080808080808080u) == 0)) i += 8;
      continue;
    }
    uint32_t code;
    size_t n = Utf8SequenceLength(text, i, code);
    if (n == 0) return static_cast<int64_t>(i);
    multiByte = true;
    i += n;
  }
  return -1;
}

// Valid UTF-8 to the converter's bytes: up to U+00FF the Latin-1 byte, beyond it "&#N;".
std::string DecodeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code;
    size_t n = Utf8SequenceLength(text, i, code);
    if (code <= 0xFF) {
      out.push_back(static_cast<char>(code));
    } else {
      out += "&#" + std::to_string(code) + ";";
    }
    i += n;
  }
  return out;
}

// Turns the input into the converter's bytes; false (after a message) on invalid UTF-8.
bool DecodeInput(const Arguments& args, std::string& text) {
  if (args.inputEncoding == InputEncoding::latin1) return true;
  const bool marked = std::string_view(text).substr(0, 3) == kByteOrderMark;
  std::string_view body = text;
  if (marked) body.remove_prefix(kByteOrderMark.size());
  bool multiByte = false;
  int64_t invalidAt = CheckUtf8(body, multiByte);
  if (args.inputEncoding == InputEncoding::utf8 && invalidAt >= 0) {
    std::fprintf(stderr, "quenda: %s: invalid UTF-8 at byte offset %lld\n",
                 args.input == "-" ? "standard input" : args.input.c_str(),
                 static_cast<long long>(invalidAt + (marked ? 3 : 0)));
    return false;
  }
  const bool utf8 = args.inputEncoding == InputEncoding::utf8 || (invalidAt < 0 && (marked || multiByte));
  if (utf8) text = multiByte ? DecodeUtf8(body) : std::string(body);
  return true;
}

// The output's line-break style when none was asked for: that of the input's first break.
Eol InputEol(std::string_view text) {
  size_t at = text.find_first_of("\r\n");
  if (at == std::string_view::npos || text[at] == '\r') return Eol::crlf;
  return Eol::lf;
}

// On the command line CR LF, CR and LF all end a line; the engine works on CR LF lines.
// The result is built in `spare`, which takes the old text's block in exchange.
void ToCrLfLines(std::string& text, std::string& spare) {
  std::string& out = spare;
  out.clear();
  out.reserve(WorkingSize(text.size()));
  const char* p = text.data();
  const char* const end = p + text.size();
  const char* lf = p;  // the next LF at or after p, found once per LF
  while (p < end) {
    if (lf < p) lf = p;
    if (lf < end && *lf != '\n') {
      const void* hit = std::memchr(lf, '\n', static_cast<size_t>(end - lf));
      lf = hit == nullptr ? end : static_cast<const char*>(hit);
    }
    const void* cr = std::memchr(p, '\r', static_cast<size_t>(lf - p));
    const char* lineEnd = cr == nullptr ? lf : static_cast<const char*>(cr);
    out.append(p, static_cast<size_t>(lineEnd - p));
    if (lineEnd == end) break;
    out.append("\r\n");
    p = lineEnd + 1;
    if (cr != nullptr && p < end && *p == '\n') ++p;
  }
  text.swap(out);
}

// CR LF to LF, in place: the text only shrinks.
void ToLfLines(std::string& text) {
  char* data = text.data();
  const size_t size = text.size();
  size_t write = 0;
  size_t read = 0;
  for (;;) {
    const void* hit = std::memchr(data + read, '\r', size - read);
    const size_t cr = hit == nullptr ? size : static_cast<size_t>(static_cast<const char*>(hit) - data);
    if (write != read) std::memmove(data + write, data + read, cr - read);
    write += cr - read;
    if (cr == size) break;
    // The CR of a CR LF goes; the LF comes with the next run. A lone CR stays.
    if (cr + 1 == size || data[cr + 1] != '\n') data[write++] = '\r';
    read = cr + 1;
  }
  text.resize(write);
}

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

// Writes the whole result to a temporary file beside `path` and renames it over `path`, so a
// failure leaves neither a truncated result nor a damaged earlier file.
bool WriteOutput(const std::string& path, const std::string& text) {
  if (path.empty()) {
    SetBinary(stdout);
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
    std::fprintf(stderr, "quenda: cannot write standard output: %s\n", std::strerror(errno));
    return false;
  }
  std::string temp;
  FILE* f = nullptr;
  int error = 0;
  for (int attempt = 0; attempt < 100 && f == nullptr; ++attempt) {
    temp = path + ".tmp" + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
    if (FILE* existing = std::fopen(temp.c_str(), "rb")) {
      std::fclose(existing);
      continue;
    }
    f = std::fopen(temp.c_str(), "wb");
    error = errno;
    if (f == nullptr) break;
  }
  if (f == nullptr) {
    std::fprintf(stderr, "quenda: cannot write '%s': %s\n", path.c_str(), std::strerror(error));
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  error = errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && !ReplaceFile(temp, path)) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    std::remove(temp.c_str());
    std::fprintf(stderr, "quenda: cannot write '%s': %s\n", path.c_str(), std::strerror(error != 0 ? error : EIO));
  }
  return ok;
}

// Two threads where the machine has two processors: the steps gain little from more.
int Threads() { return std::thread::hardware_concurrency() >= 2 ? 2 : 1; }

int Run(int argc, char** argv) {
  Arguments args;
  if (int status = ParseArguments(argc, argv, args); status != 0) return status;
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("quenda %s\n", QUENDA_VERSION);
    return 0;
  }
  std::string text;
  if (!ReadInput(args.input, text)) return kExitFailed;
  if (!DecodeInput(args, text)) return kExitFailed;
  const Eol eol = args.eol != Eol::fromInput ? args.eol : InputEol(text);
  // The text and one spare block of the same size carry the document through every step.
  std::string spare;
  spare.reserve(WorkingSize(text.size()));
  ToCrLfLines(text, spare);
  quenda::ConvertLines(text, spare, [&args] { return args.options; }, nullptr, Threads());
  std::string().swap(spare);
  if (eol == Eol::lf) ToLfLines(text);
  return WriteOutput(args.output, text) ? 0 : kExitFailed;
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
  return kExitFailed;
}
