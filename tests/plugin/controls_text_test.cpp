// The text logic behind the editor controls: where the four colouring marks start and stop,
// the help text's inline marks, and the rich text the controls are loaded with.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin/controls/html_highlight.h"
#include "plugin/controls/marked_text.h"
#include "plugin/controls/rtf_text.h"
#include "plugin/help_text.h"

namespace {

using quenda::controls::HtmlMark;
using quenda::controls::MarkedRun;

// The text with each run bracketed by its mark letter: T tag, Q quoted, E entity, C comment.
std::string Show(const std::string& text) {
  std::string out;
  size_t at = 0;
  for (const MarkedRun& run : quenda::controls::HighlightHtml(text)) {
    EXPECT_GE(run.start, at);
    out += text.substr(at, run.start - at);
    const char letter = "TQEC"[static_cast<int>(run.mark)];
    out += std::string(1, letter) + "[" + text.substr(run.start, run.length) + "]";
    at = run.start + run.length;
  }
  return out + text.substr(at);
}

TEST(HtmlHighlight, MarksStartAndStopWhereTheTableSays) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain text", "plain text"},
      {"<p>Hallo</p>", "T[<p>]HalloT[</p>]"},
      {"<a href=\"x.html\">", "T[<a href=]Q[\"x.html\"]T[>]"},
      {"Gr&uuml;&szlig;e", "GrE[&uuml;]E[&szlig;]e"},
      {"a <!-- <b>\"x\"&amp; --> b", "a C[<!-- <b>\"x\"&amp; -->] b"},
      {"<!-- open\r\nstill -->x", "C[<!-- open\r\nstill -->]x"},
      {"<!-- never closed", "C[<!-- never closed]"},
      {"say \"hi\" now", "say Q[\"hi\"] now"},
      // Not closed on its line: plain, so a stray mark does not colour what follows.
      {"a \" b\r\nc \" d", "a \" b\r\nc \" d"},
      {"Fish & Chips; more", "Fish & Chips; more"},
      {"&;", "&;"},
      {"<img\r\nsrc=a>", "T[<img\r\nsrc=a>]"},
      {"<unclosed", "T[<unclosed]"},
      {"<p class=\"a\r\nb\">", "T[<p class=\"a\r\nb\">]"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Show(text), expected) << text;
}

TEST(MarkedText, MarksSwitchStylesAndNest) {
  auto text = quenda::controls::ParseMarkedText("a{b}b{i}c{/b}d{/i}e {{x} {h}T{/h}{f}<li>{/f}{q}");
  EXPECT_EQ(text.plain, "abcde {x} T<li>{q}");
  ASSERT_EQ(text.spans.size(), 5u);
  EXPECT_EQ(text.plain.substr(text.spans[0].start, text.spans[0].length), "b");
  EXPECT_TRUE(text.spans[0].style.bold);
  EXPECT_TRUE(text.spans[1].style.bold && text.spans[1].style.italic);
  EXPECT_TRUE(!text.spans[2].style.bold && text.spans[2].style.italic);
  EXPECT_TRUE(text.spans[3].style.highlighted);
  EXPECT_TRUE(text.spans[4].style.alternateFont);
  EXPECT_EQ(text.plain.substr(text.spans[4].start, text.spans[4].length), "<li>");
}

// Every section title in order, bold and highlighted exactly over its words (no padding
// blanks on the dark ground); every kind of mark used and parsed.
TEST(MarkedText, HelpTextHasEverySectionAsHighlightedBoldTitle) {
  auto text = quenda::controls::ParseMarkedText(quenda::kHelpText);
  std::vector<std::string> titles;
  for (const auto& span : text.spans) {
    if (span.style.highlighted) titles.push_back(span.style.bold ? text.plain.substr(span.start, span.length) : "?");
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"Einleitung:", "XHTML-Regeln (ganz kurz):", "Anwendung:",
                                               "Was Quenda nicht kann:", "\xDC" "berpr\xFC" "fung:",
                                               "Haftungsausschlu\xDF:"}));
  EXPECT_EQ(text.plain.find('{'), std::string::npos);
  for (auto mark : {&quenda::controls::MarkedStyle::underline, &quenda::controls::MarkedStyle::alternateFont,
                    &quenda::controls::MarkedStyle::italic}) {
    EXPECT_TRUE(std::any_of(text.spans.begin(), text.spans.end(), [mark](const auto& span) { return span.style.*mark; }));
  }
  EXPECT_NE(text.plain.find("validator.w3.org"), std::string::npos);
}

TEST(RtfText, EscapesBreaksAndLatin1AndWrapsSpans) {
  quenda::controls::RtfDocument document;
  document.fonts = {{"Courier New", true}};
  document.colors = {{0, 0, 0}, {0, 64, 128}};
  document.styles.resize(2);
  document.styles[1].color = 1;
  document.styles[1].bold = true;
  std::string rtf = quenda::controls::BuildRtf("a{\\}\xE4\r\nb\rc\nd\te", {{0, 1, 1}}, document);
  EXPECT_NE(rtf.find("{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\red0\\green64\\blue128;"), std::string::npos);
  EXPECT_NE(rtf.find("{\\plain\\f0\\fs18\\cf2\\b a}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\{\\\\\\}\\'e4\\par\nb\\par\nc\\par\nd\\tab e}"), std::string::npos) << rtf;
}

}  // namespace
