// Implied end tags: the HTML 4.01 situations by hand, random documents whose end tags were left
// out where HTML 4 allows it, and the pipeline property "take the inserted end tags out and get
// the conversion without them" on the corpus and on the random documents.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "plugin/convert/pipeline.h"
#include "plugin/convert/steps.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

std::string Complete(std::string text) {
  std::string spare;
  CompleteImpliedEndTags(text, spare);
  return text;
}

// The situations the random documents below do not produce; lists, definition lists, tables
// with head and bodies, and paragraphs before them come from those.
TEST(ImpliedEndTags, Html401Situations) {
  const struct {
    const char* in;
    const char* want;  // nullptr: unchanged
  } rows[] = {
      {"<ul>\r\n<li>one\r\n  more\r\n<li>two\r\n</ul>", "<ul>\r\n<li>one\r\n  more</li>\r\n<li>two</li>\r\n</ul>"},
      {"<p>a <h2>T</h2><p>b<pre>c</pre><p>d<div>e</div><p>", "<p>a</p> <h2>T</h2><p>b</p><pre>c</pre><p>d</p><div>e</div><p></p>"},
      {"<td><p>a\r\n</td>", "<td><p>a</p>\r\n</td>"},
      {"<body><p>a<b>b</b> c  \r\n</body>", "<body><p>a<b>b</b> c</p>  \r\n</body>"},
      {"<table><tfoot><tr><td>f<tbody><tr><td>a<td><table><tr><td>in</table>\r\n</table>",
       "<table><tfoot><tr><td>f</td></tr></tfoot><tbody><tr><td>a</td><td><table><tr><td>in</td></tr></table></td></tr></tbody>\r\n</table>"},
      {"<select><optgroup label=\"g\"><option>a<option>b</optgroup><option>c<optgroup></select>",
       "<select><optgroup label=\"g\"><option>a</option><option>b</option></optgroup><option>c</option><optgroup></select>"},
      {"<P>a<!-- <div> --><script>w('<div>')</script><a title=\"x>y<div>\">b</a>\r\n<DIV>",
       "<P>a<!-- <div> --><script>w('<div>')</script><a title=\"x>y<div>\">b</a></p>\r\n<DIV>"},
      {"<p>a<br /><img src=\"i\" alt=\"\" /><input><ins>b</ins><span>c</span><wbr><hr>",
       "<p>a<br /><img src=\"i\" alt=\"\" /><input><ins>b</ins><span>c</span><wbr></p><hr>"},
      {"<ul><li>a<li/><li>b", "<ul><li>a</li><li/><li>b</li>"},
      {"<html><head><title>t</title>\r\n<body><p>a\r\n", "<html><head><title>t</title></head>\r\n<body><p>a</p></body></html>\r\n"},
      // What no inserted end tag makes sound stays as it is.
      {"<p>a<table><tr><td>x</td></tr></table>b</p>", nullptr},  // the p holds the table
      {"<ul><li>a<li>b</li></li></ul>", nullptr},
      {"<p><b>a<div>b</div></b>c</p>", nullptr},                   // the b stands in the way
      {"<ul><li><blink>a<li>b</ul>", nullptr},                     // an unknown element
      {"<div>a</span></li></p></div>", nullptr},                   // stray end tags
      {"<dl><dt>a<p>b</dt><dd>c<dl><dt>d</dl><dt>e<dd></dl>", "<dl><dt>a<p>b</p></dt><dd>c<dl><dt>d</dt></dl></dd><dt>e</dt><dd></dd></dl>"},
      {"<p>a<!-- b", nullptr},                                     // the rest is a comment
      {"<p>a<script>b", nullptr},
      {"<p>a<b title=\"x>", nullptr},
  };
  for (const auto& r : rows) EXPECT_EQ(Complete(r.in), r.want ? r.want : r.in) << r.in;
}

// A random HTML 4 body written twice: with every end tag, and with the end tags that HTML 4 lets
// authors leave out dropped at random where the next tag ends the element.
class RandomDocument {
 public:
  explicit RandomDocument(unsigned seed) : rng_(seed) {
    Element("body", "", 0, &RandomDocument::Flow, 1, true);  // the end of the text ends it
  }
  std::string full, omitted;

 private:
  using Content = void (RandomDocument::*)(int depth);

  int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  void Both(const std::string& text) { full += text, omitted += text; }
  void Blank() {
    static const char* const kBlanks[] = {"", "", " ", "\r\n", "\r\n  ", "\t"};
    Both(kBlanks[Pick(6)]);
  }

