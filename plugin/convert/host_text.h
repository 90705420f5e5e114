// How a host editor's document becomes the converter's lines: the text is split into lines at
// every CR, a CR directly followed by an LF counting as one break, and the lines are joined
// again with CR LF. A lone LF is an ordinary character inside its line.
#pragma once

#include <string>
#include <string_view>

namespace quenda {

class WorkBuffer;

// The text with every line break written as CR LF: a lone CR gains its LF, CR LF stays,
// a lone LF stays an ordinary character.
std::string HostLineText(std::string_view text);

// The same, appended to `out`.
void AppendHostLineText(std::string& out, std::string_view text);

// True when the text already has every CR followed by an LF (nothing to change).
bool HasHostLineBreaks(std::string_view text);

// The document a host hands over as a zero-terminated string; a null pointer is empty text.
std::string_view HostDocumentText(const char* document);

// Puts a host's document into an emptied work buffer the way the plug-in does: the text
// replaces the buffer's only, empty line. The caret is left at the start.
void LoadHostText(WorkBuffer& buffer, std::string_view text);

}  // namespace quenda
