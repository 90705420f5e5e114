#include "plugin/convert/tag_primitives.h"

#include <gtest/gtest.h>

#include "tests/convert/cases.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

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
  // No closing quote after the value's start: the tag stays whole, its ">" included.
  EXPECT_EQ(RemoveQuotedAttribute("checked=", "<a title=\" checked=\">"), "<a title=\" checked=\">");
}

}  // namespace
}  // namespace quenda
