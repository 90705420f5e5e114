// Steps 3 to 6 on the edge texts the shared cases leave out.
#include <gtest/gtest.h>

#include "plugin/convert/host_text.h"
#include "plugin/convert/steps.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {
namespace {

const std::string kTransitional =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">";

enum class Step { title, lists, xml, doctype };

std::string RunStep(Step step, std::string_view text, const ConversionOptions& options = {}) {
  WorkBuffer b;
  LoadHostText(b, text);
  b.SetSelStart(1);
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
  Step step;
  const char* in;
  std::string want;  // empty: the text stays as it was
};

TEST(Steps, HandWorkedTexts) {
  const Row rows[] = {
      {Step::title, "<head>\r\n<meta><TITLE>T</TITLE>\r\n</head>", "<head>\r\n <TITLE>T</TITLE>\r\n<meta>\r\n</head>"},
      {Step::title, "<body>\r\n<title>T</title>\r\n<head\r\nx>", "<body>\r\n<head\r\nx>\r\n <title>T</title>"},
      // A "<head" made by the cut itself counts, as the search runs after the cut.
      {Step::title, "<he<title>T</title>ad>\r\nx", "<head>\r\n <title>T</title>\r\nx"},
      // Where the title has no place the text stays.
      {Step::title, "<head>\r\n<title>T\r\n<p>", ""},            // no end tag
      {Step::title, "<p>\r\n  <title>T</title>", ""},            // no head, title alone on the last line
      {Step::title, "\t<title>T</title>\r\n<p>", ""},            // no head, title alone on the first line
      {Step::title, "<title><head></title>\r\nx", ""},           // the only "<head" is inside the title
      {Step::title, "<p>a<title>\r\nT\r\n</title>b\r\n<p>", ""}, // over three lines
      {Step::title, "  <title>T</title> ", ""},                  // the only line
      {Step::lists, "<li><option>x", "<li><option>x</li></option>"},
      {Step::lists, "<li>a</li><li>b\r\n<option>c</OPTION>", ""},
      {Step::lists, "x\r\n\r\n<li>", "x\r\n\r\n<li></li>"},
      {Step::xml, "", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"},
      // An html tag that never closes is left alone; the declaration still comes.
      {Step::xml, "<html lang=\"de\"", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<html lang=\"de\""},
      // A declaration that never closes stays; the new one is inserted all the same.
      {Step::doctype, "<?xml?>\r\n<!DOCTYPE html", std::string("<?xml?>\r\n") + kTransitional + "\r\n<!DOCTYPE html"},
  };
  for (const Row& r : rows) EXPECT_EQ(RunStep(r.step, r.in), r.want.empty() ? r.in : r.want) << r.in;
  ConversionOptions outOfRange;
  outOfRange.dtd = static_cast<DtdKind>(7);
  EXPECT_NE(RunStep(Step::doctype, "a", outOfRange).find("XHTML 1.0 Frameset//EN"), std::string::npos);
}

}  // namespace
}  // namespace quenda
