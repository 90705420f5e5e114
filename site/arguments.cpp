#include "site/arguments.h"

#include <cstdlib>
#include <string_view>

namespace quenda::site {

const char* const kUsage =
    "Usage: quenda [OPTIONS] [INPUT] [-o OUTPUT]\n"
    "       quenda [OPTIONS] --out-dir=DIR INPUT...\n"
    "       quenda [OPTIONS] --in-place [--backup=SUFFIX] INPUT...\n"
    "       quenda [OPTIONS] --check INPUT...\n"
    "Converts HTML 4 documents to XHTML 1.0. With one document: INPUT absent or \"-\" reads\n"
    "standard input; without -o the result goes to standard output. With --out-dir, --in-place\n"
    "or --check, each INPUT is a file or a folder, walked for .htm and .html files.\n"
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
    "  --ascii                              bytes 128-160 left by the conversion become\n"
    "                                       character references (128-159 as Windows-1252)\n"
    "  -o, --output=FILE                    write the result to FILE\n"
    "  --out-dir=DIR                        write converted copies below DIR, the tree mirrored\n"
    "  --in-place                           replace each file by its conversion\n"
    "  --backup=SUFFIX                      with --in-place: keep each original as FILE+SUFFIX\n"
    "  --check                              write nothing; list the files the conversion changes\n"
    "  --ext=LIST                           file name endings to convert in folders\n"
    "                                       (default htm,html; any case)\n"
    "  -j, --jobs=N                         documents converted at once (default: processors)\n"
    "  --validate                           validate each result against its XHTML 1.0 DTD\n"
    "  --report=FILE                        write validation problems to FILE\n"
    "  --quiet                              no progress line and no summary\n"
    "  --help                               show this text\n"
    "  --version                            show the version\n"
    "\n"
    "Characters beyond Latin-1 in UTF-8 input become character references (&#N;).\n"
    "Exit status: 0 done, 1 a document could not be read or written, 2 usage error,\n"
    "3 --check found documents that would change or --validate found invalid ones.\n";

namespace {

bool TakesValue(std::string_view name) {
  for (std::string_view n : {"--dtd", "--language", "--encoding", "--eol", "--input-encoding", "--output",
                             "--out-dir", "--backup", "--ext", "--jobs", "--report"}) {
    if (name == n) return true;
  }
  return false;
}

bool IsFlag(std::string_view name) {
  for (std::string_view n : {"--help", "--version", "--no-complete-lists", "--close-implied", "--no-compat", "--ascii", "--in-place",
                             "--check", "--validate", "--quiet"}) {
    if (name == n) return true;
  }
  return false;
}

// "htm,HTML,.shtml" -> {".htm", ".html", ".shtml"}; false when an entry is empty.
bool ParseExtensions(std::string_view list, std::vector<std::string>& out) {
  out.clear();
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    std::string_view item = list.substr(start, comma - start);
    if (!item.empty() && item[0] == '.') item.remove_prefix(1);
    if (item.empty()) return false;
    std::string ext = ".";
    for (char c : item) ext += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    out.push_back(ext);
    start = comma + 1;
  }
  return true;
}

bool ParseJobs(std::string_view value, int& jobs) {
  if (value.empty() || value.size() > 4) return false;
  int n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1) return false;
  jobs = n;
  return true;
}

}  // namespace

