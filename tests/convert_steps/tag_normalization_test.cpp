#include "plugin/convert/tag_normalization.h"

#include <gtest/gtest.h>

#include <random>

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

std::string Step2(std::string_view text, bool compat = true) {
  WorkBuffer b;
  LoadHostText(b, text);
  ConversionOptions options;
  options.nonXhtmlCompatible = compat;
  NormalizeTags(b, options);
  EXPECT_EQ(b.SelStart(), 0);
  EXPECT_EQ(b.SelLength(), 0);
  return b.Text();
}

// Each row holds for the fast step and for the literal loop alike.
void ExpectRows(std::initializer_list<std::pair<const char*, const char*>> rows) {
  for (const auto& [in, want] : rows) {
    EXPECT_EQ(Step2(in), want) << in;
    EXPECT_EQ(test::ReferenceNormalizeTagsText(in, true), want) << "literal loop: " << in;
  }
}

TEST(NormalizeTags, TagRules) {
  ExpectRows({
      {"<SELECT MULTIPLE><OPTION SELECTED>", "<select multiple=\"multiple\"><option selected=\"selected\">"},
      {"<HR NOSHADE>", "<hr noshade=\"noshade\" />"},
      {"<FRAME SRC=a NORESIZE>", "<frame src=\"a\" noresize=\"noresize\" />"},
      {"<TEXTAREA READONLY=1>", "<textarea readonly=\"readonly\">"},
      // The same keyword twice around one quote: the second is not matched again.
      {"<A C=\"\"TOP\"TOP\">", "<a c=\"\"top\"TOP\">"},
      {"<A B=\"TOP\" C=\"Top\">", "<a b=\"top\" c=\"top\">"},
      // The slash that one entry puts in makes a blank-ended entry match too.
      {"<link<frame>", "<link<frame / />"},
      {"<BR<COL>", "<br<col / />"},
      {"<IMG<BASE>", "<img<base / alt=\"\" />"},
      // Already converted tags stay as they are.
      {"<input type=\"checkbox\" checked=\"checked\" />", "<input type=\"checkbox\" checked=\"checked\" />"},
      {"<img src=\"a.gif\" alt=\"\" />", "<img src=\"a.gif\" alt=\"\" />"},
  });
  EXPECT_EQ(Step2("<IMG SRC=a ALT=\"x<br\">", false), "<img src=\"a\" alt=\"x<br\"//>");
}

TEST(NormalizeTags, LoopCommentsAndTheirEnd) {
  ExpectRows({
      {"", ""},
      {"<", "<"},
      {"><B>", "><B>"},
      {"<B><I></I></B>", "<b><i></i></b>"},
      // A ">" inside a quoted value ends the tag; the rest is not handled.
      {"<A HREF=\"x><P>", "<a href=\"x>><P>"},
      // A tag whose put-back text still holds a "<" is scanned again from that "<".
      {"<IMG ALT=\"a<br\"><P>", "<img alt=\"a<br\" / /><p> />"},
      {"<!-- if (a >> 1) --><P>", "<!-- if (a >> 1) --><p>"},
      {"<!-- a << b --><P>", "<!-- a << b --><p>"},
      {"<!-- a >< b <> c --><P>", "<!-- a >< b <> c --><p>"},
      // "<!-->" is a whole comment; the ">" after it belongs to no tag and ends the loop.
      {"<!--<<>>--><B><!-->>--><I>", "<!--<<>>--><b><!-->>--><I>"},
      {"<!--><P>", "<!--><p>"},
      {"<B><!-- x --><I>", "<b><!-- x --><i>"},
      {"<SCRIPT><!--\r\nif (a >> 1 < 2) x();\r\n// --></SCRIPT>", "<script><!--\r\nif (a >> 1 < 2) x();\r\n// --></script>"},
      // A comment that never ends: tags before it are handled, the rest stays as it is.
      {"<B>x<!-- never closed <P>", "<b>x<!-- never closed <P>"},
      {"<!-- a > b", "<!-- a > b"},
  });
}

TEST(NormalizeTags, MarksDecodeFromTheLeft) {
  EXPECT_EQ(DecodeTagMarks("\xA5\xB1\xA5\xB1"), ">>");
  EXPECT_EQ(DecodeTagMarks("\xB1\xA5\xB1\xA5"), "<<");
  EXPECT_EQ(DecodeTagMarks("\xA5\xB1\xB1\xA5"), "><");
  EXPECT_EQ(DecodeTagMarks("\xA5\xA5\xB1x\xB1"), "\xA5>x\xB1");
}