  // An element with its start tag, `count` pieces of content (flow comes in one piece, which
  // knows what follows its last p), and its end tag; the caller says whether what comes next
  // ends it. Omissible elements end without blanks inside.
  void Element(const std::string& name, const std::string& attributes, int depth, Content content, int count,
               bool nextEndsIt) {
    static const std::string kOmissible = " p li dt dd option thead tbody tfoot tr td th colgroup body ";
    const bool omissible = kOmissible.find(" " + name + " ") != std::string::npos;
    Both("<" + name + attributes + ">");
    for (int i = 0; i < count; ++i) {
      Blank();
      (this->*content)(depth + 1);
    }
    if (!omissible) Blank();
    full += "</" + name + ">";
    if (!omissible || !nextEndsIt || Pick(4) == 0) omitted += "</" + name + ">";
  }

  void Inline(int depth) {
    switch (depth > 4 ? 0 : Pick(8)) {
      case 0: case 1: Both(Pick(2) ? "word" : "a &amp; b"); break;
      case 2: Element("b", "", depth, &RandomDocument::Inline, 1 + Pick(2), false); break;
      case 3: Both("<!-- <p> <td> -->"); break;
      case 4: Both("<script type=\"text/javascript\">w('<p><li>');</script>"); break;
      case 5: Both(Pick(2) ? "<br />" : "<img src=\"i.gif\" alt=\"<div>\" />"); break;
      case 6: Element("a", " href=\"x>y<p>\"", depth, &RandomDocument::Inline, 1, false); break;
      default:  // options are ended by an option, an optgroup or the end of their group
        Element("select", "", depth, &RandomDocument::Options, 1 + Pick(3), false);
    }
  }
  void Options(int depth) {
    Pick(3) ? Option(depth) : Element("optgroup", " label=\"g\"", depth, &RandomDocument::Option, 1 + Pick(2), false);
  }
  void Option(int depth) { Element("option", "", depth, &RandomDocument::Text, 1, true); }
  void Text(int) { Both("choice"); }

  // Block and inline content; a p may lose its end tag only when a block follows it or nothing does.
  void Flow(int depth) {
    std::vector<bool> block(1 + Pick(4));
    for (size_t i = 0; i < block.size(); ++i) block[i] = depth <= 3 && Pick(3) != 0;
    for (size_t i = 0; i < block.size(); ++i) {
      if (i > 0) Blank();
      if (!block[i]) {
        Inline(depth);
        continue;
      }
      switch (Pick(6)) {
        case 0: Element("p", "", depth, &RandomDocument::Inline, 1 + Pick(3), i + 1 == block.size() || block[i + 1]); break;
        case 1: Element(Pick(2) ? "ul" : "ol", "", depth, &RandomDocument::ListItem, 1 + Pick(4), false); break;
        case 2: Element("dl", "", depth, &RandomDocument::DefinitionItem, 1 + Pick(4), false); break;
        case 3: Table(depth); break;
        case 4: Element("div", "", depth, &RandomDocument::Flow, 1, false); break;
        default: Element("pre", "", depth, &RandomDocument::Inline, 1, false); break;
      }
    }
  }
  // Items are ended by the next one or by the end of their list.
  void ListItem(int depth) { Element("li", "", depth, &RandomDocument::Flow, 1, true); }
  void DefinitionItem(int depth) {
    Pick(2) ? Element("dt", "", depth, &RandomDocument::Inline, 1, true) : Element("dd", "", depth, &RandomDocument::Flow, 1, true);
  }
  void Cell(int depth) { Element(Pick(4) ? "td" : "th", "", depth, &RandomDocument::Flow, Pick(2), true); }
  void Row(int depth) { Element("tr", "", depth, &RandomDocument::Cell, 1 + Pick(3), true); }
  void Table(int depth) {
    Both("<table summary=\"t\">");
    if (Pick(3) == 0) Both("<caption>c</caption>");
    if (Pick(3) == 0) Element("colgroup", "", depth, &RandomDocument::Column, 1, true);
    // Rows straight after a head whose end tag is left out would belong to the head.
    const int bodies = Pick(3);
    if (Pick(3) == 0) Element("thead", "", depth, &RandomDocument::Row, 1 + Pick(3), bodies > 0);
    for (int i = 0; i < bodies; ++i) Element("tbody", "", depth, &RandomDocument::Row, 1 + Pick(3), true);
    for (int i = bodies == 0 ? 1 + Pick(3) : 0; i > 0; --i) Row(depth);
    Both("</table>");
  }
  void Column(int) { Both("<col span=\"2\" />"); }

  std::mt19937 rng_;
};

TEST(ImpliedEndTags, RandomDocumentsGetBackEveryEndTagLeftOut) {
  for (unsigned seed = 1; seed <= 1000; ++seed) {
    const RandomDocument d(seed);
    ASSERT_EQ(Complete(d.omitted), d.full) << "seed " << seed << "\n" << d.omitted;
    ASSERT_EQ(Complete(d.full), d.full) << "seed " << seed;
    ASSERT_TRUE(test::OnlyEndTagsInserted(d.omitted, ConversionOptions{})) << "seed " << seed << "\n" << d.omitted;
  }
}

}  // namespace
}  // namespace quenda
