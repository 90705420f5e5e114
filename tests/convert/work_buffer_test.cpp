// The edge rules by hand (empty text, clamping, a caret between CR and LF, line indexes out of
// range, search limits); ordinary edits, with lone CRs and LFs in the inserted text, by the
// comparison with a plain string model on random edits.
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

TEST(WorkBuffer, EmptyTextHasOneEmptyLineAndLinesOutOfRangeAreEmpty) {
  WorkBuffer b;
  EXPECT_EQ(b.LineCount(), 1);
  EXPECT_EQ(b.Line(0), "");
  b.SelectAll();
  EXPECT_EQ(b.SelStart(), 0);
  EXPECT_EQ(b.SelLength(), 0);
  EXPECT_EQ(b.SelLine(), 0);
  EXPECT_FALSE(b.FindTxt("a"));
  b.SetText("a\rb\nc");
  EXPECT_EQ(b.Line(1), "b\nc");
  EXPECT_EQ(b.Line(2), "");
  EXPECT_EQ(b.Line(-1), "");
}

// Position 3 of "ab\r\ncd" lies between CR and LF: it is kept, and counts to the first line.
TEST(WorkBuffer, SelectionIsClampedAndACaretBetweenCrAndLfStays) {
  WorkBuffer b;
  Load(b, "ab\r\ncd");
  struct Row {
    int64_t start, length, wantStart, wantLength, wantLine;
    const char* selected;
  } rows[] = {
      {-5, 0, 0, 0, 0, ""},   {100, 0, 6, 0, 1, ""},        {2, 10, 2, 4, 0, "\r\ncd"}, {2, -10, 2, -2, 0, "ab"},
      {4, -3, 4, -3, 1, "b\r\n"}, {6, 1, 6, 0, 1, ""},     {3, 0, 3, 0, 0, ""},        {3, 2, 3, 2, 0, "\nc"},
  };
  for (const Row& r : rows) {
    b.SetSelStart(r.start);
    b.SetSelLength(r.length);
    EXPECT_EQ(b.SelStart(), r.wantStart) << r.start << "," << r.length;
    EXPECT_EQ(b.SelLength(), r.wantLength) << r.start << "," << r.length;
    EXPECT_EQ(b.SelText(), r.selected) << r.start << "," << r.length;
    EXPECT_EQ(b.SelLine(), r.wantLine) << r.start << "," << r.length;
  }
  b.SetSelLength(2);
  b.SetSelStart(1);
  EXPECT_EQ(b.SelLength(), 0) << "assigning SelStart empties the selection";
}

// An edit between CR and LF keeps the break whole; line indexes outside the text change
// nothing. `op` is one of S (SelText over start/length), R (ReplaceLine), I (InsertLine),
// D (DeleteLine).
TEST(WorkBuffer, EditsBetweenCrAndLfOrOnLinesOutOfRange) {
  struct Row {
    char op;
    const char* text;
    int64_t at, length;
    const char* insert;
    const char* want;
    int64_t wantCaret;
  } rows[] = {
      {'S', "abcdef", 4, -3, "XY", "aXYef", 3},
      {'S', "", 0, 0, "\r", "\r\n", 2},
      {'S', "a\r\nb", 2, 0, "X", "a\r\nX\nb", 4},  // between CR and LF the break stays whole
      {'R', "a\r\nb", 2, 0, "X", "a\r\nb", 1},
      {'R', "a\r\nb", -1, 0, "X", "a\r\nb", 1},
      {'I', "a\r\nb", 3, 0, "N", "a\r\nb", 1},
      {'I', "a\r\nb", -1, 0, "N", "a\r\nb", 1},
      {'I', "", 1, 0, "N", "\r\nN", 3},
      {'D', "a\r\nb", 5, 0, "", "a\r\nb", 1},
      {'D', "a\r\nb", -1, 0, "", "a\r\nb", 1},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text, r.op == 'S' ? r.at : 1);
    switch (r.op) {
      case 'S': b.SetSelLength(r.length); b.SetSelText(r.insert); break;
      case 'R': b.ReplaceLine(r.at, r.insert); break;
      case 'I': b.InsertLine(r.at, r.insert); break;
      default: b.DeleteLine(r.at); break;
    }
    EXPECT_EQ(b.Text(), r.want) << r.op << " " << r.text << " at " << r.at;
    EXPECT_EQ(b.SelStart(), r.wantCaret) << r.op << " " << r.text << " at " << r.at;
    EXPECT_EQ(b.SelLength(), 0);
  }
}

