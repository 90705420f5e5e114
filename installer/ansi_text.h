// Small text helpers for the installer's single-byte (Windows-1252) texts: case folding that
// does not depend on a locale, and trimming of blanks and control characters.
#pragma once

#include <string>
#include <string_view>

namespace installer {

// The Windows-1252 lower-case form of one byte (ASCII letters, the Latin-1 capitals and the
// four capitals that code page places in 0x80..0x9F).
char LowerAnsi(char c);

// True when both texts are equal after LowerAnsi.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// True when both texts are equal with ASCII letters compared without case only.
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// The text without blanks and control characters (bytes up to 0x20) at either end.
std::string TrimBlanks(std::string_view text);

}  // namespace installer
