#include "authoring/script_lint.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "authoring/windows1252.h"
#include "installer/ansi_text.h"
#include "installer/inictrl.h"
#include "installer/profile_file.h"
#include "installer/script_keys.h"

namespace authoring {

namespace {

using installer::EqualsIgnoreCase;

struct Line {
  int number;
  std::string_view text;
};

// Lines as an editor numbers them: CR LF, LF and CR each end one.
std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  for (int number = 1; pos < text.size(); ++number) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back({number, text.substr(pos, end - pos)});
    pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

int LineOf(std::string_view text, size_t offset) {
  int number = 1;
  for (const Line& line : SplitLines(text)) {
    if (static_cast<size_t>(line.text.data() - text.data()) > offset) break;
    number = line.number;
  }
  return number;
}

// Levenshtein distance of two short names, without case.
size_t Distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      bool same = installer::LowerAnsi(a[i - 1]) == installer::LowerAnsi(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// " (did you mean X?)" for the closest of the candidates within two edits, or "".
std::string Suggestion(std::string_view name, const std::vector<std::string_view>& candidates,
                       std::string_view before, std::string_view after) {
  std::string_view best;
  size_t bestDistance = 3;
  for (std::string_view candidate : candidates) {
    size_t d = Distance(name, candidate);
    if (d < bestDistance) best = candidate, bestDistance = d;
  }
  return best.empty() ? "" : " (did you mean " + std::string(before) + std::string(best) + std::string(after) + "?)";
}

std::vector<std::string_view> KnownSections() {
  std::vector<std::string_view> sections;
  for (size_t i = 0; i < installer::kScriptKeyCount; ++i) {
    if (std::find(sections.begin(), sections.end(), installer::kScriptKeys[i].section) == sections.end()) {
      sections.push_back(installer::kScriptKeys[i].section);
    }
  }
  return sections;
}

std::vector<std::string_view> KnownKeys(std::string_view section) {
  std::vector<std::string_view> keys;
  for (size_t i = 0; i < installer::kScriptKeyCount; ++i) {
    if (EqualsIgnoreCase(installer::kScriptKeys[i].section, section)) keys.push_back(installer::kScriptKeys[i].key);
  }
  return keys;
}

// The placeholders the wizard replaces in a key's text.
std::vector<std::string_view> ReplacedPlaceholders(std::string_view section, std::string_view key) {
  if (!EqualsIgnoreCase(section, "language")) return {};
  if (EqualsIgnoreCase(key, "caption") || EqualsIgnoreCase(key, "welcome")) return {"[name]"};
  if (EqualsIgnoreCase(key, "install")) return {"[name]", "[version]"};
  return {};
}

// Words in square brackets that look like placeholders: letters, digits and "_" only.
std::vector<std::string_view> Placeholders(std::string_view value) {
  std::vector<std::string_view> found;
  for (size_t open = value.find('['); open != std::string_view::npos; open = value.find('[', open + 1)) {
    size_t close = open + 1;
    while (close < value.size() && (std::isalnum(static_cast<unsigned char>(value[close])) || value[close] == '_')) {
      ++close;
    }
    if (close > open + 1 && close < value.size() && value[close] == ']') found.push_back(value.substr(open, close - open + 1));
  }
  return found;
}

class Checker {
 public:
  explicit Checker(ScriptCheck& check) : check_(check) {}

  void Warn(int line, std::string message) { check_.findings.push_back({line, false, std::move(message)}); }
  void Refuse(int line, std::string message) { check_.findings.push_back({line, true, std::move(message)}); }

  // Walks the lines. Each line is read by the installer's own profile reader on its own, so
  // what counts as a section, a key, a comment or nothing is decided by the same rules.
  void CheckLines(std::string_view text) {
    const std::vector<std::string_view> sections = KnownSections();
    std::optional<std::string> section;  // none before the first section header
    bool sectionRead = false;            // the installer reads the current section
    std::map<std::string, int> seenSections, seenKeys;
    for (const Line& line : SplitLines(text)) {
      installer::ProfileFile parsed = installer::ProfileFile::Parse(line.text);
      if (parsed.sections().size() == 2) {
        const std::string& name = parsed.sections()[1].name;
        section = name;
        seenKeys.clear();
        std::string lowered = Lower(name);
        bool known = std::any_of(sections.begin(), sections.end(), [&](auto s) { return EqualsIgnoreCase(s, name); });
        auto [earlier, first] = seenSections.emplace(lowered, line.number);
        sectionRead = known && first;
        if (!known) {
          Warn(line.number, "section [" + name + "] is never read by the installer" + Suggestion(name, sections, "[", "]"));
        } else if (!first) {
          Warn(line.number, "section [" + name + "] appears again; the installer reads only the first one (line " +
                                std::to_string(earlier->second) + ")");
        }
        continue;
      }
      if (parsed.sections()[0].keys.empty()) continue;  // empty line or comment
      const installer::ProfileFile::Key& key = parsed.sections()[0].keys[0];
      if (!section) {
        Warn(line.number, "\"" + key.name + "\" stands before the first section and is never read");
        continue;
      }
      if (!sectionRead) continue;  // the section itself has been reported
      std::vector<std::string_view> keys = KnownKeys(*section);
      bool known = std::any_of(keys.begin(), keys.end(), [&](auto k) { return EqualsIgnoreCase(k, key.name); });
      if (!known) {
        Warn(line.number, "key \"" + key.name + "\" in [" + *section + "] is never read by the installer" +
                              Suggestion(key.name, keys, "", "="));
        continue;
      }
      if (!key.value) {
        Warn(line.number, "\"" + key.name + "\" has no \"=\"; the installer reads it as absent");
        continue;
      }
      auto [earlier, first] = seenKeys.emplace(Lower(key.name), line.number);
      if (!first) {
        Warn(line.number, "key \"" + key.name + "\" appears again in [" + *section +
                              "]; the installer reads only the first one (line " + std::to_string(earlier->second) + ")");
        continue;
      }
      CheckValue(line.number, *section, key.name, *key.value);
    }
  }

  void CheckValue(int line, const std::string& section, const std::string& key, std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    if (value.size() > installer::kMaxProfileValue) {
      Warn(line, "the value of \"" + key + "\" has " + std::to_string(value.size()) +
                     " characters; the installer reads only the first " + std::to_string(installer::kMaxProfileValue));
    }
    std::vector<std::string_view> replaced = ReplacedPlaceholders(section, key);
    for (std::string_view placeholder : Placeholders(value)) {
      if (std::find(replaced.begin(), replaced.end(), placeholder) != replaced.end()) continue;
      if (placeholder == "[name]" || placeholder == "[version]") {
        Warn(line, std::string(placeholder) + " is not replaced in \"" + key + "\" and shows as it stands");
      } else {
        Warn(line, std::string(placeholder) + " in \"" + key +
                       "\" is no placeholder: only [name] and [version] are replaced (in caption, welcome and install)");
      }
    }
    int32_t number = 0;
    if (EqualsIgnoreCase(section, "Zelt") && !value.empty() && !installer::ParseScriptInteger(value, number)) {
      Warn(line, "\"Enabled=" + std::string(value) + "\" is not a number and reads as 0 (off)");
    }
  }

  void CheckPluginIdentity(std::string_view text) {
    installer::ProfileFile profile = installer::ProfileFile::Parse(text);
    int line = 1;
    for (const Line& l : SplitLines(text)) {
      installer::ProfileFile parsed = installer::ProfileFile::Parse(l.text);
      if (parsed.sections().size() == 2 && EqualsIgnoreCase(parsed.sections()[1].name, "plugin")) {
        line = l.number;
        break;
      }
    }
    for (std::string_view key : {"name", "version"}) {
      std::optional<std::string> value = profile.Lookup("plugin", key);
      if (!value) {
        Warn(line, "[plugin] " + std::string(key) + " is missing: the wizard shows \"" +
                       std::string(installer::GetScriptKey(key == "name" ? installer::ScriptKeyId::PluginName
                                                                         : installer::ScriptKeyId::PluginVersion)
                                       .defaultText) +
                       "\" in its place");
      } else if (value->empty()) {
        Warn(line, "[plugin] " + std::string(key) + " is empty: the wizard shows nothing in its place");
      }
    }
  }

 private:
  static std::string Lower(std::string text) {
    for (char& c : text) c = installer::LowerAnsi(c);
    return text;
  }
  ScriptCheck& check_;
};

}  // namespace

bool ScriptCheck::Refused(bool strict) const {
  return std::any_of(findings.begin(), findings.end(), [&](const ScriptFinding& f) { return f.refusal || strict; });
}

ScriptCheck CheckScript(std::string_view script, ScriptEncoding encoding) {
  ScriptCheck check;
  Checker checker(check);
  const bool bom = script.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  std::string_view body = bom ? script.substr(kUtf8Bom.size()) : script;
  const bool utf8 = bom || LooksLikeUtf8(body);
  if (encoding == ScriptEncoding::Utf8) {
    std::string unmappable;
    if (!Utf8ToWindows1252(body, check.text, unmappable)) {
      checker.Refuse(1, "the text is not valid UTF-8, though --script-encoding=utf8 says so");
      check.text = std::string(body);
    }
    for (const Line& line : SplitLines(body)) {
      std::string converted;
      if (Utf8ToWindows1252(line.text, converted, unmappable) && !unmappable.empty()) {
        checker.Refuse(line.number, "no Windows-1252 form for " + unmappable);
      }
    }
  } else {
    check.text = std::string(script);
    if (utf8) {
      size_t first = FirstMultiByte(body);
      checker.Refuse(first == std::string_view::npos ? 1 : LineOf(body, first),
                     std::string(bom ? "the text starts with a UTF-8 byte-order mark" : "the text is UTF-8") +
                         ": the installer reads Windows-1252 and would show each umlaut as two wrong characters; "
                         "save it as Windows-1252, or pass --script-encoding=utf8");
    }
  }
  std::string_view linted = encoding == ScriptEncoding::Utf8 ? std::string_view(check.text) : body;
  checker.CheckLines(linted);
  checker.CheckPluginIdentity(linted);
  std::stable_sort(check.findings.begin(), check.findings.end(),
                   [](const ScriptFinding& a, const ScriptFinding& b) { return a.line < b.line; });
  return check;
}

std::string FormatFinding(const std::string& scriptName, const ScriptFinding& finding) {
  return scriptName + ":" + std::to_string(finding.line) + ": " + (finding.refusal ? "error: " : "warning: ") +
         finding.message;
}

}  // namespace authoring
