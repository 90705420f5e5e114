#include "plugin/convert/work_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "plugin/convert/host_text.h"
#include "tests/convert/cases.h"

namespace quenda {
namespace {

void Load(WorkBuffer& b, std::string_view text, int64_t caret = 0) {
  LoadHostText(b, text);
  b.SetSelStart(caret);
}

TEST(WorkBuffer, EmptyTextHasOneEmptyLine) {
  WorkBuffer b;
  EXPECT_EQ(b.LineCount(), 1);
  EXPECT_EQ(b.Line(0), "");
  EXPECT_EQ(b.Line(1), "");
  b.SelectAll();
  EXPECT_EQ(b.SelStart(), 0);
  EXPECT_EQ(b.SelLength(), 0);
  EXPECT_EQ(b.SelText(), "");
  EXPECT_EQ(b.SelLine(), 0);
  EXPECT_FALSE(b.FindTxt("a"));
}

TEST(WorkBuffer, SelectAllPutsTheCaretAtTheEndWithANegativeLength) {
  WorkBuffer b;
  Load(b, "a\r\nb", 1);
  b.SelectAll();
  EXPECT_EQ(b.SelStart(), 4);
  EXPECT_EQ(b.SelLength(), -4);
  EXPECT_EQ(b.SelText(), "a\r\nb");
}

TEST(WorkBuffer, LineBreaksAreCrLfAndALoneLfIsAnOrdinaryCharacter) {
  WorkBuffer b;
  b.SetText("a\rb\nc\r\nd\r\r\n");
  EXPECT_EQ(b.Text(), "a\r\nb\nc\r\nd\r\n\r\n");
  EXPECT_EQ(b.Length(), 13);
  ASSERT_EQ(b.LineCount(), 5);
  EXPECT_EQ(b.Line(0), "a");
  EXPECT_EQ(b.Line(1), "b\nc");
  EXPECT_EQ(b.Line(2), "d");
  EXPECT_EQ(b.Line(3), "");
  EXPECT_EQ(b.Line(4), "");
  EXPECT_EQ(b.Line(5), "");
  EXPECT_EQ(b.Line(-1), "");
}

TEST(WorkBuffer, SelStartAndSelLengthAreClamped) {
  WorkBuffer b;
  Load(b, "ab\r\ncd");  // length 6
  struct Row {
    int64_t start, length, wantStart, wantLength;
    const char* selected;
  } rows[] = {
      {-5, 0, 0, 0, ""},       {100, 0, 6, 0, ""},     {2, 10, 2, 4, "\r\ncd"},
      {2, -10, 2, -2, "ab"},   {4, -3, 4, -3, "b\r\n"}, {6, 1, 6, 0, ""},
      {0, 6, 0, 6, "ab\r\ncd"}, {3, 0, 3, 0, ""},
  };
  for (const Row& r : rows) {
    b.SetSelStart(r.start);
    b.SetSelLength(r.length);
    EXPECT_EQ(b.SelStart(), r.wantStart) << r.start << "," << r.length;
    EXPECT_EQ(b.SelLength(), r.wantLength) << r.start << "," << r.length;
    EXPECT_EQ(b.SelText(), r.selected) << r.start << "," << r.length;
  }
  b.SetSelLength(2);
  b.SetSelStart(1);
  EXPECT_EQ(b.SelLength(), 0) << "assigning SelStart empties the selection";
}

TEST(WorkBuffer, AssigningSelTextReplacesTheSelectionAndLeavesTheCaretBehindIt) {
  struct Row {
    const char* text;
    int64_t start, length;
    const char* insert;
    const char* want;
    int64_t wantCaret;
  } rows[] = {
      {"abcdef", 4, -3, "XY", "aXYef", 3},
      {"abcdef", 1, 3, "XY", "aXYef", 3},
      {"abc", 1, 0, "Z", "aZbc", 2},
      {"abc", 3, 0, "Z", "abcZ", 4},
      {"ab\r\ncd", 1, 4, "", "ad", 1},
      {"ab", 1, 0, "1\r2\r\n3\n4", "a1\r\n2\r\n3\n4b", 10},
      {"", 0, 0, "\r", "\r\n", 2},
      {"a\r\nb", 0, 4, "x", "x", 1},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text, r.start);
    b.SetSelLength(r.length);
    b.SetSelText(r.insert);
    EXPECT_EQ(b.Text(), r.want) << r.text << " <- " << r.insert;
    EXPECT_EQ(b.SelStart(), r.wantCaret) << r.text << " <- " << r.insert;
    EXPECT_EQ(b.SelLength(), 0);
  }
}

TEST(WorkBuffer, SelLineCountsTheBreaksBeforeTheCaret) {
  WorkBuffer b;
  Load(b, "ab\r\n\r\ncd");  // lines "ab", "", "cd"
  const int64_t want[] = {0, 0, 0, 0, 1, 1, 2, 2, 2};
  for (int64_t p = 0; p <= 8; ++p) {
    b.SetSelStart(p);
    EXPECT_EQ(b.SelLine(), want[p]) << "position " << p;
  }
}

TEST(WorkBuffer, ReplaceLineWorksThroughTheSelection) {
  struct Row {
    const char* text;
    int64_t index;
    const char* line;
    const char* want;
    int64_t wantCaret;
  } rows[] = {
      {"a\r\nbb\r\nc", 1, "X", "a\r\nX\r\nc", 4},
      {"a\r\nbb\r\nc", 2, "last", "a\r\nbb\r\nlast", 11},
      {"a\r\nbb\r\nc", 0, "1\r\n2", "1\r\n2\r\nbb\r\nc", 4},
      {"", 0, "doc\rtext", "doc\r\ntext", 9},
      {"a\r\nb", 2, "X", "a\r\nb", -1},
      {"a\r\nb", -1, "X", "a\r\nb", -1},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text, 1);
    b.ReplaceLine(r.index, r.line);
    EXPECT_EQ(b.Text(), r.want) << r.text << " line " << r.index;
    EXPECT_EQ(b.SelStart(), r.wantCaret < 0 ? 1 : r.wantCaret) << r.text << " line " << r.index;
  }
}

