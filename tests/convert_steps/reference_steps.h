// Steps 2 and 4 written the slow, literal way: the loop that looks for the first "<" of the
// whole text in every round, and the list search over the work buffer line by line. The fast
// steps must give the same bytes on every input.
#pragma once

#include <string>
#include <string_view>

#include "plugin/convert/options.h"
#include "plugin/convert/work_buffer.h"

namespace quenda::test {

std::string ReferenceNormalizeTag(std::string_view tag, bool lowerCase);
std::string ReferenceTagRules(std::string_view tag, bool nonXhtmlCompatible);
std::string ReferenceNormalizeTagsText(std::string_view text, bool nonXhtmlCompatible);
void ReferenceCompleteLists(WorkBuffer& buffer, const ConversionOptions& options);

// Step 4 on the text both ways: the same bytes, and the fast step leaves the caret at the start.
bool CompleteListsMatchesLiteral(std::string_view text);

// The document converted with `closeImpliedEndTags` is its conversion without list completion
// with nothing but end tags of p, li, dt, dd, option, thead, tbody, tfoot, tr, td, th,
// colgroup, html, head and body inserted. Adds the number of inserted end tags to `inserted` when given.
bool OnlyEndTagsInserted(std::string_view document, ConversionOptions options, size_t* inserted = nullptr);

}  // namespace quenda::test
