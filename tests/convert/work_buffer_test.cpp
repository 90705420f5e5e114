// The edge rules by hand (empty text, clamping, a caret between CR and LF, line indexes out of
// range, search limits); ordinary edits, with lone CRs and LFs in the inserted text, by the
// comparison with a plain string model on random edits.
#include "plugin/convert/work_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "plugin/convert/host_text.h"

namespace quenda {
namespace {

TEST(WorkBuffer, EmptyTextHasOneEmptyLine) {
  WorkBuffer b;
  EXPECT_EQ(b.LineCount(), 1);
  EXPECT_EQ(b.Line(0), "");
  b.SelectAll();
  EXPECT_EQ(b.SelStart(), 0);
  EXPECT_EQ(b.SelLength(), 0);
  EXPECT_EQ(b.SelLine(), 0);
  EXPECT_FALSE(b.FindTxt("a"));
}

// Text typed between CR and LF keeps the break whole (the random edits below stay off that spot).
TEST(WorkBuffer, TypingBetweenCrAndLf) {
  WorkBuffer b;
  b.SetText("a\r\nb");
  b.SetSelStart(2);
  b.SetSelText("X");
  EXPECT_EQ(b.Text(), "a\r\nX\nb");
  EXPECT_EQ(b.SelStart(), 4);
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

// Documents larger than one chunk, edited at random: line indexes and positions out of range,
// a caret or selection between CR and LF (which counts to the line of the CR), searches with
// and without case, forward and back, from the caret a failed search leaves where it was.
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
      const int64_t line = std::uniform_int_distribution<int64_t>(-1, count + 1)(rng);
      const bool inRange = line >= 0 && line < count;
      // Inserted text holds lone CRs and LFs; the model applies the line rule itself.
      const std::string raw = RandomText(rng, op == 0 && step % 4 == 0 ? 3000 : 12), t = HostLineText(raw);
      switch (op) {
        case 0: {  // select and replace, or insert at the caret; now and then a text of several chunks
          const int64_t q = step % 3 ? p : OffBreak(m.text, std::uniform_int_distribution<int64_t>(0, m.Size())(rng));
          b.SetSelStart(p);
          b.SetSelLength(q - p);
          ASSERT_EQ(b.SelText(), m.text.substr(std::min(p, q), std::abs(q - p)));
          b.SetSelText(raw);
          m.Replace(std::min(p, q), std::max(p, q), t);
          break;
        }
        case 1:
          b.ReplaceLine(line, raw);
          if (inRange) m.Replace(lines[line].first, lines[line].second, t);
          break;
        case 2:
          b.InsertLine(line, raw);
          if (inRange) m.Replace(lines[line].first, lines[line].first, t + "\r\n");
          else if (line == count) m.Replace(m.Size(), m.Size(), "\r\n" + t);
          break;
        case 3:
          b.DeleteLine(line);
          if (inRange && line + 1 < count) m.Replace(lines[line].first, lines[line].second + 2, "");
          else if (inRange) m.Replace(lines[line].first, lines[line].second, "");
          break;
        case 4: {
          if (m.length >= 0 || std::uniform_int_distribution<int>(0, 1)(rng)) {
            b.SetSelStart(p);
            m.start = p;
            m.length = 0;
          }
          static const char* const kPatterns[] = {"<li", "c\nA", "\nA", "<LI", "\xE4", "\xC4", "", "a\r"};
          const std::string pattern = kPatterns[std::uniform_int_distribution<int>(0, 7)(rng)];
          const bool matchCase = std::uniform_int_distribution<int>(0, 1)(rng), forward = step % 13 != 0;
          const std::string in = matchCase ? m.text : AsciiUpper(m.text), what = matchCase ? pattern : AsciiUpper(pattern);
          size_t at = forward && !pattern.empty() && pattern.back() != '\r' ? in.find(what, m.start) : std::string::npos;
          while (at != std::string::npos && at > 0 && in[at] == '\n' && in[at - 1] == '\r') at = in.find(what, at + 1);
          ASSERT_EQ(b.FindTxt(pattern, forward, matchCase), at != std::string::npos);
          if (at != std::string::npos) {
            m.start = static_cast<int64_t>(at + pattern.size());
            m.length = -static_cast<int64_t>(pattern.size());
          }
          break;
        }
        case 5:
          ASSERT_EQ(b.Line(line), inRange ? m.text.substr(lines[line].first, lines[line].second - lines[line].first) : "");
          break;
        case 6: {  // anywhere, out of range too, with a selection of any length
          auto nearEdges = [&rng](int64_t low, int64_t high) {  // within 3 of either end half the time
            const int64_t edge = std::uniform_int_distribution<int64_t>(-3, 3)(rng);
            const int pick = std::uniform_int_distribution<int>(0, 3)(rng);
            return pick > 1 ? std::uniform_int_distribution<int64_t>(low, high)(rng) : (pick ? low : high) + edge;
          };
          const int64_t at = nearEdges(0, m.Size()), length = nearEdges(-at, m.Size() - at);
          b.SetSelStart(at);
          b.SetSelLength(length);
          m.start = std::clamp<int64_t>(at, 0, m.Size());
          m.length = std::clamp<int64_t>(length, -m.start, m.Size() - m.start);
          ASSERT_EQ(b.SelText(), m.text.substr(std::min(m.start, m.start + m.length), std::abs(m.length)));
          const int64_t crs = std::count(m.text.begin(), m.text.begin() + m.start, '\r');
          ASSERT_EQ(b.SelLine(), crs - (m.start > 0 && m.text[m.start - 1] == '\r'));
          break;
        }
        default:  // the caret at the end, the whole text selected back to the start
          b.SelectAll();
          m.start = m.Size();
          m.length = -m.Size();
          ASSERT_EQ(b.SelText(), m.text);
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
