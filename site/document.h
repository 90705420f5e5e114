// One document through the conversion, as the command line reads and writes it: input bytes
// in (Latin-1 or UTF-8, any line breaks), output bytes out.
#pragma once

#include <cstddef>
#include <string>

#include "plugin/convert/options.h"

namespace quenda::site {

enum class Eol { fromInput, crlf, lf };
enum class InputEncoding { automatic, latin1, utf8 };

struct DocumentSettings {
  ConversionOptions options;
  Eol eol = Eol::fromInput;
  InputEncoding inputEncoding = InputEncoding::automatic;
  bool ascii = false;  // bytes 128-160 left by the conversion become character references
  int threads = 1;     // threads the steps may use on one big document
};

// The room a document of `size` bytes is given: the conversion writes out about a third more
// than it reads for ordinary pages, and each step asks for room to spare. Room that is never
// written costs no memory.
inline size_t WorkingSize(size_t size) { return 2 * size + 4096; }

// Converts `text` in place. `spare` is working storage that a caller converting many
// documents keeps from one to the next. False, with the reason in `error`, only when
// --input-encoding=utf8 meets invalid UTF-8.
bool ConvertDocument(std::string& text, std::string& spare, const DocumentSettings& settings, std::string& error);

}  // namespace quenda::site
