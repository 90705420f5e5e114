#include "plugin/convert/entities.h"

#include <gtest/gtest.h>

#include "plugin/convert/host_text.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/text.h"
#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"

namespace quenda {
namespace {

std::string Step1(std::string_view text) {
  WorkBuffer b;
  LoadHostText(b, text);
  ConvertSpecialCharacters(b);
  EXPECT_EQ(b.SelStart(), 0);
  EXPECT_EQ(b.SelLength(), 0);
  return b.Text();
}

TEST(SpecialCharacters, TableHas95EntriesFrom161To255) {
  const auto& codes = SpecialBox1();
  const auto& entities = SpecialBox2();
  ASSERT_EQ(codes.size(), 95u);
  ASSERT_EQ(entities.size(), 95u);
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(codes[i], std::to_string(161 + i));
    ASSERT_GE(entities[i].size(), 4u);
    EXPECT_EQ(entities[i].front(), '&');
    EXPECT_EQ(entities[i].back(), ';');
    for (char c : entities[i].substr(1, entities[i].size() - 2)) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << i;
  }
  struct Anchor {
    size_t index;
    const char* entity;
  } anchors[] = {{0, "&iexcl;"}, {1, "&cent;"}, {12, "&shy;"}, {54, "&times;"}, {62, "&szlig;"}, {86, "&divide;"}, {94, "&yuml;"},
                 {35, "&Auml;"}, {53, "&Ouml;"}, {59, "&Uuml;"}, {67, "&auml;"}, {85, "&ouml;"}, {91, "&uuml;"}, {8, "&copy;"}};
  for (const Anchor& a : anchors) EXPECT_EQ(entities[a.index], a.entity) << a.index;
}

TEST(SpecialCharacters, OnlyBytes161To255AreReplaced) {
  struct Row {
    int byte;
    const char* want;
  } rows[] = {{160, "\xA0"}, {161, "&iexcl;"}, {173, "&shy;"}, {215, "&times;"}, {223, "&szlig;"},
              {247, "&divide;"}, {255, "&yuml;"}, {128, "\x80"}, {159, "\x9F"}, {0, std::string("\0", 1).c_str()}};
  for (const Row& r : rows) {
    std::string in(1, static_cast<char>(r.byte));
    EXPECT_EQ(ReplaceSpecialCharacters(in), r.byte == 0 ? in : std::string(r.want)) << r.byte;
  }
}

// One pass gives what replacing the table's rows one after the other gives, for every byte.
TEST(SpecialCharacters, OnePassEqualsTheRowByRowReplacement) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  all += "&amp; \xF6\xF6";
  std::string rowByRow = all;
  for (size_t i = 0; i < SpecialBox1().size(); ++i) {
    char c = static_cast<char>(std::stoi(std::string(SpecialBox1()[i])));
    rowByRow = ReplaceText(rowByRow, std::string(1, c), SpecialBox2()[i], {.replaceAll = true});
  }
  EXPECT_EQ(ReplaceSpecialCharacters(all), rowByRow);
}

TEST(SpecialCharacters, StepRewritesTheBufferAndLeavesTheCaretAtTheStart) {
  EXPECT_EQ(Step1("Gr\xF6\xDF" "e\r\n<img alt=\"M\xFCll\">"), "Gr&ouml;&szlig;e\r\n<img alt=\"M&uuml;ll\">");
  EXPECT_EQ(Step1(""), "");
  EXPECT_EQ(Step1("plain\r\n"), "plain\r\n");
}

TEST(SpecialCharacters, SharedCases) {
  auto cases = test::ConvertCasesFor("step1");
  ASSERT_GE(cases.size(), 5u);
  for (const auto& c : cases) EXPECT_EQ(Step1(c.InputText()), c.ExpectedText()) << c.name;
}

}  // namespace
}  // namespace quenda
