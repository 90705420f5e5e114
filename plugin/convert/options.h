// The options the conversion steps read.
#pragma once

#include <string>

namespace quenda {

enum class DocLanguage { german, english };
enum class DtdKind { transitional, strict, frameset };

struct ConversionOptions {
  bool completeLists = true;
  bool nonXhtmlCompatible = true;
  DocLanguage docLanguage = DocLanguage::german;
  std::string encoding = "iso-8859-1";
  DtdKind dtd = DtdKind::transitional;
  // Writes the end tags that HTML 4 lets authors leave out, where its content models end the
  // elements; the line-based list completion does not run then. The plug-in's window has no
  // such option.
  bool closeImpliedEndTags = false;
};

}  // namespace quenda
