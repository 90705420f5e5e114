// The whole conversion on arbitrary bytes and options: it must end without a fault, the
// one-pass steps must give the bytes of their literal algorithms, and the implied end tags must
// insert nothing but end tags.
#include "plugin/convert/entities.h"
#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/convert/tag_normalization.h"
#include "plugin/convert/tag_primitives.h"
#include "tests/convert_steps/reference_steps.h"

static void Check(bool ok) { if (!ok) __builtin_trap(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quenda;
  if (size == 0) return 0;
  // The first byte picks the options, the rest is the document.
  const uint8_t flags = data[0];
  ConversionOptions options;
  options.completeLists = (flags & 1) != 0;
  options.nonXhtmlCompatible = (flags & 2) != 0;
  options.docLanguage = (flags & 4) != 0 ? DocLanguage::english : DocLanguage::german;
  options.dtd = static_cast<DtdKind>((flags >> 3) & 3);  // 3 lies outside the list
  static const char* const kEncodings[] = {"iso-8859-1", "UTF-8", "", "\"<>\r\n"};
  options.encoding = kEncodings[(flags >> 5) & 3];
  options.closeImpliedEndTags = (flags & 0x80) != 0;
  const std::string_view document(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string out = ConvertText(document, options);
  // Whatever the document, the new document type is its second line.
  const size_t firstBreak = out.find("\r\n");
  Check(firstBreak != std::string::npos && out.compare(firstBreak + 2, 22, "<!DOCTYPE html PUBLIC ") == 0);
  // The implied end tags only ever insert end tags into the conversion without them.
  Check(test::OnlyEndTagsInserted(document, options));
  // The literal loops cost the square of the size; they are compared on small inputs only.
  if (document.size() > 4096) return 0;
  const std::string lines = HostLineText(document);
  const std::string afterStep1 = ReplaceSpecialCharacters(lines);
  const bool compat = options.nonXhtmlCompatible;
  const std::string normalized = NormalizeTagsText(afterStep1, compat);
  Check(normalized == test::ReferenceNormalizeTagsText(afterStep1, compat));
  Check(test::CompleteListsMatchesLiteral(normalized));
  // Without step 1 the text may hold bytes that look like marks.
  Check(NormalizeTagsText(lines, compat) == test::ReferenceNormalizeTagsText(lines, compat));
  for (bool lower : {true, false}) Check(NormalizeTag(document, lower) == test::ReferenceNormalizeTag(document, lower));
  return 0;
}
