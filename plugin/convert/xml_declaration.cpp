// Step 5: an XML declaration in front of a document that has none, and the XHTML namespace with
// the language on the html start tag when it has no namespace yet.
#include "plugin/convert/steps.h"

#include <string>

#include "plugin/convert/text.h"

namespace quenda {

void SetXmlDeclaration(WorkBuffer& buffer, const ConversionOptions& options) {
  const std::string& encoding = options.encoding;
  const char* language = options.docLanguage == DocLanguage::german ? "de" : "en";

  if (!buffer.FindTxt("<?xml")) {
    buffer.InsertLine(0, "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>");
  }

  buffer.SetSelStart(0);
  if (buffer.FindTxt("<html")) {
    const int64_t tagStart = buffer.SelStart() + buffer.SelLength();
    // An html tag that is never closed is left alone: there is no ">" to write in front of.
    if (buffer.FindTxt(">")) {
      const int64_t tagEnd = buffer.SelStart();
      buffer.SetSelStart(tagStart);
      buffer.SetSelLength(tagEnd - tagStart);
      if (LowerText(buffer.SelText()).find("xmlns") == std::string::npos) {
        buffer.SetSelStart(tagEnd - 1);
        buffer.SetSelText(std::string(" xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"") + language +
                          "\" lang=\"" + language + "\"");
      }
    }
  }
  buffer.SetSelStart(0);
}

}  // namespace quenda
