// With the implied end tags, every corpus page that converted to well-formed XML still does,
// and more of them do than without; libxml2 judges, without loading any document type.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugin/convert/pipeline.h"

namespace quenda {
namespace {

bool WellFormed(const std::string& xml) {
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  xmlDocPtr doc = xmlCtxtReadMemory(context, xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const bool wellFormed = doc != nullptr && context->wellFormed != 0;
  xmlFreeDoc(doc);
  xmlFreeParserCtxt(context);
  return wellFormed;
}

TEST(ImpliedEndTags, CorpusPagesStayWellFormed) {
  size_t pages = 0, before = 0, after = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(QUENDA_SHARED_DIR) + "/corpus/html")) {
    if (entry.path().extension() != ".html") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream page;
    page << file.rdbuf();
    ConversionOptions options;
    options.completeLists = false;
    const bool base = WellFormed(ConvertText(page.str(), options));
    options.closeImpliedEndTags = true;
    const bool implied = WellFormed(ConvertText(page.str(), options));
    EXPECT_TRUE(implied || !base) << entry.path().filename();
    ++pages, before += base, after += implied;
  }
  EXPECT_GE(pages, 300u);
  EXPECT_GT(after, before);
  std::printf("well-formed: %zu of %zu pages without, %zu with the implied end tags\n", before, pages, after);
}

}  // namespace
}  // namespace quenda
