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
};

}  // namespace quenda
