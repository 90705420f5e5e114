// With the implied end tags, every corpus page that converted to well-formed XML still does,
// and more of them do than without; libxml2 judges, without loading any document type.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include "plugin/convert/pipeline.h"
#include "tests/convert_steps/reference_steps.h"

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
  for (const auto& [name, page] : test::CorpusPages(QUENDA_SHARED_DIR "/corpus/html")) {
    ConversionOptions options;
    options.completeLists = false;
    const bool base = WellFormed(ConvertText(page, options));
    options.closeImpliedEndTags = true;
    const bool implied = WellFormed(ConvertText(page, options));
    EXPECT_TRUE(implied || !base) << name;
    ++pages, before += base, after += implied;
  }
  EXPECT_GE(pages, 300u);
  EXPECT_GT(after, before);
  std::printf("well-formed: %zu of %zu pages without, %zu with the implied end tags\n", before, pages, after);
}

}  // namespace
}  // namespace quenda
