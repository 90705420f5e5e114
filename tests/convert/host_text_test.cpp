#include "plugin/convert/host_text.h"

#include <gtest/gtest.h>

#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"

namespace quenda {
namespace {

TEST(HostText, CrAndCrLfEndLinesAndALoneLfDoesNot) {
  struct Row {
    const char* in;
    const char* want;
    int64_t lines;
  } rows[] = {
      {"", "", 1},
      {"a\nb\nc", "a\nb\nc", 1},
      {"a\rb", "a\r\nb", 2},
      {"a\r\nb", "a\r\nb", 2},
      {"\r\r", "\r\n\r\n", 3},
      {"a\r", "a\r\n", 2},
      {"\n\r\n\r", "\n\r\n\r\n", 3},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(HostLineText(r.in), r.want) << r.in;
    WorkBuffer b;
    LoadHostText(b, r.in);
    EXPECT_EQ(b.Text(), r.want) << r.in;
    EXPECT_EQ(b.LineCount(), r.lines) << r.in;
    EXPECT_EQ(b.SelStart(), 0);
  }
}

TEST(HostText, ANullDocumentIsEmptyAndTheTextEndsAtItsNul) {
  EXPECT_EQ(HostDocumentText(nullptr), "");
  EXPECT_EQ(HostDocumentText("ab\0cd"), "ab");
}

TEST(HostText, LoadingReplacesWhatTheBufferHeld) {
  WorkBuffer b;
  b.SetText("old\r\ntext");
  LoadHostText(b, "new");
  EXPECT_EQ(b.Text(), "new");
}

TEST(HostText, SharedCases) {
  auto cases = test::ConvertCasesFor("load");
  ASSERT_FALSE(cases.empty());
  for (const auto& c : cases) {
    WorkBuffer b;
    LoadHostText(b, c.InputText());
    EXPECT_EQ(b.Text(), c.ExpectedText()) << c.name;
  }
}

}  // namespace
}  // namespace quenda
