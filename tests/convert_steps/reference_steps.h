// Steps 2 and 4 written the slow, literal way: the loop that looks for the first "<" of the
// whole text in every round, and the list search over the work buffer from match to match. The
// fast steps must give the same bytes on every input. And what the corpus tests share.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plugin/convert/options.h"

namespace quenda::test {

std::string ReferenceNormalizeTag(std::string_view tag, bool lowerCase);
std::string ReferenceNormalizeTagsText(std::string_view text, bool nonXhtmlCompatible);
// Step 4 on the text both ways: the same bytes, and the fast step leaves the caret at the start.
bool CompleteListsMatchesLiteral(std::string_view text);

// The document converted with `closeImpliedEndTags` is its conversion without list completion
// with nothing but end tags of p, li, dt, dd, option, thead, tbody, tfoot, tr, td, th,
// colgroup, html, head and body inserted. Adds the number of inserted end tags to `inserted` when given.
bool OnlyEndTagsInserted(std::string_view document, ConversionOptions options, size_t* inserted = nullptr);

// A file's bytes, and the pages of a folder (*.html) as name and bytes, by name.
std::string ReadFile(const std::string& path);
std::vector<std::pair<std::string, std::string>> CorpusPages(const std::string& folder);

}  // namespace quenda::test
