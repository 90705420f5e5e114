// Step 4: list items and options get their end tags by a line rule: every line that opens an
// item ("<li", but not on a line with "<link") or an option and closes none gets the end tag
// appended. Letter case is ignored throughout.
//
// Searching from match to match as an editor would, every later match on a line meets the
// same line text and the same decision, and the search always goes on behind the line it
// completed; so a single walk over the lines gives the same text.
#include <cstring>
#include <string>
#include <string_view>

#include "plugin/convert/steps.h"
#include "plugin/convert/text.h"

namespace quenda {

namespace {

// Position of the first occurrence of `lowerPattern` in the lower-cased line, or npos.
size_t FindLower(std::string_view line, std::string_view lowerPattern, const unsigned char* lower) {
  for (size_t at = line.find('<'); at != std::string_view::npos; at = line.find('<', at + 1)) {
    if (line.size() - at < lowerPattern.size()) return std::string_view::npos;
    size_t k = 1;
    while (k < lowerPattern.size() &&
           lower[static_cast<unsigned char>(line[at + k])] == static_cast<unsigned char>(lowerPattern[k])) {
      ++k;
    }
    if (k == lowerPattern.size()) return at;
  }
  return std::string_view::npos;
}

// Whether a line that holds `opening`, and neither `closing` nor `excluded`, gets `closing` appended.
bool NeedsEnd(std::string_view line, std::string_view opening, std::string_view closing, std::string_view excluded,
              const unsigned char* lower) {
  return FindLower(line, opening, lower) != std::string_view::npos &&
         FindLower(line, closing, lower) == std::string_view::npos &&
         (excluded.empty() || FindLower(line, excluded, lower) == std::string_view::npos);
}

}  // namespace

void CompleteLists(std::string& text, const ConversionOptions& options, std::string& spare) {
  if (!options.completeLists) return;
  // Each line is decided by its own text, and the option pass sees a line as the list pass
  // left it, so both passes run together, line by line, in one walk over the text.
  const unsigned char* lower = LowerTable();
  std::string& out = spare;
  out.clear();
  out.reserve(text.size() + text.size() / 8 + 16);
  const char* data = text.data();
  const size_t size = text.size();
  for (size_t start = 0;;) {
    const void* cr = std::memchr(data + start, '\r', size - start);
    const size_t end = cr == nullptr ? size : static_cast<size_t>(static_cast<const char*>(cr) - data);
    const std::string_view line(data + start, end - start);
    out.append(line);
    const bool item = NeedsEnd(line, "<li", "</li>", "<link", lower);
    if (item) out.append("</li>");
    // The option rule looks at the line as the item rule left it; "</li>" holds none of its
    // patterns, so the original line decides.
    if (NeedsEnd(line, "<option", "</option>", "", lower)) out.append("</option>");
    if (end == size) break;
    out.append("\r\n");
    start = end + 2;
  }
  text.swap(out);
}

}  // namespace quenda
