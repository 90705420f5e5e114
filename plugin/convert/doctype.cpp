// Step 6: whatever document type declaration the document has goes, and the chosen XHTML 1.0
// one is written as the second line, right after the XML declaration.
#include <string>

#include "plugin/convert/steps.h"
#include "plugin/convert/text_lines.h"

namespace quenda {

namespace {

struct DocumentType {
  const char* publicId;
  const char* systemId;
};

DocumentType ChosenType(DtdKind dtd) {
  switch (dtd) {
    case DtdKind::transitional:
      return {"-//W3C//DTD XHTML 1.0 Transitional//EN", "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd"};
    case DtdKind::strict:
      return {"-//W3C//DTD XHTML 1.0 Strict//EN", "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd"};
    default:
      return {"-//W3C//DTD XHTML 1.0 Frameset//EN", "http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd"};
  }
}

}  // namespace

void InsertDocumentType(std::string& text, const ConversionOptions& options) {
  const DocumentType type = ChosenType(options.dtd);
  const std::string declaration =
      std::string("<!DOCTYPE html PUBLIC \"") + type.publicId + "\" \"" + type.systemId + "\">";

  const size_t old = FindNoCase(text, "<!doctype");
  // A declaration that is never closed stays; the new one is written all the same.
  if (old != std::string::npos) {
    const size_t close = text.find('>', old + 9);
    if (close != std::string::npos) {
      text.erase(old, close + 1 - old);
      const size_t lineBegin = LineBegin(text, old);
      if (OnlyBlanks(std::string_view(text).substr(lineBegin, LineEnd(text, lineBegin) - lineBegin))) {
        DeleteLine(text, lineBegin);
      }
    }
  }
  InsertLineAfter(text, 0, declaration);
}

}  // namespace quenda
