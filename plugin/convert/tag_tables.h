// The fixed tables of tag normalization: which elements are empty, which attributes may stand
// without a value, which keyword values are forced to lower case, and the two-byte marks that
// stand for an already handled "<" or ">".
#pragma once

#include <array>
#include <string_view>

namespace quenda {

// Opening texts of the empty elements; an entry matches anywhere in the lower-cased tag.
// "<base ", "<frame " and "<col " end in a blank so that <basefont>, <frameset> and <colgroup>
// (and the bare <base>, <frame>, <col>) do not match them.
extern const std::array<std::string_view, 14> WithSlash;

// Attributes written without a value in HTML, in the order they are written out.
extern const std::array<std::string_view, 7> StandAlones;

// Attribute values, quotes included, forced to exactly this (lower-case) form.
extern const std::array<std::string_view, 29> LittleValues;

// "<" and ">" of an item already handled. Bytes 0xB1 and 0xA5 cannot be in the text after the
// special characters have become entities, so the marks are unambiguous.
extern const std::string_view TagOpenMark;
extern const std::string_view TagCloseMark;

}  // namespace quenda
