#include "plugin/convert/entities.h"

#include <gtest/gtest.h>

#include <regex>

#include "plugin/convert/host_text.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/text.h"
#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"

namespace quenda {
namespace {

// One pass over every byte gives what replacing the table's rows one after the other gives:
// bytes outside 161-255 (NUL, 128-160) stay. Each row is a byte and a named entity.
TEST(SpecialCharacters, OnePassEqualsTheRowByRowReplacement) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  all += "&amp; \xF6\xF6";
  std::string rowByRow = all;
  for (size_t i = 0; i < SpecialBox1().size(); ++i) {
    EXPECT_TRUE(std::regex_match(std::string(SpecialBox2()[i]), std::regex("&[A-Za-z0-9]+;"))) << SpecialBox2()[i];
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
