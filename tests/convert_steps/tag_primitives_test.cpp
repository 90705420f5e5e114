#include "plugin/convert/tag_primitives.h"

#include <gtest/gtest.h>

#include "tests/convert/cases.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

TEST(NormalizeTag, QuotesSpacesAndCase) {
  const std::pair<const char*, const char*> rows[] = {
      {"<p class   =   \"x\">", "<p class=\"x\">"},
      {"", ">"},
      // Tabs and line breaks next to "=" stay; an unquoted value runs over a line break.
      {"<A\tB\t=x>", "<a\tb\t=\"x\">"},
      {"<A HREF=x\r\ny>", "<a href=\"x\r\ny\">"},
      // A quote at the start makes no empty piece: the first run is still lower-cased.
      {"\"ABC\"<X>", "abc\"<X>\""},
      {"<A B=C=D>", "<a b=\"C=D\">"},
      // A lower-case mark written by the page itself turns into "" outside values too.
      {"<A _FOLIUM![]- B=\"_folium![]-\">", "<a \"\" b=\"\"\"\">"},
      // 0x9F (capital Y with diaeresis) lower-cases to 0xFF outside values only.
      {"<P TITLE=\"\x9F\" \x9F>", "<p title=\"\x9F\" \xFF>"},
  };
  for (const auto& [in, want] : rows) {
    EXPECT_EQ(NormalizeTag(in, true), want) << in;
    EXPECT_EQ(test::ReferenceNormalizeTag(in, true), want) << "literal: " << in;
  }
  EXPECT_EQ(NormalizeTag("<TD WIDTH = 50 Class=\"\">", false), "<TD WIDTH=\"50\" Class=\"\">");
  EXPECT_EQ(NormalizeTag("<A B=\"X", false), "<A B=\"X>");
}

// The attribute primitives by name, with their arguments in their own order; HasAttribute
// gives "true" or "false".
std::string Apply(std::string_view primitive, const std::string& a, const std::string& b) {
  if (primitive == "HasAttribute") return HasAttribute(a, b) ? "true" : "false";
  if (primitive == "RemoveQuotedAttribute") return RemoveQuotedAttribute(a, b);
  if (primitive == "RemoveAttribute") return RemoveAttribute(a, b);
  if (primitive == "AppendAttribute") return AppendAttribute(a, b);
  ADD_FAILURE() << "no primitive " << primitive;
  return "";
}

TEST(TagPrimitives, AttributesAreFoundAndCutByPlainSearch) {
  struct Row {
    const char* primitive;
    const char* a;
    const char* b;
    const char* want;
  } rows[] = {
      {"HasAttribute", "checked", "<input checked>", "true"},
      {"HasAttribute", "checked", "<input CHECKED>", "false"},
      {"HasAttribute", "checked", "<inputchecked>", "false"},
      {"HasAttribute", "checked", "<input checke", "false"},
      {"RemoveQuotedAttribute", "checked=", "<input checked=\"true\" type=\"x\">", "<input type=\"x\">"},
      {"RemoveQuotedAttribute", "checked=", "<a checked=\"1\" checked=\"2\">", "<a checked=\"2\">"},
      // No closing quote after the value's start: the tag stays whole, its ">" included.
      {"RemoveQuotedAttribute", "checked=", "<a title=\" checked=\">", "<a title=\" checked=\">"},
      // The quoted form first, else the first bare name, wherever it stands.
      {"RemoveAttribute", "checked", "<input checkedness=\"1\">", "<inputness=\"1\">"},
      {"RemoveAttribute", "checked", "<img alt=\"is checked\">", "<img alt=\"is\">"},
      {"RemoveAttribute", "checked", "<input type=\"x\">", "<input type=\"x\">"},
      {"AppendAttribute", "<a b=\"x>\"", "c=\"d\"", "<a b=\"x> c=\"d\"\""},
      {"AppendAttribute", ">", "a", " a>"},
      {"AppendAttribute", "/>", "a", " a/>"},
      {"AppendAttribute", "", "a", " a"},
  };
  for (const Row& r : rows) EXPECT_EQ(Apply(r.primitive, r.a, r.b), r.want) << r.primitive << " " << r.a << " " << r.b;
}

TEST(TagPrimitives, SharedCases) {
  int seen = 0;
  for (const test::ConvertCase& c : test::AllConvertCases()) {
    const test::JsonValue& in = c.input;
    if (c.target == "NormalizeTag") {
      bool lower = c.options.Has("lowerCase") ? c.options["lowerCase"].Bool() : true;
      EXPECT_EQ(NormalizeTag(c.InputText(), lower), c.ExpectedText()) << c.name;
      EXPECT_EQ(test::ReferenceNormalizeTag(c.InputText(), lower), c.ExpectedText()) << "literal: " << c.name;
    } else if (c.target == "HasAttribute" || c.target == "RemoveQuotedAttribute" || c.target == "RemoveAttribute") {
      const std::string want = c.expected.kind == test::JsonValue::Kind::boolean ? (c.expected.Bool() ? "true" : "false")
                                                                                  : c.expected.Str();
      EXPECT_EQ(Apply(c.target, in[in.Has("nameEq") ? "nameEq" : "name"].Str(), in["tag"].Str()), want) << c.name;
    } else if (c.target == "AppendAttribute") {
      EXPECT_EQ(Apply(c.target, in["tag"].Str(), in["attr"].Str()), c.expected.Str()) << c.name;
    } else {
      continue;
    }
    ++seen;
  }
  EXPECT_GE(seen, 20);
}

}  // namespace
}  // namespace quenda
