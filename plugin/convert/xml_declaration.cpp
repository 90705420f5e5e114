// Step 5: an XML declaration in front of a document that has none, and the XHTML namespace with
// the language on the html start tag when it has no namespace yet.
#include <string>

#include "plugin/convert/steps.h"
#include "plugin/convert/text_lines.h"

namespace quenda {

void SetXmlDeclaration(std::string& text, const ConversionOptions& options) {
  const char* language = options.docLanguage == DocLanguage::german ? "de" : "en";

  if (FindNoCase(text, "<?xml") == std::string::npos) {
    InsertLineBefore(text, 0, "<?xml version=\"1.0\" encoding=\"" + options.encoding + "\"?>");
  }

  const size_t html = FindNoCase(text, "<html");
  if (html == std::string::npos) return;
  // An html tag that is never closed is left alone: there is no ">" to write in front of.
  const size_t close = text.find('>', html + 5);
  if (close == std::string::npos) return;
  if (FindNoCase(std::string_view(text).substr(html, close + 1 - html), "xmlns") != std::string::npos) return;
  text.insert(close, std::string(" xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"") + language + "\" lang=\"" +
                         language + "\"");
}

}  // namespace quenda
