// The shared conversion cases (fixtures/convert/cases.json), each run against its target. The
// file's strings are the document's bytes (code points 0-255 are Latin-1 bytes); its shape is
// flat, so a small reader turns it into one map of paths ("cases.3.input.text") to values.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/tag_primitives.h"
#include "plugin/convert/text.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {
namespace {

using Fields = std::map<std::string, std::string>;

// Reads the value at `at` into `out` under `path`: strings decoded, numbers and true/false as
// written, members and items of objects and arrays under "path.name" and "path.index".
void Read(std::string_view s, size_t& at, const std::string& path, Fields& out) {
  auto peek = [&] {
    while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
    return at < s.size() ? s[at] : '\0';
  };
  const char open = peek();
  if (open == '{' || open == '[') {
    ++at;
    for (int index = 0; peek() != '}' && peek() != ']' && at < s.size(); ++index) {
      Fields name{{"", std::to_string(index)}};
      if (open == '{') Read(s, at, "", name), peek(), ++at;  // the name and its ':'
      Read(s, at, path.empty() ? name[""] : path + "." + name[""], out);
      if (peek() == ',') ++at;
    }
    ++at;
  } else if (open == '"') {
    std::string& text = out[path] = "";
    for (++at; at < s.size() && s[at] != '"'; ++at) {
      const size_t simple = s[at] == '\\' ? std::string_view("nrtbf").find(s[++at]) : std::string_view::npos;
      text += simple == std::string_view::npos ? s[at] : "\n\r\t\b\f"[simple];  // the file uses no \u escapes
    }
    ++at;
  } else {
    const size_t start = at;
    while (at < s.size() && std::string_view(",}] \t\r\n").find(s[at]) == std::string_view::npos) ++at;
    out[path] = s.substr(start, at - start);
  }
}

// Every case as its own fields: "name", "target", "input" or "input.text", "options.dtd", ...
std::vector<Fields> LoadCases() {
  std::ifstream file(std::string(QUENDA_SHARED_DIR) + "/fixtures/convert/cases.json", std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  Fields all;
  size_t at = 0;
  Read(bytes.str(), at, "", all);
  std::vector<Fields> cases;
  for (std::string prefix = "cases.0."; all.count(prefix + "name"); prefix = "cases." + std::to_string(cases.size()) + ".") {
    Fields& c = cases.emplace_back();
    for (auto it = all.lower_bound(prefix); it != all.end() && it->first.starts_with(prefix); ++it) {
      c[it->first.substr(prefix.size())] = it->second;
    }
  }
  return cases;
}

ConversionOptions OptionsOf(Fields& c) {
  ConversionOptions o;
  o.completeLists = c["options.completeLists"] != "false";
  o.nonXhtmlCompatible = c["options.nonXhtmlCompatible"] != "false";
  if (c["options.docLanguage"] == "english") o.docLanguage = DocLanguage::english;
  if (c.count("options.encoding")) o.encoding = c["options.encoding"];
  if (c["options.dtd"] == "strict") o.dtd = DtdKind::strict;
  if (c["options.dtd"] == "frameset") o.dtd = DtdKind::frameset;
  return o;
}

// What the case's target gives, under the names of the expected value's members ("" for a
// plain value). The steps run on the work buffer with the caret off the start.
Fields RunCase(Fields& c) {
  const std::string& t = c["target"];
  const std::string& text = c.count("input") ? c["input"] : c["input.text"];
  const ConversionOptions options = OptionsOf(c);
  if (t == "LowerText") return {{"", LowerText(text)}};
  if (t == "FindPos") return {{"", std::to_string(FindPos(c["input.pattern"], text))}};
  if (t == "ReplaceText") {
    const ReplaceFlags flags{c["input.replaceAll"] == "true", c["input.ignoreCase"] == "true"};
    return {{"", ReplaceText(text, c["input.old"], c["input.new"], flags)}};
  }
  if (t == "NormalizeTag") return {{"", NormalizeTag(text, c["options.lowerCase"] != "false")}};
  if (t == "HasAttribute") return {{"", HasAttribute(c["input.name"], c["input.tag"]) ? "true" : "false"}};
  if (t == "RemoveQuotedAttribute") return {{"", RemoveQuotedAttribute(c["input.nameEq"], c["input.tag"])}};
  if (t == "RemoveAttribute") return {{"", RemoveAttribute(c["input.name"], c["input.tag"])}};
  if (t == "AppendAttribute") return {{"", AppendAttribute(c["input.tag"], c["input.attr"])}};
  if (t == "load") return {{"", HostLineText(text)}};
  if (t == "pipeline") {
    const std::string once = ConvertText(text, options);
    if (options.completeLists) {
      EXPECT_EQ(ConvertText(once, options), once) << "a second run changes " << c["name"];
    }
    return {{"", once}};
  }
  WorkBuffer b;
  LoadHostText(b, text);
  b.SetSelStart(c.count("input.selStart") ? std::stoll(c["input.selStart"]) : 1);
  Fields got;
  if (t == "SelectAll") b.SelectAll();
  else if (t == "FindTxt") got["found"] = b.FindTxt(c["input.pattern"]) ? "true" : "false";
  else if (t == "step1") ConvertSpecialCharacters(b);
  else if (t == "step2") NormalizeTags(b, options);
  else if (t == "step3") PlaceTitle(b);
  else if (t == "step4") CompleteLists(b, options);
  else if (t == "step5") SetXmlDeclaration(b, options);
  else if (t == "step6") InsertDocumentType(b, options);
  else ADD_FAILURE() << "no target " << t;
  if (t.starts_with("step")) {
    EXPECT_EQ(b.SelStart(), 0) << c["name"];
    EXPECT_EQ(b.SelLength(), 0) << c["name"];
  }
  got[""] = got["text"] = b.Text();
  got["selStart"] = std::to_string(b.SelStart());
  got["selLength"] = std::to_string(b.SelLength());
  got["selText"] = b.SelText();
  return got;
}

TEST(SharedCases, EveryCaseGivesItsExpectedResult) {
  std::vector<Fields> cases = LoadCases();
  EXPECT_GE(cases.size(), 128u);
  for (Fields& c : cases) {
    const Fields got = RunCase(c);
    for (const auto& [key, want] : c) {
      if (!key.starts_with("expected")) continue;
      const std::string name = key.substr(std::min<size_t>(key.size(), 9));
      EXPECT_EQ(got.count(name) ? got.at(name) : "<none>", want) << c["name"] << ": " << key;
    }
  }
  // No closing quote after the value's start: the tag stays whole, its ">" included.
  EXPECT_EQ(RemoveQuotedAttribute("checked=", "<a title=\" checked=\">"), "<a title=\" checked=\">");
}

}  // namespace
}  // namespace quenda
