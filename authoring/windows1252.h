// UTF-8 text and the Windows ANSI code page 1252 that the installer reads its script and
// member names in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace authoring {

// The three bytes of a UTF-8 byte-order mark.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// True when the text is valid UTF-8 (no overlong forms, no surrogates) and holds at least
// one multi-byte sequence: text that Windows-1252 would show as "Ã¶" and the like.
bool LooksLikeUtf8(std::string_view text);

// The byte of the first multi-byte sequence, or npos.
size_t FirstMultiByte(std::string_view text);

// Converts valid UTF-8 to Windows-1252. Characters without a Windows-1252 form are left out
// and named in unmappable (each once, as "U+0141 'Ł'"); invalid UTF-8 makes the result false.
bool Utf8ToWindows1252(std::string_view text, std::string& result, std::string& unmappable);

}  // namespace authoring
