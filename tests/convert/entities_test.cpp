#include "plugin/convert/entities.h"

#include <gtest/gtest.h>

#include "plugin/convert/host_text.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/text.h"
#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"

namespace quenda {
namespace {

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
  const std::pair<size_t, const char*> anchors[] = {{35, "&Auml;"}, {53, "&Ouml;"}, {59, "&Uuml;"},
                                                    {67, "&auml;"}, {85, "&ouml;"}, {91, "&uuml;"}};
  for (const auto& [index, entity] : anchors) EXPECT_EQ(entities[index], entity) << index;
}

// One pass over every byte gives what replacing the table's rows one after the other gives:
// bytes outside 161-255 (NUL, 128-160) stay.
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

TEST(SpecialCharacters, SharedCasesRewriteTheBufferAndLeaveTheCaretAtTheStart) {
  auto cases = test::ConvertCasesFor("step1");
  ASSERT_GE(cases.size(), 5u);
  for (const auto& c : cases) {
    WorkBuffer b;
    LoadHostText(b, c.InputText() + "\r\nx");
    b.SetSelStart(3);
    ConvertSpecialCharacters(b);
    EXPECT_EQ(b.Text(), c.ExpectedText() + "\r\nx") << c.name;
    EXPECT_EQ(b.SelStart(), 0) << c.name;
    EXPECT_EQ(b.SelLength(), 0) << c.name;
  }
}

}  // namespace
}  // namespace quenda
