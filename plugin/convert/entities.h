// Step 1: the characters 161 to 255 become the named entities of HTML 4.01's Latin-1 set, so
// that the document no longer depends on an 8-bit character set. 160 (no-break space) and the
// bytes below it stay as they are.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quenda {

inline constexpr int kFirstSpecialChar = 161;
inline constexpr int kSpecialCharCount = 95;

// The table as the converter window keeps it: entry i of SpecialBox1 is the character code
// 161 + i as decimal text, entry i of SpecialBox2 its replacement "&name;".
const std::array<std::string_view, kSpecialCharCount>& SpecialBox1();
const std::array<std::string_view, kSpecialCharCount>& SpecialBox2();

// The text with every byte from 161 to 255 replaced by its entity, in one pass, written to
// `out` (replacing what it held).
void ReplaceSpecialCharacters(std::string_view text, std::string& out);
std::string ReplaceSpecialCharacters(std::string_view text);

}  // namespace quenda
