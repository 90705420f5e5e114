#include "site/document.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "plugin/convert/pipeline.h"

namespace quenda::site {

namespace {

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

// Turns the input into the converter's bytes; false on invalid UTF-8 when UTF-8 was asked for.
bool DecodeInput(InputEncoding encoding, std::string& text, std::string& error) {
  if (encoding == InputEncoding::latin1) return true;
  const bool marked = std::string_view(text).substr(0, 3) == kByteOrderMark;
  std::string_view body = text;
  if (marked) body.remove_prefix(kByteOrderMark.size());
  bool multiByte = false;
  int64_t invalidAt = CheckUtf8(body, multiByte);
  if (encoding == InputEncoding::utf8 && invalidAt >= 0) {
    error = "invalid UTF-8 at byte offset " + std::to_string(invalidAt + (marked ? 3 : 0));
    return false;
  }
  const bool utf8 = encoding == InputEncoding::utf8 || (invalidAt < 0 && (marked || multiByte));
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

// Windows-1252 reading of the bytes 128-159; where the code page has a hole, the byte's own
// code point.
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Every byte from 128 on becomes a character reference, so the text is plain ASCII and
// well-formed whatever character set its declaration names.
void ToAscii(std::string& text, std::string& spare) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) < 0x80) ++first;
  if (first == text.size()) return;
  spare.assign(text, 0, first);
  for (size_t i = first; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      spare.push_back(static_cast<char>(b));
    } else {
      spare += "&#" + std::to_string(b < 0xA0 ? kWindows1252[b - 0x80] : b) + ";";
    }
  }
  text.swap(spare);
}

}  // namespace

bool ConvertDocument(std::string& text, std::string& spare, const DocumentSettings& settings, std::string& error) {
  if (!DecodeInput(settings.inputEncoding, text, error)) return false;
  const Eol eol = settings.eol != Eol::fromInput ? settings.eol : InputEol(text);
  spare.reserve(WorkingSize(text.size()));
  ToCrLfLines(text, spare);
  ConvertLines(text, spare, [&settings] { return settings.options; }, nullptr, settings.threads);
  if (settings.ascii) ToAscii(text, spare);
  if (eol == Eol::lf) ToLfLines(text);
  return true;
}

}  // namespace quenda::site
