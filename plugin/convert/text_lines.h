// The steps' view of the whole text: lines joined by CR LF, every CR followed by its LF (a lone
// LF is an ordinary character), as the work buffer holds it. These helpers find and edit
// single lines of such a text the way an edit control's line operations do.
#pragma once

#include <string>
#include <string_view>

namespace quenda {

// First occurrence of `lowerPattern` at or after `from`, ASCII letters (only they) compared
// without regard to case; npos when there is none. The pattern holds no line break, so a match
// never spans lines, as a search in an edit control never does.
size_t FindNoCase(std::string_view text, std::string_view lowerPattern, size_t from = 0);

// Start of the line that holds the character at `position`.
size_t LineBegin(std::string_view text, size_t position);

// End of the line that starts at `lineBegin`: the position of its CR, or the end of the text.
size_t LineEnd(std::string_view text, size_t lineBegin);

// True when the text holds nothing but characters up to and including the blank.
bool OnlyBlanks(std::string_view text);

// Removes the line that starts at `lineBegin` with its break; the last line has none, so only
// its text goes and an empty last line stays.
void DeleteLine(std::string& text, size_t lineBegin);

// Inserts `line` as a line of its own in front of the line that starts at `lineBegin`.
void InsertLineBefore(std::string& text, size_t lineBegin, std::string_view line);

// Inserts `line` as a line of its own after the line that holds `position`.
void InsertLineAfter(std::string& text, size_t position, std::string_view line);

// Makes every lone CR a CR LF, as the work buffer does with any text it takes.
void CompleteLineBreaks(std::string& text);

}  // namespace quenda
