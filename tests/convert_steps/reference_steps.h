// Step 2 written the slow, literal way: the loop that looks for the first "<" of the whole text
// in every round. The fast step must give the same bytes on every input.
#pragma once

#include <string>
#include <string_view>

#include "plugin/convert/options.h"

namespace quenda::test {

std::string ReferenceNormalizeTag(std::string_view tag, bool lowerCase);
std::string ReferenceNormalizeTagsText(std::string_view text, bool nonXhtmlCompatible);

// The document converted with `closeImpliedEndTags` is its conversion without list completion
// with nothing but end tags of p, li, dt, dd, option, thead, tbody, tfoot, tr, td, th,
// colgroup, html, head and body inserted. Adds the number of inserted end tags to `inserted` when given.
bool OnlyEndTagsInserted(std::string_view document, ConversionOptions options, size_t* inserted = nullptr);

}  // namespace quenda::test
