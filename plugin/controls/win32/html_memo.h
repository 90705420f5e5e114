// The output view: a rich edit control that shows HTML coloured by the four marks, in
// Courier New 9 pt with both scroll bars and no word wrap, with one level of undo of its own
// (the control's undo would also undo the colouring) and a listener told whenever the first
// visible line or the number of lines changes, for the line-number gutter.
//
// A document is loaded as plain text and its marks are found in one pass, but lines are
// coloured when they first come into view: formatting a whole large document in the control
// would take many seconds, while the visible lines take a few milliseconds.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "plugin/controls/html_highlight.h"

namespace quenda::controls {

class HtmlMemo {
 public:
  HtmlMemo() = default;
  HtmlMemo(const HtmlMemo&) = delete;
  HtmlMemo& operator=(const HtmlMemo&) = delete;
  ~HtmlMemo();

  HWND Create(HWND parent, int id, const RECT& bounds);
  HWND Handle() const { return edit_; }

  // Replaces the whole text and colours it.
  void SetText(const std::string& text);
  // Exactly the text last set while it has not been changed since; once changed, the
  // control's text with CR LF line breaks (it cannot keep a lone LF apart from a line break).
  std::string Text() const;
  bool Modified() const;

  void SetLinesListener(std::function<void()> listener) { linesListener_ = std::move(listener); }

 private:
  struct Snapshot {
    std::string text;
    CHARRANGE selection;
  };

  static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);
  static LRESULT CALLBACK ParentSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool IsEdit(UINT message, WPARAM wParam) const;
  void ColourLines(LONG firstLine, LONG lastLine);
  void ColourLoadedLines(LONG firstLine, LONG lastLine);
  void ColourVisibleLines();
  void NoteEditedLines(LONG firstLine, LONG lastLine, LRESULT lineCountBefore);
  void Undo();
  void CheckLines();
  LONG LineOf(LONG position) const;
  CHARRANGE Selection() const;

  HWND edit_ = nullptr;
  HWND parent_ = nullptr;
  bool changed_ = false;  // a change reported by the control since the text was last set
  HFONT font_ = nullptr;
  std::string loadedText_;
  std::optional<Snapshot> undo_;
  bool editGroupOpen_ = false;
  bool checking_ = false;
  bool colouring_ = false;
  std::vector<MarkedRun> runs_;       // the marks of loadedText_, while unmodified
  std::vector<size_t> lineStarts_;    // where each line of loadedText_ starts, plus its end
  std::vector<LONG> controlStarts_;   // the same lines' starts in the control (a break is one)
  std::vector<char> coloured_;        // per line of the control: coloured already
  LRESULT firstLine_ = -1;
  LRESULT lineCount_ = -1;
  std::function<void()> linesListener_;
};

}  // namespace quenda::controls
