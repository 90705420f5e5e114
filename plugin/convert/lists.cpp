// Step 4: list items and options get their end tags by a line rule: every line that opens an
// item ("<li", but not on a line with "<link") or an option and closes none gets the end tag
// appended. Letter case is ignored throughout.
//
// The search runs over the buffer from match to match. A line that is completed leaves the
// caret at its end; a line that is left alone would be left alone for every later match in it,
// so the caret jumps to its end too. Each line is therefore read once, which keeps the step
// linear even for a page written on one long line, and nothing but the completed lines is
// rewritten.
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

// One pass: every line holding `opening` that holds neither `closing` nor `excluded` gets
// `closing` appended.
void CompleteLines(WorkBuffer& buffer, std::string_view opening, std::string_view closing, std::string_view excluded) {
  const unsigned char* lower = LowerTable();
  while (buffer.FindTxt(opening)) {
    const int64_t index = buffer.SelLine();
    std::string line = buffer.Line(index);
    bool complete = FindLower(line, closing, lower) == std::string::npos &&
                    (excluded.empty() || FindLower(line, excluded, lower) == std::string::npos);
    if (complete) {
      line.append(closing);
      buffer.ReplaceLine(index, line);  // the caret ends behind the new end tag
      continue;
    }
    // The caret always stands at a line's end before a search, so this match is the first of
    // its line; from its end the rest of the line is known.
    size_t first = FindLower(line, opening, lower);
    int64_t matchEnd = buffer.SelStart();
    int64_t restOfLine = static_cast<int64_t>(line.size() - (first + opening.size()));
    buffer.SetSelStart(matchEnd + restOfLine);
  }
  buffer.SetSelStart(0);
}

}  // namespace

void CompleteLists(WorkBuffer& buffer, const ConversionOptions& options) {
  if (options.completeLists) {
    CompleteLines(buffer, "<li", "</li>", "<link");
    CompleteLines(buffer, "<option", "</option>", "");
  }
  buffer.SetSelStart(0);
}

}  // namespace quenda
