// The one rule that decides whether a member name may be written below a folder. The
// installer's extraction step, kuduunzip and mksfx all ask it, so they can never disagree.
#pragma once

#include <string_view>

namespace kudu {

// True for a member name that must not be written below a folder: the empty name; one that
// starts with a separator (absolute, or a network path "\\server\share"); one holding a ":"
// (a drive, "C:x" relative to a drive's current folder, or a Windows file stream); and one with
// an element made of dots and blanks only that holds two dots or more ("..", "...", ". .",
// " .."), because Windows drops trailing dots and blanks from an element and so reads all of
// those as "..". "/" and "\" both separate, whatever the platform.
bool IsUnsafeMemberName(std::string_view name);

}  // namespace kudu
