// Tag normalization over a plain text (the body of step 2), for the step and for its tests.
#pragma once

#include <string>
#include <string_view>

namespace quenda {

// The text with every tag brought into XHTML form and comments passed over. Items are handled
// from left to right until a ">" that belongs to no tag comes before the next "<", or a comment
// has no end; from there on the text stays as it is.
// The result goes to `out`, replacing what it held.
void NormalizeTagsText(std::string_view text, bool nonXhtmlCompatible, std::string& out);
std::string NormalizeTagsText(std::string_view text, bool nonXhtmlCompatible);

// The two-byte marks of handled items turned back into "<" and ">", read from left to right.
std::string DecodeTagMarks(std::string_view text);

}  // namespace quenda
