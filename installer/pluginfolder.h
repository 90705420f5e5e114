// The HTML editors the installer knows, and how each one's plug-in folder is found; the
// Zelt registry list of installed editors. Folder texts end in the separator; the empty text
// means that nothing was found. Nothing here writes to the registry or to a file.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_text.h"
#include "platform/registry.h"

namespace installer {

struct KnownEditor {
  std::string_view displayText;  // the entry in the wizard's editor list
  std::string_view homePage;     // the editor maker's home page
};

inline constexpr int kKnownEditorCount = 5;
// In the order of the wizard's list; the "other editor" entry follows them and is none.
extern const KnownEditor kKnownEditors[kKnownEditorCount];

// The Zelt list: one value per installed editor, its name the editor, its data the folder.
inline constexpr std::string_view kZeltListKey = "\\Software\\Zelt\\Installed Editors";

// A REG_SZ value, trimmed of blanks and control characters, with a trailing separator; any
// other type (REG_EXPAND_SZ included), a missing key or value gives the empty text.
std::string ReadRegistryFolder(platform::Registry& registry, platform::RegistryRoot root, const std::string& keyPath,
                               const std::string& valueName);

// A profile-file value (empty when absent) with a trailing separator.
std::string ReadIniFolder(const std::string& filePath, const std::string& section, const std::string& key);

// Finds a program file on the fixed drives and gives its folder (see drive_search.h).
using FileFinder = std::function<std::string(const std::string& fileName)>;

// The plug-in folder of known editor 0..4, or the empty text.
std::string FindPluginFolder(int editorIndex, platform::Registry& registry, const FileFinder& findFile);
// The same with the system registry and the search of the system's fixed drives.
std::string FindPluginFolder(int editorIndex);

// Fills names and folders at equal indices from the Zelt list (registry order; text values
// unexpanded and untrimmed; a value that is not text is listed with an empty folder), then
// appends unknownEditorText with an empty folder.
void LoadZeltEditorList(platform::Registry& registry, const std::string& unknownEditorText,
                        std::vector<std::string>& names, std::vector<std::string>& folders);
}  // namespace installer
