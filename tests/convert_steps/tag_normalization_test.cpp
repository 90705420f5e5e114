#include "plugin/convert/tag_normalization.h"

#include <gtest/gtest.h>

#include <random>

#include "plugin/convert/pipeline.h"
#include "plugin/convert/tag_primitives.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

// Random texts made of the pieces that steer the loop, the comments and the rules, stray mark
// bytes included; each also as one tag for the tag primitive.
TEST(NormalizeTags, EqualsTheLiteralLoopOnGeneratedTexts) {
  const char* pieces[] = {"<",     ">",       "<!--",     "-->",     "\"",      "=",      " ",      "  ",      "IMG",
                          "<br",   "checked", " CHECKED", "\"TOP\"", "alt=\"",  "\r\n",   "a",      "''",      "/",
                          "<img ", "<A ",     "<INPUT ",  "\"\"",    "_Folium![]-", "_folium![]-", "selected=", "<col ",
                          "\xB1",  "\xA5",    "\x9F",     "\n",      "readonly", "=\"",   "<p>",    "\"_blank\"",
                          "\"TOP",  "TOP\"",   "\"Top\"Top\"", "<frame", "<col", "<BASE", "<link", "<!-->", "<B>", "<SCRIPT>",
                          "<HR ", "NOSHADE", "MULTIPLE", "<TEXTAREA ", "NORESIZE", "\xA5\xB1", "\xB1\xA5", "<BR", "<!-"};
  std::mt19937 random(20240613);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int count = static_cast<int>(random() % 24);
    for (int k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
    bool compat = (random() & 1) != 0;
    ASSERT_EQ(NormalizeTagsText(text, compat), test::ReferenceNormalizeTagsText(text, compat)) << text;
    ASSERT_EQ(NormalizeTag(text, compat), test::ReferenceNormalizeTag(text, compat)) << text;
  }
}

// A big text is handled in two halves at once; the halves must join exactly where the loop
// would pass with nothing put back, whatever stands around the middle.
TEST(NormalizeTags, TwoThreadsGiveTheSameText) {
  // Compared, not printed: the texts are big.
  auto sameAsOneThread = [](std::string_view text) {
    std::string two;
    NormalizeTagsText(text, true, two, 2);
    return two == NormalizeTagsText(text, true);
  };
  // The second thread starts at the first "\n<" from the middle of the text on; the halves
  // have none, so it is the one in `middle`.
  const std::string page = "<P ALIGN=JUSTIFY>Text <B>fett</B><BR>\r\nZeile <TD NOWRAP>a<INPUT TYPE=text CHECKED>\r\n";
  std::string half;
  while (half.size() < kParallelSize) half += page;
  auto build = [&half](const std::string& front, const std::string& middle) {
    return front + half + std::string(middle.size(), 'x') + middle + half;
  };
  const std::string middles[] = {
      "\n<B>",                      // an ordinary tag: the halves join
      "\n<B> > <I>",                // as well, and the second half stops at the stray ">"
      "<!-- a\n<B> -->",            // inside a comment
      "<A TITLE=\"x>\n<B>\">",      // inside a tag whose rest is put back
      "<IMG ALT=\"\n<B>\" SRC=a>",  // inside a quoted value
  };
  for (const std::string& middle : middles) EXPECT_TRUE(sameAsOneThread(build("", middle))) << middle;
  // The loop ends before the middle: at a stray ">", or at a comment without its end.
  for (const std::string& front : {std::string("a > b"), std::string("<B><!-- open")}) {
    EXPECT_TRUE(sameAsOneThread(build(front, "\n<B>"))) << front;
  }
}

// The pipeline never fails on text that is not HTML at all, and a run of "<" stays as it is.
TEST(NormalizeTags, NotHtmlAtAll) {
  std::string binary;
  for (int i = 0; i < 65536; ++i) binary += static_cast<char>((i * 2654435761u) >> 24);
  const std::string manyOpen(1 << 20, '<');
  EXPECT_EQ(NormalizeTagsText(manyOpen + ">", true), manyOpen + ">");
  EXPECT_EQ(NormalizeTagsText(binary.substr(0, 4096), true), test::ReferenceNormalizeTagsText(binary.substr(0, 4096), true));
  for (const std::string& text : {binary, manyOpen, std::string("<B>\0<TITLE>\0</TITLE>\0<HEAD>", 27), std::string("<!--"),
                                  std::string("<html"), std::string("<!DOCTYPE"), std::string("<title>")}) {
    EXPECT_EQ(ConvertText(text, ConversionOptions{}).compare(0, 5, "<?xml"), 0) << text.substr(0, 20);
  }
}

}  // namespace
}  // namespace quenda
