// Checks an install script the way the installer will read it: sections and keys it never
// reads, values it would cut, placeholders it would not replace, text in the wrong encoding
// and a missing plug-in name or version. Each finding names its line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace authoring {

struct ScriptFinding {
  int line = 0;          // 1-based
  bool refusal = false;  // the script cannot be used as it is; otherwise a warning
  std::string message;
};

enum class ScriptEncoding {
  Windows1252,  // the installer's own: UTF-8 text is refused
  Utf8,         // converted to Windows-1252; characters without a form there are refused
};

struct ScriptCheck {
  std::vector<ScriptFinding> findings;
  std::string text;  // the script as the installer should get it (converted from UTF-8 if asked)
  bool Refused(bool strict) const;
};

ScriptCheck CheckScript(std::string_view script, ScriptEncoding encoding);

// "NAME:LINE: warning: message" or "NAME:LINE: error: message".
std::string FormatFinding(const std::string& scriptName, const ScriptFinding& finding);

}  // namespace authoring