TEST(WorkBuffer, FindTxtStaysWithinALineAndIgnoresOnlyAsciiCase) {
  struct Row {
    const char* text;
    const char* pattern;
    bool matchCase;
    int64_t wantCaret;  // -1: not found
  } rows[] = {
      {"<l\r\ni", "<li", false, -1},      {"ab\r\ncd", "b\r\nc", false, -1}, {"ab\r\ncd", "\ncd", false, -1},
      {"ab\ncd", "B\nC", false, 4},       {"\xC4rger", "\xE4rger", false, -1}, {"\xC4rger", "\xC4RGER", false, 5},
      {"abc", "", false, -1},             {"<LI><Li><li>", "<li", true, 11},   {"<LI><Li><li>", "<lI", true, -1},
  };
  for (const Row& r : rows) {
    WorkBuffer b;
    Load(b, r.text);
    EXPECT_EQ(b.FindTxt(r.pattern, true, r.matchCase), r.wantCaret >= 0) << r.text << " / " << r.pattern;
    EXPECT_EQ(b.SelStart(), r.wantCaret >= 0 ? r.wantCaret : 0) << r.text << " / " << r.pattern;
  }
  // A failed search keeps the earlier match selected; backward searches find nothing.
  WorkBuffer b;
  Load(b, "<LI>a\r\n<li");
  ASSERT_TRUE(b.FindTxt("<li"));
  ASSERT_TRUE(b.FindTxt("<li"));
  EXPECT_FALSE(b.FindTxt("<li"));
  EXPECT_FALSE(b.FindTxt("<li", false));
  EXPECT_EQ(b.SelStart(), 10);
  EXPECT_EQ(b.SelText(), "<li");
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

// A plain string model of the same operations, to compare the chunked storage against.
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

std::string AsciiUpper(std::string s) {
  for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  return s;
}

// Documents larger than one chunk, edited at random.
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
      const int64_t count = static_cast<int64_t>(lines.size());
      const int64_t line = std::uniform_int_distribution<int64_t>(0, count)(rng);
      // Inserted text holds lone CRs and LFs; the model applies the line rule itself.
      const std::string raw = RandomText(rng, op == 7 ? 3000 : 12), t = HostLineText(raw);
      switch (op) {
        case 0: {  // select and replace
          const int64_t q = OffBreak(m.text, std::uniform_int_distribution<int64_t>(0, m.Size())(rng));
          b.SetSelStart(p);
          b.SetSelLength(q - p);
          ASSERT_EQ(b.SelText(), m.text.substr(std::min(p, q), std::abs(q - p)));
          b.SetSelText(raw);
          m.Replace(std::min(p, q), std::max(p, q), t);
          break;
        }
        case 1:
          b.ReplaceLine(line, raw);
          if (line < count) m.Replace(lines[line].first, lines[line].second, t);
          break;
        case 2:
          b.InsertLine(line, raw);
          if (line < count) m.Replace(lines[line].first, lines[line].first, t + "\r\n");
          else m.Replace(m.Size(), m.Size(), "\r\n" + t);
          break;
        case 3:
          b.DeleteLine(line);
          if (line + 1 < count) m.Replace(lines[line].first, lines[line].second + 2, "");
          else if (line < count) m.Replace(lines[line].first, lines[line].second, "");
          break;
        case 4: {
          b.SetSelStart(p);
          m.start = p;
          m.length = 0;
          const std::string pattern = std::uniform_int_distribution<int>(0, 1)(rng) ? "<li" : "c\nA";
          const std::string upper = AsciiUpper(m.text), upperPattern = AsciiUpper(pattern);
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
          ASSERT_EQ(b.Line(line), line < count ? m.text.substr(lines[line].first, lines[line].second - lines[line].first) : "");
          break;
        case 6:
          b.SetSelStart(p);
          m.start = p;
          m.length = 0;
          ASSERT_EQ(b.SelLine(), std::count(m.text.begin(), m.text.begin() + p, '\r'));
          break;
        default:
          b.SetSelStart(p);
          b.SetSelText(raw);
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

}  // namespace
}  // namespace quenda
