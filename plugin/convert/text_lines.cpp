#include "plugin/convert/text_lines.h"

#include <cstring>

#include "plugin/convert/host_text.h"

namespace quenda {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

size_t FindNoCase(std::string_view text, std::string_view lowerPattern, size_t from) {
  const size_t n = lowerPattern.size();
  if (n == 0 || from > text.size() || text.size() - from < n) return std::string_view::npos;
  // The search runs from one occurrence of a character without case to the next; of those the
  // pattern has, one other than "<" and ">" is rarer in a document ("?" of "<?xml").
  size_t anchor = n;
  for (size_t k = 0; k < n; ++k) {
    const char c = lowerPattern[k];
    if (c >= 'a' && c <= 'z') continue;
    if (anchor == n || (c != '<' && c != '>')) anchor = k;
    if (c != '<' && c != '>') break;
  }
  const size_t last = text.size() - n;  // the last place a match can start
  if (anchor == n) {
    for (size_t at = from; at <= last; ++at) {
      size_t k = 0;
      while (k < n && LowerAscii(text[at + k]) == lowerPattern[k]) ++k;
      if (k == n) return at;
    }
    return std::string_view::npos;
  }
  const char key = lowerPattern[anchor];
  for (size_t at = from; at <= last; ++at) {
    const void* hit = std::memchr(text.data() + at + anchor, key, last + 1 - at);
    if (hit == nullptr) break;
    at = static_cast<size_t>(static_cast<const char*>(hit) - text.data()) - anchor;
    size_t k = 0;
    while (k < n && LowerAscii(text[at + k]) == lowerPattern[k]) ++k;
    if (k == n) return at;
  }
  return std::string_view::npos;
}

size_t LineBegin(std::string_view text, size_t position) {
  // In this text every CR is followed by its LF, so a line starts two after the CR before it.
  const size_t cr = position == 0 ? std::string_view::npos : text.rfind('\r', position - 1);
  return cr == std::string_view::npos ? 0 : cr + 2;
}

size_t LineEnd(std::string_view text, size_t lineBegin) {
  const size_t cr = text.find('\r', lineBegin);
  return cr == std::string_view::npos ? text.size() : cr;
}

bool OnlyBlanks(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

void DeleteLine(std::string& text, size_t lineBegin) {
  const size_t end = LineEnd(text, lineBegin);
  text.erase(lineBegin, (end == text.size() ? end : end + 2) - lineBegin);
}

void InsertLineBefore(std::string& text, size_t lineBegin, std::string_view line) {
  std::string inserted = HostLineText(line);
  inserted.append("\r\n");
  text.insert(lineBegin, inserted);
}

void InsertLineAfter(std::string& text, size_t position, std::string_view line) {
  const size_t end = LineEnd(text, LineBegin(text, position));
  if (end == text.size()) {
    text.append("\r\n");
    AppendHostLineText(text, line);
  } else {
    InsertLineBefore(text, end + 2, line);
  }
}

void CompleteLineBreaks(std::string& text) {
  if (!HasHostLineBreaks(text)) text = HostLineText(text);
}

}  // namespace quenda
