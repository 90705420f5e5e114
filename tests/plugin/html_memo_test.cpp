// The output view's control under Windows (Wine in the tests): colouring when loaded and
// while typed, the text it hands back, its single level of undo, and the time it takes to
// colour a large document.
#include "plugin/controls/win32/html_memo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "plugin/controls/win32/line_gutter.h"
#include "plugin/controls/win32/rich_text.h"

namespace {

using quenda::controls::HtmlMemo;

class HtmlMemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent_);
    ASSERT_TRUE(memo_.Create(parent_, 1, RECT{40, 0, 600, 400}));
  }
  void TearDown() override { DestroyWindow(parent_); }

  CHARFORMAT2W FormatAt(LONG position) {
    CHARRANGE range{position, position + 1};
    SendMessageW(memo_.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(memo_.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  }
  void TypeAt(LONG position, const wchar_t* text) {
    CHARRANGE at{position, position};
    SendMessageW(memo_.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    for (; *text; ++text) SendMessageW(memo_.Handle(), WM_CHAR, *text, 1);
  }

  HWND parent_ = nullptr;
  HtmlMemo memo_;
};

TEST_F(HtmlMemoTest, LoadedTextIsColouredByTheFourMarks) {
  memo_.SetText("<p class=\"x\">&amp; <!-- c --> t</p>\r\n");
  const struct {
    LONG position;
    COLORREF color;
    bool bold, italic;
  } expects[] = {
      {0, RGB(0, 64, 128), false, false},    // "<"
      {9, RGB(0, 0, 255), false, false},     // the quote of the value
      {13, RGB(0, 0, 0), true, false},       // "&amp;"
      {19, RGB(128, 128, 128), false, true}, // "<!--"
      {30, RGB(0, 0, 0), false, false},      // "t"
      {31, RGB(0, 64, 128), false, false},   // "</p>"
  };
  for (const auto& e : expects) {
    CHARFORMAT2W format = FormatAt(e.position);
    EXPECT_EQ(format.crTextColor, e.color) << "at " << e.position;
    EXPECT_EQ((format.dwEffects & CFE_BOLD) != 0, e.bold) << e.position;
    EXPECT_EQ((format.dwEffects & CFE_ITALIC) != 0, e.italic) << e.position;
  }
  // Untouched text comes back exactly, even with a lone line feed.
  memo_.SetText("a\nb\r\nc");
  EXPECT_EQ(memo_.Text(), "a\nb\r\nc");
  // A change the memo does not see coming (an input method, drag and drop, another program)
  // is an edit all the same.
  SETTEXTEX selection{ST_SELECTION, 1252};
  SendMessageW(memo_.Handle(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&selection), reinterpret_cast<LPARAM>("X"));
  EXPECT_EQ(memo_.Text(), "Xa\r\nb\r\nc");
}

// Typed text is coloured and comes back with CR LF; one level of undo takes back the last
// edits, and undoing again redoes them.
TEST_F(HtmlMemoTest, TypedTextIsColouredAndUndoneOnce) {
  memo_.SetText("first\r\n");
  TypeAt(6, L"<b>&uuml;");
  EXPECT_EQ(FormatAt(6).crTextColor, RGB(0, 64, 128));
  EXPECT_TRUE(FormatAt(9).dwEffects & CFE_BOLD);
  EXPECT_EQ(memo_.Text(), "first\r\n<b>&uuml;");
  memo_.SetText("<p>");
  TypeAt(3, L"abc");
  EXPECT_TRUE(SendMessageW(memo_.Handle(), EM_CANUNDO, 0, 0));
  SendMessageW(memo_.Handle(), WM_UNDO, 0, 0);
  EXPECT_EQ(memo_.Text(), "<p>");
  EXPECT_EQ(FormatAt(0).crTextColor, RGB(0, 64, 128));  // coloured again after the undo
  SendMessageW(memo_.Handle(), WM_UNDO, 0, 0);
  EXPECT_EQ(memo_.Text(), "<p>abc");
}

TEST_F(HtmlMemoTest, GutterFollowsTheMemo) {
  quenda::controls::LineGutter gutter;
  ASSERT_TRUE(gutter.Create(parent_, 2, RECT{0, 0, 40, 400}, memo_.Handle()));
  int refreshes = 0;
  memo_.SetLinesListener([&] { ++refreshes; });
  std::string text;
  for (int i = 0; i < 200; ++i) text += "<li>line</li>\r\n";
  memo_.SetText(text);
  EXPECT_GE(refreshes, 1);
  int before = refreshes;
  SendMessageW(memo_.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(SendMessageW(memo_.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_GT(refreshes, before);
}

// Measured: what the colouring adds to a plain load of the same text into a bare control of
// the same kind (the layout alone takes seconds for a megabyte under Wine).
TEST_F(HtmlMemoTest, ColouringAMegabyteAddsLessThanASecond) {
  std::string document;
  while (document.size() < (1u << 20)) {
    document += "<TR><TD CLASS=\"cell\">Gr&uuml;&szlig;e &amp; mehr</TD><!-- note --><TD>42</TD></TR>\r\n";
  }
  HWND bare = CreateWindowExW(0, quenda::controls::RichEditClass(), L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL, 40, 0,
                              560, 400, parent_, nullptr, nullptr, nullptr);
  ASSERT_TRUE(bare);
  SendMessageW(bare, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  SendMessageW(bare, EM_SETTARGETDEVICE, 0, 1);
  SendMessageW(bare, WM_SETFONT, SendMessageW(memo_.Handle(), WM_GETFONT, 0, 0), FALSE);
  auto start = std::chrono::steady_clock::now();
  SETTEXTEX how{ST_DEFAULT, 1252};
  SendMessageW(bare, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(document.c_str()));
  double plain = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  DestroyWindow(bare);

  start = std::chrono::steady_clock::now();
  memo_.SetText(document);
  double coloured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("1 MB: plain load %.3f s, coloured load %.3f s\n", plain, coloured);
  EXPECT_LT(coloured - plain, 1.0);
  EXPECT_EQ(FormatAt(0).crTextColor, RGB(0, 64, 128));
  // Lines further down are coloured when they come into view.
  LONG last = static_cast<LONG>(document.size()) - 2000;
  CHARRANGE farAway{last, last};
  SendMessageW(memo_.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&farAway));
  SendMessageW(memo_.Handle(), EM_SCROLLCARET, 0, 0);
  SendMessageW(memo_.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  LONG line = static_cast<LONG>(SendMessageW(memo_.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)) + 1;
  LONG lineStart = static_cast<LONG>(SendMessageW(memo_.Handle(), EM_LINEINDEX, line, 0));
  EXPECT_EQ(FormatAt(lineStart).crTextColor, RGB(0, 64, 128));          // "<TR>"
  EXPECT_EQ(FormatAt(lineStart + 14).crTextColor, RGB(0, 0, 255));      // the quoted class
  EXPECT_TRUE(FormatAt(lineStart + 24).dwEffects & CFE_BOLD);           // "&uuml;"
  EXPECT_TRUE(FormatAt(lineStart + 57).dwEffects & CFE_ITALIC);         // the comment
}

}  // namespace