TEST(WorkBuffer, InsertLineBeforeALineOrAfterTheLast) {
  struct Row {
    const char* text;
    int64_t index;
    const char* want;
    int64_t wantCaret;
  } rows[] = {
      {"a\r\nb", 0, "N\r\na\r\nb", 3},
      {"a\r\nb", 1, "a\r\nN\r\nb", 6},
      {"a\r\nb", 2, "a\r\nb\r\nN", 7},
      {"a\r\nb", 3, "a\r\nb", -1},
      {"", 0, "N\r\n", 3},
      {"", 1, "\r\nN", 3},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text);
    b.InsertLine(r.index, "N");
    EXPECT_EQ(b.Text(), r.want) << r.text << " at " << r.index;
    EXPECT_EQ(b.SelStart(), r.wantCaret < 0 ? 0 : r.wantCaret) << r.text << " at " << r.index;
  }
}

TEST(WorkBuffer, DeleteLineTakesItsBreakExceptOnTheLastLine) {
  struct Row {
    const char* text;
    int64_t index;
    const char* want;
    int64_t wantCaret;
  } rows[] = {
      {"a\r\nbb\r\nc", 1, "a\r\nc", 3},
      {"a\r\nbb\r\nc", 0, "bb\r\nc", 0},
      {"a\r\nbb\r\nc", 2, "a\r\nbb\r\n", 7},
      {"abc", 0, "", 0},
      {"a\r\n", 1, "a\r\n", 3},
      {"a\r\nb", 5, "a\r\nb", -1},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text, 2);
    b.DeleteLine(r.index);
    EXPECT_EQ(b.Text(), r.want) << r.text << " line " << r.index;
    EXPECT_EQ(b.SelStart(), r.wantCaret < 0 ? 2 : r.wantCaret) << r.text << " line " << r.index;
  }
}

TEST(WorkBuffer, FindTxtSelectsTheMatchWithTheCaretAtItsEnd) {
  WorkBuffer b;
  Load(b, "x\r\n  <LI>a<Li>b\r\n<li>");
  ASSERT_TRUE(b.FindTxt("<li"));
  EXPECT_EQ(b.SelStart(), 8);
  EXPECT_EQ(b.SelLength(), -3);
  EXPECT_EQ(b.SelText(), "<LI");
  ASSERT_TRUE(b.FindTxt("<li"));
  EXPECT_EQ(b.SelStart(), 13);
  EXPECT_EQ(b.SelText(), "<Li");
  ASSERT_TRUE(b.FindTxt("<LI"));
  EXPECT_EQ(b.SelStart(), 20);
  EXPECT_EQ(b.SelText(), "<li");
  // Failing leaves caret and selection as they were.
  EXPECT_FALSE(b.FindTxt("<li"));
  EXPECT_EQ(b.SelStart(), 20);
  EXPECT_EQ(b.SelLength(), -3);
  EXPECT_EQ(b.Text(), "x\r\n  <LI>a<Li>b\r\n<li>");
}

