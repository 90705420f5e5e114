#include "plugin/convert/tag_primitives.h"

#include <gtest/gtest.h>

#include "tests/convert/cases.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

struct TextRow {
  const char* in;
  const char* want;
};

TEST(NormalizeTag, QuotesSpacesAndCase) {
  const TextRow rows[] = {
      {"<td width=50 height=3>", "<td width=\"50\" height=\"3\">"},
      {"<a b=>", "<a b=\"\">"},
      {"<a b='x'>", "<a b=\"'x'\">"},
      {"<IMG SRC=\"Pic.GIF\" ALT=Logo>", "<img src=\"Pic.GIF\" alt=\"Logo\">"},
      {"<p class = \"x\">", "<p class=\"x\">"},
      {"<p class   =   \"x\">", "<p class=\"x\">"},
      {"<a title=\"a = b\">", "<a title=\"a=b\">"},
      {"<p class=\"\" id=\"\">", "<p class=\"\" id=\"\">"},
      {"<a title=\"a\"\"b\">", "<a title=\"a_Folium![]-b\">"},
      {"<INPUT TYPE=Checkbox NAME=a CHECKED>", "<input type=\"Checkbox\" name=\"a\" checked>"},
      // A ">" inside a quoted value ends the scan; the odd quote is closed after the ">".
      {"<A B=\"X>", "<a b=\"X>\""},
      {"<BR", "<br>"},
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
  for (const TextRow& r : rows) {
    EXPECT_EQ(NormalizeTag(r.in, true), r.want) << r.in;
    EXPECT_EQ(NormalizeTag(r.in, true), test::ReferenceNormalizeTag(r.in, true)) << r.in;
  }
}

TEST(NormalizeTag, WithoutLowerCaseOnlyQuotes) {
  EXPECT_EQ(NormalizeTag("<TD WIDTH = 50 Class=\"\">", false), "<TD WIDTH=\"50\" Class=\"\">");
  EXPECT_EQ(NormalizeTag("<A B=\"X", false), "<A B=\"X>");
}

TEST(NormalizeTag, IsStableOnItsOwnOutput) {
  const char* tags[] = {"<td width=50 height=3>", "<IMG SRC=\"Pic.GIF\" ALT=Logo>", "<p class=\"\" id=\"\">",
                        "<a b=>", "<p class = \"x\">"};
  for (const char* tag : tags) {
    std::string once = NormalizeTag(tag, true);
    EXPECT_EQ(NormalizeTag(once, true), once) << tag;
  }
}

TEST(HasAttribute, IsAPlainBlankNameSearch) {
  struct Row {
    const char* name;
    const char* tag;
    bool want;
  } rows[] = {
      {"checked", "<input checked>", true},
      {"checked", "<input checkedness=\"1\">", true},
      {"checked", "<img alt=\"is checked\">", true},
      {"checked", "<input type=\"checkbox\"\r\nchecked>", false},
      {"checked", "<input CHECKED>", false},
      {"checked", "<inputchecked>", false},
      {"checked", "<input checke", false},
  };
  for (const Row& r : rows) EXPECT_EQ(HasAttribute(r.name, r.tag), r.want) << r.tag;
}

TEST(RemoveQuotedAttribute, CutsTheFirstQuotedForm) {
  struct Row {
    const char* nameEq;
    const char* tag;
    const char* want;
  } rows[] = {
      {"checked=", "<input checked=\"true\" type=\"x\">", "<input type=\"x\">"},
      {"checked=", "<input checked=\"\" name=\"a\">", "<input name=\"a\">"},
      {"checked=", "<input checked name=\"a\">", "<input checked name=\"a\">"},
      {"checked=", "<input CHECKED=\"x\">", "<input CHECKED=\"x\">"},
      {"checked=", "<a checked=\"1\" checked=\"2\">", "<a checked=\"2\">"},
      // No closing quote after the value's start: the tag stays whole, its ">" included.
      {"checked=", "<a title=\" checked=\">", "<a title=\" checked=\">"},
  };
  for (const Row& r : rows) EXPECT_EQ(RemoveQuotedAttribute(r.nameEq, r.tag), r.want) << r.tag;
}

TEST(RemoveAttribute, CutsQuotedFormThenFirstBareName) {
  struct Row {
    const char* name;
    const char* tag;
    const char* want;
  } rows[] = {
      {"nowrap", "<td nowrap align=\"left\">", "<td align=\"left\">"},
      {"checked", "<input checked=\"true\" type=\"x\">", "<input type=\"x\">"},
      {"checked", "<input checkedness=\"1\">", "<inputness=\"1\">"},
      {"checked", "<img alt=\"is checked\">", "<img alt=\"is\">"},
      {"checked", "<input type=\"x\">", "<input type=\"x\">"},
  };
  for (const Row& r : rows) EXPECT_EQ(RemoveAttribute(r.name, r.tag), r.want) << r.tag;
}

TEST(AppendAttribute, InsertsBeforeTheClosing) {
  struct Row {
    const char* tag;
    const char* attr;
    const char* want;
  } rows[] = {
      {"<img src=\"a.gif\">", "alt=\"\"", "<img src=\"a.gif\" alt=\"\">"},
      {"<br />", "x=\"y\"", "<br x=\"y\" />"},
      {"<br/>", "x=\"y\"", "<br x=\"y\"/>"},
      {"<a b=\"x>\"", "c=\"d\"", "<a b=\"x> c=\"d\"\""},
      {">", "a", " a>"},
      {"/>", "a", " a/>"},
      {"", "a", " a"},
  };
  for (const Row& r : rows) EXPECT_EQ(AppendAttribute(r.tag, r.attr), r.want) << r.tag;
}

// The shared cases of the tag primitives.
TEST(TagPrimitives, SharedCases) {
  int seen = 0;
  for (const char* target : {"NormalizeTag", "HasAttribute", "RemoveQuotedAttribute", "RemoveAttribute", "AppendAttribute"}) {
    for (const test::ConvertCase& c : test::ConvertCasesFor(target)) {
      ++seen;
      const test::JsonValue& in = c.input;
      if (c.target == "NormalizeTag") {
        bool lower = c.options.Has("lowerCase") ? c.options["lowerCase"].Bool() : true;
        EXPECT_EQ(NormalizeTag(c.InputText(), lower), c.ExpectedText()) << c.name;
      } else if (c.target == "HasAttribute") {
        EXPECT_EQ(HasAttribute(in["name"].Str(), in["tag"].Str()), c.expected.Bool()) << c.name;
      } else if (c.target == "RemoveQuotedAttribute") {
        EXPECT_EQ(RemoveQuotedAttribute(in["nameEq"].Str(), in["tag"].Str()), c.expected.Str()) << c.name;
      } else if (c.target == "RemoveAttribute") {
        EXPECT_EQ(RemoveAttribute(in["name"].Str(), in["tag"].Str()), c.expected.Str()) << c.name;
      } else {
        EXPECT_EQ(AppendAttribute(in["tag"].Str(), in["attr"].Str()), c.expected.Str()) << c.name;
      }
    }
  }
  EXPECT_GE(seen, 20);
}

}  // namespace
}  // namespace quenda
