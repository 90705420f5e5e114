// The help page's text, German, written with the inline marks of the help view: bold,
// italic, underlined, highlighted titles and the alternate font for examples.
#pragma once

namespace quenda {

extern const char* const kHelpText;

}  // namespace quenda
