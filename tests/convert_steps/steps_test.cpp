// Steps 3 to 6 and the whole pipeline, on small texts worked out by hand.
#include <gtest/gtest.h>

#include "plugin/convert/host_text.h"
#include "plugin/convert/pipeline.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/work_buffer.h"
#include "tests/convert/cases.h"
#include "tests/convert_steps/reference_steps.h"

namespace quenda {
namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>";
const char kTransitional[] =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">";
const char kHtmlAttributes[] = " xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"de\" lang=\"de\"";

enum class Step { title, lists, xml, doctype };

std::string RunStep(Step step, std::string_view text, const ConversionOptions& options = {}) {
  WorkBuffer b;
  LoadHostText(b, text);
  switch (step) {
    case Step::title: PlaceTitle(b); break;
    case Step::lists: CompleteLists(b, options); break;
    case Step::xml: SetXmlDeclaration(b, options); break;
    case Step::doctype: InsertDocumentType(b, options); break;
  }
  EXPECT_EQ(b.SelStart(), 0) << text;
  EXPECT_EQ(b.SelLength(), 0) << text;
  return b.Text();
}

struct Row {
  const char* in;
  std::string want;
};

TEST(PlaceTitle, MovesTheFirstTitleBehindTheHeadStartTag) {
  const Row rows[] = {
      {"<head>\r\n<title>T</title>\r\n</head>", "<head>\r\n <title>T</title>\r\n</head>"},
      {"<head>\r\n<meta><TITLE>T</TITLE>\r\n</head>", "<head>\r\n <TITLE>T</TITLE>\r\n<meta>\r\n</head>"},
      {"<head><title>T</title></head>", "<head></head>\r\n <title>T</title>"},
      {"<head>\r\n<title>\r\nT\r\n</title>\r\n</head>", "<head>\r\n <title>\r\nT\r\n</title>\r\n</head>"},
      {"<body>\r\n<title>T</title>\r\n<head\r\nx>", "<body>\r\n<head\r\nx>\r\n <title>T</title>"},
      {"<head>\r\n <title>T</title>\r\n</head>", "<head>\r\n <title>T</title>\r\n</head>"},
      // A "<head" made by the cut itself counts, as the search runs after the cut.
      {"<he<title>T</title>ad>\r\nx", "<head>\r\n <title>T</title>\r\nx"},
  };
  for (const Row& r : rows) EXPECT_EQ(RunStep(Step::title, r.in), r.want) << r.in;
}

// Where the title cannot be placed the text stays exactly as it was.
TEST(PlaceTitle, LeavesTheTextWhenTheTitleHasNoPlace) {
  const char* texts[] = {
      "<head>\r\n<title>T\r\n<p>",                 // no end tag
      "<p>\r\n<title>T</title>\r\n<p>",            // no head
      "<p>\r\n  <title>T</title>",                 // no head, title alone on the last line
      "\t<title>T</title>\r\n<p>",                 // no head, title alone on the first line
      "<title><head></title>\r\nx",                // the only "<head" is inside the title
      "<p>a<title>\r\nT\r\n</title>b\r\n<p>",      // over three lines
      "  <title>T</title> ",                      // the only line
      "",
  };
  for (const char* text : texts) EXPECT_EQ(RunStep(Step::title, text), text) << text;
}

TEST(CompleteLists, AppendsEndTagsByLine) {
  const Row rows[] = {
      {"<ul>\r\n<LI>Eins\r\n<li>Zwei</li>\r\n</ul>", "<ul>\r\n<LI>Eins</li>\r\n<li>Zwei</li>\r\n</ul>"},
      {"<li>a <link rel=x>", "<li>a <link rel=x>"},
      {"<li>a <Link rel=x>\r\n<li>b", "<li>a <Link rel=x>\r\n<li>b</li>"},
      {"<select><option>A<option>B", "<select><option>A<option>B</option>"},
      {"<li><option>x", "<li><option>x</li></option>"},
      {"<li>a</li><li>b\r\n<option>c</OPTION>", "<li>a</li><li>b\r\n<option>c</OPTION>"},
      {"x\r\n\r\n<li>", "x\r\n\r\n<li></li>"},
  };
  for (const Row& r : rows) EXPECT_EQ(RunStep(Step::lists, r.in), r.want) << r.in;
  ConversionOptions off;
  off.completeLists = false;
  EXPECT_EQ(RunStep(Step::lists, "<li>a\r\n<option>b", off), "<li>a\r\n<option>b");
}

// Lines that hold many list items, long lines, items and options mixed: the step reads each
// line once and must still give what the match-by-match search gives.
TEST(CompleteLists, EqualsTheMatchByMatchSearch) {
  std::string longLine;
  for (int i = 0; i < 2000; ++i) longLine += i % 7 == 0 ? "<LI>x</li>" : "<li>y<OPTION>z";
  const std::string texts[] = {
      longLine,
      longLine + "\r\n" + longLine + "<link>\r\n<li>a",
      "<li><li><li>\r\n<li></li><li>\r\n\r\n<Li>\n<lI>\r\n<option><option></option>",
      "a<li\r\n<li\r\n<option",
  };
  for (const std::string& text : texts) {
    WorkBuffer step;
    LoadHostText(step, text);
    CompleteLists(step, ConversionOptions{});
    WorkBuffer literal;
    LoadHostText(literal, text);
    test::ReferenceCompleteLists(literal, ConversionOptions{});
    EXPECT_EQ(step.Text(), literal.Text());
    EXPECT_EQ(step.SelStart(), 0);
  }
}

TEST(SetXmlDeclaration, DeclarationAndHtmlAttributes) {
  const Row rows[] = {
      {"", std::string(kDeclaration) + "\r\n"},
      {"<html>", std::string(kDeclaration) + "\r\n<html" + kHtmlAttributes + ">"},
      {"<!-- <?xml ?> -->\r\n<html>", std::string("<!-- <?xml ?> -->\r\n<html") + kHtmlAttributes + ">"},
      // An html tag that never closes is left alone; the declaration still comes.
      {"<html lang=\"de\"", std::string(kDeclaration) + "\r\n<html lang=\"de\""},
      {"<?xml?>\r\n<HTML Xmlns=\"x\">", "<?xml?>\r\n<HTML Xmlns=\"x\">"},
  };
  for (const Row& r : rows) EXPECT_EQ(RunStep(Step::xml, r.in), r.want) << r.in;
  std::string once = RunStep(Step::xml, "<p>\r\n<html dir=\"ltr\">");
  EXPECT_EQ(RunStep(Step::xml, once), once);
}

TEST(InsertDocumentType, ReplacesTheFirstDeclaration) {
  const Row rows[] = {
      {"<?xml?>", std::string("<?xml?>\r\n") + kTransitional},
      {"<?xml?>\r\n<!DOCTYPE HTML PUBLIC \"a\"\r\n  \"b\">\r\n<html>", std::string("<?xml?>\r\n") + kTransitional + "\r\n<html>"},
      {"<?xml?>\r\n<p><!doctype x> q", std::string("<?xml?>\r\n") + kTransitional + "\r\n<p> q"},
      // A declaration that never closes stays; the new one is inserted all the same.
      {"<?xml?>\r\n<!DOCTYPE html", std::string("<?xml?>\r\n") + kTransitional + "\r\n<!DOCTYPE html"},
  };
  for (const Row& r : rows) EXPECT_EQ(RunStep(Step::doctype, r.in), r.want) << r.in;

  ConversionOptions strict;
  strict.dtd = DtdKind::strict;
  EXPECT_EQ(RunStep(Step::doctype, "a\r\nb", strict),
            "a\r\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\nb");
  ConversionOptions outOfRange;
  outOfRange.dtd = static_cast<DtdKind>(7);
  EXPECT_NE(RunStep(Step::doctype, "a", outOfRange).find("XHTML 1.0 Frameset//EN"), std::string::npos);
  std::string once = RunStep(Step::doctype, "<?xml?>\r\n<!DOCTYPE a>\r\n<html>");
  EXPECT_EQ(RunStep(Step::doctype, once), once);
}

TEST(Steps, SharedCases) {
  for (const char* target : {"step3", "step4", "step5", "step6"}) {
    auto cases = test::ConvertCasesFor(target);
    EXPECT_GE(cases.size(), 5u) << target;
    for (const test::ConvertCase& c : cases) {
      WorkBuffer b;
      LoadHostText(b, c.InputText());
      ConversionOptions options = test::OptionsOf(c.options);
      std::string t = c.target;
      if (t == "step3") PlaceTitle(b);
      if (t == "step4") CompleteLists(b, options);
      if (t == "step5") SetXmlDeclaration(b, options);
      if (t == "step6") InsertDocumentType(b, options);
      EXPECT_EQ(b.Text(), c.ExpectedText()) << c.name;
      EXPECT_EQ(b.SelStart(), 0) << c.name;
    }
  }
}

TEST(Pipeline, SharedCasesAndASecondRun) {
  auto cases = test::ConvertCasesFor("pipeline");
  EXPECT_GE(cases.size(), 5u);
  for (const test::ConvertCase& c : cases) {
    ConversionOptions options = test::OptionsOf(c.options);
    std::string once = ConvertText(c.InputText(), options);
    EXPECT_EQ(once, c.ExpectedText()) << c.name;
    if (options.completeLists) {
      EXPECT_EQ(ConvertText(once, options), once) << c.name;
    }
  }
}

}  // namespace
}  // namespace quenda