bool ParseArguments(int argc, const char* const* argv, Arguments& args, std::string& error) {
  auto fail = [&error](const std::string& problem) {
    error = problem;
    return false;
  };
  bool optionsEnded = false;
  bool encodingGiven = false;
  bool inPlace = false, check = false, outputGiven = false;
  ConversionOptions& options = args.document.options;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      args.inputs.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-o" || arg == "-j") {
      if (i + 1 >= argc) return fail("option '" + std::string(arg) + "' needs a value");
      std::string_view value = argv[++i];
      if (arg == "-j") {
        if (!ParseJobs(value, args.jobs)) return fail("invalid value '" + std::string(value) + "' for -j");
        continue;
      }
      if (value.empty()) return fail("empty output file name");
      args.output = std::string(value);
      outputGiven = true;
      continue;
    }
    if (arg.size() > 2 && arg[1] == 'o' && arg[2] != '-') {
      args.output = std::string(arg.substr(2));
      outputGiven = true;
      continue;
    }
    if (arg.size() > 2 && arg[1] == 'j') {
      if (!ParseJobs(arg.substr(2), args.jobs)) return fail("invalid value '" + std::string(arg.substr(2)) + "' for -j");
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
    if (!TakesValue(name) && !IsFlag(name)) return fail("unknown option '" + std::string(arg) + "'");
    if (TakesValue(name) && !hasValue) {
      if (i + 1 >= argc) return fail("option '" + std::string(name) + "' needs a value");
      value = argv[++i];
    }
    if (IsFlag(name) && hasValue) return fail("option '" + std::string(name) + "' takes no value");
    auto bad = [&] { return fail("invalid value '" + std::string(value) + "' for " + std::string(name)); };
    if (name == "--help") {
      args.help = true;
    } else if (name == "--version") {
      args.version = true;
    } else if (name == "--no-complete-lists") {
      options.completeLists = false;
    } else if (name == "--close-implied") {
      options.closeImpliedEndTags = true;
    } else if (name == "--no-compat") {
      options.nonXhtmlCompatible = false;
    } else if (name == "--ascii") {
      args.document.ascii = true;
    } else if (name == "--in-place") {
      inPlace = true;
    } else if (name == "--check") {
      check = true;
    } else if (name == "--validate") {
      args.validate = true;
    } else if (name == "--quiet") {
      args.quiet = true;
    } else if (name == "--dtd") {
      if (value == "transitional") options.dtd = DtdKind::transitional;
      else if (value == "strict") options.dtd = DtdKind::strict;
      else if (value == "frameset") options.dtd = DtdKind::frameset;
      else return bad();
    } else if (name == "--language") {
      if (value == "german") options.docLanguage = DocLanguage::german;
      else if (value == "english") options.docLanguage = DocLanguage::english;
      else return bad();
    } else if (name == "--encoding") {
      options.encoding = std::string(value);
      encodingGiven = true;
    } else if (name == "--eol") {
      if (value == "crlf") args.document.eol = Eol::crlf;
      else if (value == "lf") args.document.eol = Eol::lf;
      else return bad();
    } else if (name == "--input-encoding") {
      if (value == "auto") args.document.inputEncoding = InputEncoding::automatic;
      else if (value == "latin1") args.document.inputEncoding = InputEncoding::latin1;
      else if (value == "utf8") args.document.inputEncoding = InputEncoding::utf8;
      else return bad();
    } else if (name == "--output") {
      if (value.empty()) return fail("empty output file name");
      args.output = std::string(value);
      outputGiven = true;
    } else if (name == "--out-dir") {
      if (value.empty()) return fail("empty folder name for --out-dir");
      args.outDir = std::string(value);
    } else if (name == "--backup") {
      if (value.empty()) return bad();
      args.backupSuffix = std::string(value);
    } else if (name == "--ext") {
      if (!ParseExtensions(value, args.extensions)) return bad();
    } else if (name == "--jobs") {
      if (!ParseJobs(value, args.jobs)) return bad();
    } else if (name == "--report") {
      if (value.empty()) return bad();
      args.report = std::string(value);
    }
  }
  const int modes = (args.outDir.empty() ? 0 : 1) + (inPlace ? 1 : 0) + (check ? 1 : 0);
  if (modes > 1) return fail("--out-dir, --in-place and --check exclude each other");
  args.mode = !args.outDir.empty() ? Mode::outDir : inPlace ? Mode::inPlace : check ? Mode::check : Mode::single;
  if (!args.backupSuffix.empty() && args.mode != Mode::inPlace) return fail("--backup needs --in-place");
  if (!args.report.empty() && !args.validate) return fail("--report needs --validate");
  if (args.mode == Mode::single) {
    if (args.inputs.size() > 1) return fail("more than one input file: '" + args.inputs[1] + "'");
    if (args.output == "-") args.output.clear();
  } else {
    if (outputGiven) return fail("-o writes one document; it does not go with --out-dir, --in-place or --check");
    if (args.inputs.empty()) return fail("no input file or folder");
    for (const std::string& input : args.inputs) {
      if (input == "-") return fail("standard input is one document; it does not go with a whole site");
    }
  }
  // As the converter window does: choosing the language presets the encoding text.
  if (!encodingGiven) options.encoding = options.docLanguage == DocLanguage::german ? "iso-8859-1" : "UTF-8";
  return true;
}

}  // namespace quenda::site
