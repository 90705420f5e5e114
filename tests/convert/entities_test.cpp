#include "plugin/convert/entities.h"

#include <gtest/gtest.h>

#include <regex>

#include "plugin/convert/steps.h"
#include "plugin/convert/text.h"

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

}  // namespace
}  // namespace quenda
