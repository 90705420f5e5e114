// The text primitives and the host's line rule.
#include "plugin/convert/text.h"

#include <gtest/gtest.h>

#include "plugin/convert/host_text.h"
#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"

namespace quenda {
namespace {

TEST(FindPos, IsOneBasedCaseSensitiveAndZeroWhenAbsent) {
  struct Row {
    const char* pattern;
    const char* text;
    int64_t want;
  } rows[] = {{"a", "abc", 1}, {"bc", "abc", 2}, {"B", "abc", 0}, {"a", "", 0}, {"abcd", "abc", 0},
              {" checked", "<input checkedness>", 7}};
  for (const Row& r : rows) EXPECT_EQ(FindPos(r.pattern, r.text), r.want) << r.pattern << " in " << r.text;
}

TEST(LowerText, MapsTheUpperCaseLettersOfCodePage1252) {
  const unsigned char* table = LowerTable();
  for (int c = 0; c < 256; ++c) {
    int want = c;
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) want = c + 32;
    if (c == 0x8A || c == 0x8C || c == 0x8E) want = c + 16;
    if (c == 0x9F) want = 0xFF;
    EXPECT_EQ(table[c], want) << "byte " << c;
  }
  EXPECT_EQ(LowerText(std::string("A\0\xDF\xD7", 4)), std::string("a\0\xDF\xD7", 4));
}

TEST(ReplaceText, ReplacesFirstOrAllWithoutRescanning) {
  struct Row {
    const char* text;
    const char* old;
    const char* with;
    ReplaceFlags flags;
    const char* want;
  } rows[] = {
      {"a-a-a", "a", "", {.replaceAll = true}, "--"},
      {"abab", "aba", "X", {.replaceAll = true}, "Xb"},
      {"abc", "", "X", {.replaceAll = true}, "abc"},
      {"ab", "abc", "X", {}, "ab"},
      {"<BR>Br<br>", "br", "[&]", {.replaceAll = false, .ignoreCase = true}, "<[&]>Br<br>"},
      {"<BR>", "br", "x", {}, "<BR>"},
      // Ignoring case copies the unmatched text as it stands.
      {"\xC4Xx\xE4", "x", "-", {.replaceAll = true, .ignoreCase = true}, "\xC4--\xE4"},
  };
  for (const Row& r : rows) EXPECT_EQ(ReplaceText(r.text, r.old, r.with, r.flags), r.want) << r.text;
}

TEST(TextPrimitives, SharedCases) {
  int seen = 0;
  for (const auto& c : test::AllConvertCases()) {
    if (c.target == "LowerText") {
      EXPECT_EQ(LowerText(c.input.Str()), c.expected.Str()) << c.name;
    } else if (c.target == "FindPos") {
      EXPECT_EQ(FindPos(c.input["pattern"].Str(), c.input["text"].Str()), c.expected.Int()) << c.name;
    } else if (c.target == "ReplaceText") {
      ReplaceFlags flags{.replaceAll = c.input.Has("replaceAll") && c.input["replaceAll"].Bool(),
                         .ignoreCase = c.input.Has("ignoreCase") && c.input["ignoreCase"].Bool()};
      EXPECT_EQ(ReplaceText(c.input["text"].Str(), c.input["old"].Str(), c.input["new"].Str(), flags), c.expected.Str())
          << c.name;
    } else {
      continue;
    }
    ++seen;
  }
  EXPECT_GE(seen, 6);
}

// Loading replaces what the buffer held and leaves the caret at the start.
TEST(HostText, CrAndCrLfEndLinesAndALoneLfDoesNot) {
  struct Row {
    const char* in;
    const char* want;
    int64_t lines;
  } rows[] = {{"", "", 1},         {"a\nb\nc", "a\nb\nc", 1}, {"a\r\nb", "a\r\nb", 2},
              {"a\r", "a\r\n", 2}, {"\n\r\n\r", "\n\r\n\r\n", 3}};
  for (const Row& r : rows) {
    EXPECT_EQ(HostLineText(r.in), r.want) << r.in;
    WorkBuffer b;
    b.SetText("old\r\ntext");
    LoadHostText(b, r.in);
    EXPECT_EQ(b.Text(), r.want) << r.in;
    EXPECT_EQ(b.LineCount(), r.lines) << r.in;
    EXPECT_EQ(b.SelStart(), 0);
  }
  for (const auto& c : test::ConvertCasesFor("load")) EXPECT_EQ(HostLineText(c.InputText()), c.ExpectedText()) << c.name;
}

TEST(HostText, ANullDocumentIsEmptyAndTheTextEndsAtItsNul) {
  EXPECT_EQ(HostDocumentText(nullptr), "");
  EXPECT_EQ(HostDocumentText("ab\0cd"), "ab");
}

}  // namespace
}  // namespace quenda