TEST(WorkBuffer, FindTxtNeverMatchesAcrossALineBreak) {
  struct Row {
    const char* text;
    const char* pattern;
    int64_t wantCaret;  // -1: not found
  } rows[] = {
      {"<l\r\ni", "<li", -1},
      {"ab\r\ncd", "b\r\nc", -1},
      {"ab\r\ncd", "\ncd", -1},
      {"ab\ncd", "B\nC", 4},
      {"\xC4rger", "\xE4rger", -1},  // only ASCII letters ignore case
      {"\xC4rger", "\xC4RGER", 5},
      {"abc", "", -1},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text);
    bool found = b.FindTxt(r.pattern);
    EXPECT_EQ(found, r.wantCaret >= 0) << r.text << " / " << r.pattern;
    EXPECT_EQ(b.SelStart(), r.wantCaret >= 0 ? r.wantCaret : 0) << r.text << " / " << r.pattern;
  }
}

TEST(WorkBuffer, FindTxtWithMatchCaseComparesExactly) {
  WorkBuffer b;
  Load(b, "<LI><Li><li>");
  ASSERT_TRUE(b.FindTxt("<li", true, true));
  EXPECT_EQ(b.SelStart(), 11);
  EXPECT_FALSE(b.FindTxt("<LI", true, true));
  EXPECT_EQ(b.SelStart(), 11);
}

TEST(WorkBuffer, SharedCasesForSelectAllAndFindTxt) {
  auto cases = test::ConvertCasesFor("SelectAll");
  auto finds = test::ConvertCasesFor("FindTxt");
  cases.insert(cases.end(), finds.begin(), finds.end());
  ASSERT_GE(cases.size(), 5u);
  for (const auto& c : cases) {
    WorkBuffer b;
    Load(b, c.input["text"].Str(), c.input.Has("selStart") ? c.input["selStart"].Int() : 0);
    if (c.target == "SelectAll") {
      b.SelectAll();
    } else {
      EXPECT_EQ(b.FindTxt(c.input["pattern"].Str()), c.expected["found"].Bool()) << c.name;
    }
    EXPECT_EQ(b.Text(), c.expected["text"].Str()) << c.name;
    EXPECT_EQ(b.SelStart(), c.expected["selStart"].Int()) << c.name;
    EXPECT_EQ(b.SelLength(), c.expected["selLength"].Int()) << c.name;
    EXPECT_EQ(b.SelText(), c.expected["selText"].Str()) << c.name;
  }
}

// A plain string model of the same operations, to compare the chunked storage against on
// random edits of documents larger than one chunk.
struct Model {
  std::string text;
  int64_t start = 0, length = 0;

  int64_t Size() const { return static_cast<int64_t>(text.size()); }
  std::vector<std::pair<int64_t, int64_t>> Lines() const {
    std::vector<std::pair<int64_t, int64_t>> lines;
    int64_t from = 0;
    for (int64_t i = 0; i < Size(); ++i) {
      if (text[i] == '\r') {
        lines.push_back({from, i});
        from = i + 2;
      }
    }
    lines.push_back({from, Size()});
    return lines;
  }
  void Replace(int64_t a, int64_t b, const std::string& t) {
    text.replace(a, b - a, t);
    start = a + static_cast<int64_t>(t.size());
    length = 0;
  }
};

// Moves a position off the middle of a CR LF pair.
int64_t OffBreak(const std::string& text, int64_t p) {
  return p > 0 && p < static_cast<int64_t>(text.size()) && text[p - 1] == '\r' ? p - 1 : p;
}

std::string RandomText(std::mt19937& rng, int maxLength) {
  static const char kAlphabet[] = "abcLIli<>  \r\n\r\n\xE4\xC4";
  std::string s(std::uniform_int_distribution<int>(0, maxLength)(rng), ' ');
  for (char& c : s) c = kAlphabet[std::uniform_int_distribution<int>(0, sizeof kAlphabet - 2)(rng)];
  return s;
}

