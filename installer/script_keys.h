// Every section and key the installer reads from its script, with the built-in German
// default used when the key is absent. "\n" in a default is the two characters backslash
// and n; the lookup turns it into a line break like in a script value.
#pragma once

#include <string_view>

namespace installer {

enum class ScriptKeyId {
  ZeltEnabled,
  StdFont,
  AltFont,
  PluginName,
  PluginVersion,
  PluginCopyright,
  PluginWww,
  PluginEmail,
  Caption,
  Welcome,
  Install,
  SelectEditor,
  ZeltSelectEditor,
  UnknownEditor,
  Homepage,
  SearchingFolder,
  SelectFolder,
  Browse,
  ExtractingFiles,
  About,
  Next,
  Cancel,
  Ok,
  Finished,
  FileOk,
  FileError,
  ErrorCreateFolder,
  ErrorSearchingFolder,
  FinishedSuccess,
  ErrorExtract,
  Quit,
  ReallyQuit,  // the last id: script_keys.cpp checks the table against it
};

struct ScriptKey {
  ScriptKeyId id;
  std::string_view section;
  std::string_view key;
  std::string_view defaultText;  // Windows-1252 bytes
};

// The whole table, in the order above.
extern const ScriptKey kScriptKeys[];
extern const size_t kScriptKeyCount;

const ScriptKey& GetScriptKey(ScriptKeyId id);

}  // namespace installer