TEST(NormalizeTags, SharedCasesForTheStepAndTheLiteralLoop) {
  auto cases = test::ConvertCasesFor("step2");
  EXPECT_GE(cases.size(), 30u);
  for (const test::ConvertCase& c : cases) {
    const bool compat = test::OptionsOf(c.options).nonXhtmlCompatible;
    EXPECT_EQ(Step2(c.InputText(), compat), c.ExpectedText()) << c.name;
    EXPECT_EQ(test::ReferenceNormalizeTagsText(c.InputText(), compat), c.ExpectedText()) << "literal loop: " << c.name;
  }
}

// Random texts made of the pieces that steer the loop and the rules, stray mark bytes included.
TEST(NormalizeTags, EqualsTheLiteralLoopOnGeneratedTexts) {
  const char* pieces[] = {"<",     ">",       "<!--",     "-->",     "\"",      "=",      " ",      "  ",      "IMG",
                          "<br",   "checked", " CHECKED", "\"TOP\"", "alt=\"",  "\r\n",   "a",      "''",      "/",
                          "<img ", "<A ",     "<INPUT ",  "\"\"",    "_Folium![]-", "_folium![]-", "selected=", "<col ",
                          "\xB1",  "\xA5",    "\x9F",     "\n",      "readonly", "=\"",   "<p>",    "\"_blank\"",
                          "\"TOP",  "TOP\"",   "\"Top\"Top\"", "<frame", "<col", "<BASE", "<link"};
  std::mt19937 random(20240613);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int count = static_cast<int>(random() % 24);
    for (int k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
    bool compat = (random() & 1) != 0;
    ASSERT_EQ(NormalizeTagsText(text, compat), test::ReferenceNormalizeTagsText(text, compat)) << text;
  }
}

// A big text is handled in two halves at once; the halves must join exactly where the loop
// would pass with nothing put back, whatever stands around the middle.
TEST(NormalizeTags, TwoThreadsGiveTheSameText) {
  // Big texts: a failure names the first differing offset instead of printing them.
  auto sameAsOneThread = [](std::string_view text) -> testing::AssertionResult {
    std::string two;
    NormalizeTagsText(text, true, two, 2);
    const std::string one = NormalizeTagsText(text, true);
    if (one == two) return testing::AssertionSuccess();
    size_t at = 0;
    while (at < one.size() && at < two.size() && one[at] == two[at]) ++at;
    return testing::AssertionFailure() << "results differ from offset " << at << " (sizes " << one.size() << ", "
                                       << two.size() << ")";
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

// Step 2 keeps such text or gives the literal loop's bytes, and the pipeline never fails on it.
TEST(NormalizeTags, NotHtmlAtAll) {
  std::string binary;
  for (int i = 0; i < 65536; ++i) binary += static_cast<char>((i * 2654435761u) >> 24);
  const std::string manyOpen(1 << 20, '<');
  const std::string quotes = "<a b=\"c d=\"e f=\"g h=\"i>" + std::string(1000, '"') + "<b c=\">";
  const std::string nul("<B>\0<I>\0", 8);
  EXPECT_EQ(NormalizeTagsText(manyOpen, true), manyOpen);
  EXPECT_EQ(NormalizeTagsText(manyOpen + ">", true), manyOpen + ">");
  EXPECT_EQ(NormalizeTagsText(nul, true), std::string("<b>\0<i>\0", 8));
  for (const std::string& text : {binary.substr(0, 4096), quotes}) {
    EXPECT_EQ(NormalizeTagsText(text, true), test::ReferenceNormalizeTagsText(text, true));
  }
  for (const std::string& text : {binary, manyOpen, quotes, std::string("<B>\0<TITLE>\0</TITLE>\0<HEAD>", 27),
                                  std::string("<"), std::string("<!--"), std::string("<html"), std::string("<!DOCTYPE"),
                                  std::string("<title>")}) {
    EXPECT_EQ(ConvertText(text, ConversionOptions{}).compare(0, 5, "<?xml"), 0) << text.substr(0, 20);
  }
}

}  // namespace
}  // namespace quenda