TEST(WorkBuffer, RandomEditsAgreeWithAPlainStringModel) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 6; ++round) {
    WorkBuffer b;
    Model m;
    std::string initial = RandomText(rng, round < 3 ? 40 : 30000);
    b.SetText(initial);
    m.text = HostLineText(initial);
    m.start = m.Size();
    ASSERT_EQ(b.Text(), m.text);
    for (int step = 0; step < 3000; ++step) {
      const int op = std::uniform_int_distribution<int>(0, 7)(rng);
      const int64_t p = OffBreak(m.text, std::uniform_int_distribution<int64_t>(0, m.Size())(rng));
      const auto lines = m.Lines();
      const int64_t line = std::uniform_int_distribution<int64_t>(0, static_cast<int64_t>(lines.size()))(rng);
      const std::string t = HostLineText(RandomText(rng, op == 7 ? 3000 : 12));
      switch (op) {
        case 0: {  // select and replace
          const int64_t q = OffBreak(m.text, std::uniform_int_distribution<int64_t>(0, m.Size())(rng));
          b.SetSelStart(p);
          b.SetSelLength(q - p);
          ASSERT_EQ(b.SelText(), m.text.substr(std::min(p, q), std::abs(q - p)));
          b.SetSelText(t);
          m.Replace(std::min(p, q), std::max(p, q), t);
          break;
        }
        case 1:
          b.ReplaceLine(line, t);
          if (line < static_cast<int64_t>(lines.size())) m.Replace(lines[line].first, lines[line].second, t);
          break;
        case 2:
          b.InsertLine(line, t);
          if (line < static_cast<int64_t>(lines.size())) m.Replace(lines[line].first, lines[line].first, t + "\r\n");
          else m.Replace(m.Size(), m.Size(), "\r\n" + t);
          break;
        case 3:
          b.DeleteLine(line);
          if (line + 1 < static_cast<int64_t>(lines.size())) m.Replace(lines[line].first, lines[line].second + 2, "");
          else if (line < static_cast<int64_t>(lines.size())) m.Replace(lines[line].first, lines[line].second, "");
          break;
        case 4: {
          b.SetSelStart(p);
          m.start = p;
          m.length = 0;
          const std::string pattern = std::uniform_int_distribution<int>(0, 1)(rng) ? "<li" : "c\nA";
          std::string upper = m.text;
          for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
          std::string upperPattern = pattern;
          for (char& c : upperPattern) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
          size_t at = upper.find(upperPattern, p);
          while (at != std::string::npos && at > 0 && upper[at] == '\n' && upper[at - 1] == '\r') at = upper.find(upperPattern, at + 1);
          ASSERT_EQ(b.FindTxt(pattern), at != std::string::npos);
          if (at != std::string::npos) {
            m.start = static_cast<int64_t>(at + pattern.size());
            m.length = -static_cast<int64_t>(pattern.size());
          }
          break;
        }
        case 5:
          ASSERT_EQ(b.Line(line), line < static_cast<int64_t>(lines.size()) ? m.text.substr(lines[line].first, lines[line].second - lines[line].first) : "");
          break;
        case 6:
          b.SetSelStart(p);
          m.start = p;
          m.length = 0;
          ASSERT_EQ(b.SelLine(), std::count(m.text.begin(), m.text.begin() + p, '\r'));
          break;
        default:
          b.SetSelStart(p);
          b.SetSelText(t);
          m.Replace(p, p, t);
          break;
      }
      ASSERT_EQ(b.SelStart(), m.start) << "round " << round << " step " << step << " op " << op;
      ASSERT_EQ(b.SelLength(), m.length) << "round " << round << " step " << step;
      ASSERT_EQ(b.Length(), m.Size());
      ASSERT_EQ(b.LineCount(), static_cast<int64_t>(m.Lines().size()));
      if (step % 97 == 0) {
        ASSERT_EQ(b.Text(), m.text) << "round " << round << " step " << step;
      }
    }
    ASSERT_EQ(b.Text(), m.text);
  }
}

// The steps loop over large documents: a search-and-edit pass over a few megabytes must take
// time in proportion to the document, not to the document times the number of edits.
TEST(WorkBuffer, EditLoopOverALargeDocumentStaysLinear) {
  std::string doc;
  for (int i = 0; i < 100000; ++i) doc += "<LI>item number " + std::to_string(i) + "\r\n";
  WorkBuffer b;
  LoadHostText(b, doc);
  int64_t edits = 0;
  while (b.FindTxt("<li>")) {
    const int64_t line = b.SelLine();
    b.SetSelText("<li>");
    std::string text = b.Line(line);
    b.ReplaceLine(line, text + "</li>");
    ++edits;
  }
  EXPECT_EQ(edits, 100000);
  EXPECT_EQ(b.Line(99999), "<li>item number 99999</li>");
  EXPECT_EQ(b.LineCount(), 100001);
  EXPECT_EQ(b.Length(), static_cast<int64_t>(doc.size()) + 100000 * 5);
}

}  // namespace
}  // namespace quenda
