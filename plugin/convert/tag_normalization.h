// Tag normalization over a plain text (the body of step 2), for the step and for its tests.
#pragma once

#include <string>
#include <string_view>

namespace quenda {

// The text with every tag brought into XHTML form and comments passed over. Items are handled
// from left to right until a ">" that belongs to no tag comes before the next "<", or a comment
// has no end; from there on the text stays as it is.
// The result goes to `out`, replacing what it held. With two or more threads, a big text is
// handled in two parts at once where the result is the same.
void NormalizeTagsText(std::string_view text, bool nonXhtmlCompatible, std::string& out, int threads);

// Texts from this size on are worth a second thread; below it the time saved is a few
// milliseconds, paid for with another block as big as half the result.
inline constexpr size_t kParallelSize = size_t{8} << 20;

std::string NormalizeTagsText(std::string_view text, bool nonXhtmlCompatible);

// The two-byte marks of handled items turned back into "<" and ">", read from left to right.
std::string DecodeTagMarks(std::string_view text);

}  // namespace quenda
