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
  o.dtd = c["options.dtd"] == "strict" ? DtdKind::strict : c["options.dtd"] == "frameset" ? DtdKind::frameset : o.dtd;
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
  if (t.starts_with("step")) c["expected.selStart"] = c["expected.selLength"] = "0";  // the caret back at the start
  got[""] = got["text"] = b.Text();
  got["selStart"] = std::to_string(b.SelStart());
  got["selLength"] = std::to_string(b.SelLength());
  got["selText"] = b.SelText();
  return got;
}

// The edge texts the shared file leaves out, as cases of its kind; no expected text: unchanged.
Fields Hand(const char* target, const std::string& in, const std::string& want = "") {
  return {{"name", in}, {"target", target}, {"input", in}, {"expected", want.empty() ? in : want}};
}

TEST(SharedCases, EveryCaseGivesItsExpectedResult) {
  std::vector<Fields> cases = LoadCases();
  EXPECT_GE(cases.size(), 128u);
  const std::string transitional =
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">";
  cases.insert(cases.end(), {
      Hand("step3", "<head>\r\n<meta><TITLE>T</TITLE>\r\n</head>", "<head>\r\n <TITLE>T</TITLE>\r\n<meta>\r\n</head>"),
      Hand("step3", "<body>\r\n<title>T</title>\r\n<head\r\nx>", "<body>\r\n<head\r\nx>\r\n <title>T</title>"),
      // A "<head" made by the cut itself counts, as the search runs after the cut.
      Hand("step3", "<he<title>T</title>ad>\r\nx", "<head>\r\n <title>T</title>\r\nx"),
      // Where the title has no place the text stays.
      Hand("step3", "<head>\r\n<title>T\r\n<p>"),            // no end tag
      Hand("step3", "<p>\r\n  <title>T</title>"),            // no head, title alone on the last line
      Hand("step3", "\t<title>T</title>\r\n<p>"),            // no head, title alone on the first line
      Hand("step3", "<title><head></title>\r\nx"),           // the only "<head" is inside the title
      Hand("step3", "<p>a<title>\r\nT\r\n</title>b\r\n<p>"), // over three lines
      Hand("step3", "  <title>T</title> "),                  // the only line
      Hand("step4", "<li><option>x", "<li><option>x</li></option>"),
      Hand("step4", "<li>a</li><li>b\r\n<option>c</OPTION>"),
      Hand("step4", "x\r\n\r\n<li>", "x\r\n\r\n<li></li>"),
      Hand("step5", "", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"),
      // An html tag that never closes is left alone; the declaration still comes.
      Hand("step5", "<html lang=\"de\"", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<html lang=\"de\""),
      // A declaration that never closes stays; the new one is inserted all the same.
      Hand("step6", "<?xml?>\r\n<!DOCTYPE html", std::string("<?xml?>\r\n") + transitional + "\r\n<!DOCTYPE html"),
      // No closing quote after the value's start: the tag stays whole, its ">" included.
      {{"name", "open quote"}, {"target", "RemoveQuotedAttribute"}, {"input.nameEq", "checked="},
       {"input.tag", "<a title=\" checked=\">"}, {"expected", "<a title=\" checked=\">"}},
  });
  for (Fields& c : cases) {
    const Fields got = RunCase(c);
    for (const auto& [key, want] : c) {
      if (!key.starts_with("expected")) continue;
      const std::string name = key.substr(std::min<size_t>(key.size(), 9));
      EXPECT_EQ(got.count(name) ? got.at(name) : "<none>", want) << c["name"] << ": " << key;
    }
  }
  // A document type out of range reads as the last one.
  std::string text = "a";
  ConversionOptions options;
  options.dtd = static_cast<DtdKind>(7);
  InsertDocumentType(text, options);
  EXPECT_NE(text.find("XHTML 1.0 Frameset//EN"), std::string::npos);
}

}  // namespace
}  // namespace quenda
