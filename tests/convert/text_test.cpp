// The text primitives and the host's line rule.
#include "plugin/convert/text.h"

#include <gtest/gtest.h>

#include <random>

#include "plugin/convert/host_text.h"
#include "plugin/convert/work_buffer.h"

namespace quenda {
namespace {

// Short random texts against a plain model: FindPos is one-based and 0 when absent; ReplaceText
// replaces the first or every match without rescanning what it put in, and ignoring case
// (code page 1252 letters too) copies the unmatched text as it stands.
TEST(TextPrimitives, FindPosAndReplaceTextAgreeWithAStringModel) {
  std::mt19937 rng(20240612);
  auto random = [&rng](size_t maxLength) {
    static const char kAlphabet[] = "aAb<>\xC4\xE4\x9F\xFF-";
    std::string s(rng() % (maxLength + 1), ' ');
    for (char& c : s) c = kAlphabet[rng() % (sizeof kAlphabet - 1)];
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string text = random(10), old = random(3), with = random(2);
    const ReplaceFlags flags{.replaceAll = (rng() & 1) != 0, .ignoreCase = (rng() & 2) != 0};
    const size_t at = text.find(old);
    ASSERT_EQ(FindPos(old, text), old.empty() || at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1);
    const std::string hay = flags.ignoreCase ? LowerText(text) : text, needle = flags.ignoreCase ? LowerText(old) : old;
    std::string want;
    size_t from = 0;
    for (size_t hit; !old.empty() && (hit = hay.find(needle, from)) != std::string::npos; from = hit + old.size()) {
      want += text.substr(from, hit - from) + with;
      if (!flags.replaceAll) {
        from = hit + old.size();
        break;
      }
    }
    ASSERT_EQ(ReplaceText(text, old, with, flags), want + text.substr(from)) << text << " / " << old;
  }
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
}

}  // namespace
}  // namespace quenda
