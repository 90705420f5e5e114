// String primitives the conversion steps share. Positions are 1-based; 0 means not found.
// Text is single-byte Windows-1252 text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// <windows.h> maps ReplaceText to a common-dialog function; the name here is ours.
#ifdef ReplaceText
#undef ReplaceText
#endif

namespace quenda {

// 1-based position of the first occurrence of `pattern` in `text`, byte for byte; 0 when it is
// absent or when either is empty.
int64_t FindPos(std::string_view pattern, std::string_view text);

// The text lower-cased the way Windows lower-cases ANSI text in code page 1252: A-Z and the
// upper-case letters of 128-255 (Š Œ Ž Ÿ À-Ö Ø-Þ) become their lower-case forms.
std::string LowerText(std::string_view text);

// The lower-casing table itself, one entry per byte value.
const unsigned char* LowerTable();

struct ReplaceFlags {
  bool replaceAll = false;
  bool ignoreCase = false;
};

// The text with the first (or, with replaceAll, every) occurrence of `oldPattern` replaced by
// `newText`. Scanning goes on right after each match, so the new text is never searched again.
// With ignoreCase, letters compare without regard to case; the copied characters always come
// from `text` itself. An empty pattern matches nothing.
std::string ReplaceText(std::string_view text, std::string_view oldPattern, std::string_view newText,
                        ReplaceFlags flags = {});

}  // namespace quenda
