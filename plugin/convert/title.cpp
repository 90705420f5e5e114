// Step 3: the document's first title element moves to a line of its own right after the line
// that ends the head start tag.
#include <string>

#include "plugin/convert/steps.h"
#include "plugin/convert/text_lines.h"

namespace quenda {

void PlaceTitle(std::string& text) {
  const size_t open = FindNoCase(text, "<title");
  if (open == std::string::npos) return;
  // Without an end tag there is nothing to cut; the text stays as it is.
  const size_t close = FindNoCase(text, "</title>", open + 6);
  if (close == std::string::npos) return;
  const size_t end = close + 8;
  const std::string title = text.substr(open, end - open);
  text.erase(open, end - open);

  // The line it stood on goes too when nothing but blanks is left of it.
  const size_t lineBegin = LineBegin(text, open);
  const size_t lineEnd = LineEnd(text, lineBegin);
  const bool deleted = OnlyBlanks(std::string_view(text).substr(lineBegin, lineEnd - lineBegin));
  const bool wasLastLine = lineEnd == text.size();
  const std::string rest = deleted ? text.substr(lineBegin, lineEnd - lineBegin) : std::string();
  if (deleted) DeleteLine(text, lineBegin);

  const size_t head = FindNoCase(text, "<head");
  if (head == std::string::npos) {
    // No place to put it: the title goes back where it stood, and the text is as before.
    if (deleted) text.insert(lineBegin, wasLastLine ? rest : rest + "\r\n");
    text.insert(open, title);
    return;
  }
  const size_t headEnd = text.find('>', head + 5);
  InsertLineAfter(text, headEnd == std::string::npos ? head : headEnd, " " + title);
}

}  // namespace quenda
