// Primitives over the text of one tag ("<" up to and including its ">"): normalization of
// names, quotes and case, and the attribute edits the tag rules are built from. None of them
// keeps state or changes its arguments.
#pragma once

#include <string>
#include <string_view>

namespace quenda {

// Stands in for an empty value `""` while the tag is split at its quotes.
extern const std::string_view EmptyValueMark;  // "_Folium![]-"

// Closes the tag with ">" if needed, removes blanks around "=", quotes unquoted values and,
// with lowerCase, lower-cases everything outside double-quoted values.
std::string NormalizeTag(std::string_view tag, bool lowerCase);

// True when a blank followed by `name` occurs anywhere in the tag (values included).
bool HasAttribute(std::string_view name, std::string_view tag);

// The tag without its first ` nameEq"value"` (nameEq is for example `checked=`). When no
// closing quote follows, the tag comes back unchanged: cutting to its end would lose the ">".
std::string RemoveQuotedAttribute(std::string_view nameEq, std::string_view tag);

// The tag without its quoted form of `name` and then without the first ` name`.
std::string RemoveAttribute(std::string_view name, std::string_view tag);

// The tag with a blank and `attr` inserted before its closing `/>`, ` />` or last character.
std::string AppendAttribute(std::string_view tag, std::string_view attr);

// NormalizeTag for callers that run it many times: the result goes to `out` (replacing its
// contents); `scratch` is working storage whose capacity is kept between calls.
void NormalizeTagInto(std::string_view tag, bool lowerCase, std::string& out, std::string& scratch);

}  // namespace quenda
