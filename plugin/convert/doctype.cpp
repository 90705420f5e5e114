// Step 6: whatever document type declaration the document has goes, and the chosen XHTML 1.0
// one is written as the second line, right after the XML declaration.
#include "plugin/convert/steps.h"

#include <string>

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

bool OnlyBlanks(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

}  // namespace

void InsertDocumentType(WorkBuffer& buffer, const ConversionOptions& options) {
  const DocumentType type = ChosenType(options.dtd);
  const std::string declaration =
      std::string("<!DOCTYPE html PUBLIC \"") + type.publicId + "\" \"" + type.systemId + "\">";

  if (buffer.FindTxt("<!Doctype")) {
    const int64_t declStart = buffer.SelStart() + buffer.SelLength();
    const int64_t declLine = buffer.SelLine();
    // A declaration that is never closed stays; the new one is written all the same.
    if (buffer.FindTxt(">")) {
      const int64_t declEnd = buffer.SelStart();
      buffer.SetSelStart(declStart);
      buffer.SetSelLength(declEnd - declStart);
      buffer.SetSelText("");
      if (OnlyBlanks(buffer.Line(declLine))) buffer.DeleteLine(declLine);
    }
  }
  buffer.InsertLine(1, declaration);
  buffer.SetSelStart(0);
}

}  // namespace quenda
