#include "plugin/controls/win32/html_memo.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <vector>

#include "plugin/controls/html_highlight.h"
#include "plugin/controls/win32/rich_text.h"
#include "plugin/controls/win32/wide_text.h"

namespace quenda::controls {

namespace {

constexpr COLORREF kBackground = RGB(235, 235, 235);
constexpr int kPoints = 9;

// Colour and style of plain text and of the four marks, in HtmlMark order after plain.
struct MarkLook {
  COLORREF color;
  bool bold;
  bool italic;
};
constexpr MarkLook kLooks[] = {
    {RGB(0, 0, 0), false, false},        // plain
    {RGB(0, 64, 128), false, false},     // tag
    {RGB(0, 0, 255), false, false},      // quoted value
    {RGB(0, 0, 0), true, false},         // entity
    {RGB(128, 128, 128), false, true},   // comment
};

int LookOf(HtmlMark mark) { return static_cast<int>(mark) + 1; }

CHARFORMAT2W FormatOf(const MarkLook& look) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_FACE | CFM_SIZE;
  format.crTextColor = look.color;
  format.dwEffects = (look.bold ? CFE_BOLD : 0) | (look.italic ? CFE_ITALIC : 0);
  format.yHeight = kPoints * 20;
  // With the pitch and family a system without Courier New still shows a fixed-pitch font.
  format.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpyW(format.szFaceName, L"Courier New");
  return format;
}

bool ControlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

// Colouring changes the format only, but the control counts that as a change of its text:
// the flag that tells edited from untouched text is kept across it.
class KeepModifyFlag {
 public:
  explicit KeepModifyFlag(HWND edit) : edit_(edit), modified_(SendMessageW(edit, EM_GETMODIFY, 0, 0)) {}
  ~KeepModifyFlag() { SendMessageW(edit_, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0); }
  KeepModifyFlag(const KeepModifyFlag&) = delete;
  KeepModifyFlag& operator=(const KeepModifyFlag&) = delete;

 private:
  HWND edit_;
  LRESULT modified_;
};

}  // namespace

HtmlMemo::~HtmlMemo() {
  if (edit_) RemoveWindowSubclass(edit_, Subclass, 1);
  if (parent_) RemoveWindowSubclass(parent_, ParentSubclass, reinterpret_cast<UINT_PTR>(this));
  if (font_) DeleteObject(font_);
}

HWND HtmlMemo::Create(HWND parent, int id, const RECT& bounds) {
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, RichEditClass(), L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                              ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL | ES_DISABLENOSCROLL,
                          bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!edit_) return nullptr;
  HDC screen = GetDC(nullptr);
  font_ = CreateFontW(-MulDiv(kPoints, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      FIXED_PITCH | FF_MODERN, L"Courier New");
  ReleaseDC(nullptr, screen);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageW(edit_, EM_SETBKGNDCOLOR, 0, kBackground);
  SendMessageW(edit_, EM_SETUNDOLIMIT, 0, 0);  // undo is ours, see Undo()
  SendMessageW(edit_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  SendMessageW(edit_, EM_SETTARGETDEVICE, 0, 1);  // no word wrap
  CHARFORMAT2W format = FormatOf(kLooks[0]);
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  SetWindowSubclass(edit_, Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
  // The control tells its parent of every change of its text; the memo listens there.
  SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  parent_ = parent;
  SetWindowSubclass(parent_, ParentSubclass, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
  return edit_;
}

void HtmlMemo::SetText(const std::string& text) {
  loadedText_ = text;
  editGroupOpen_ = false;
  runs_ = HighlightHtml(text);
  // Line starts in the text and in the control, where CR LF, CR and LF each end a line and
  // every line break counts as one character.
  lineStarts_.assign(1, 0);
  controlStarts_.assign(1, 0);
  size_t breaks = 0;  // characters of the text that the control does not count
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      ++breaks;
    }
    lineStarts_.push_back(i + 1);
    controlStarts_.push_back(static_cast<LONG>(i + 1 - breaks));
  }
  lineStarts_.push_back(text.size());
  coloured_.assign(controlStarts_.size(), 0);

  colouring_ = true;
  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  // The plain look is set while the control is empty: formatting the whole text after
  // loading it would lay it out a second time.
  SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  CHARFORMAT2W plain = FormatOf(kLooks[0]);
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
  SETTEXTEX how{ST_DEFAULT, 1252};
  SendMessageW(edit_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
  CHARRANGE start{0, 0};
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  SendMessageW(edit_, EM_SETMODIFY, FALSE, 0);
  changed_ = false;
  colouring_ = false;
  InvalidateRect(edit_, nullptr, TRUE);
  firstLine_ = -1;  // the view starts over: colour what is visible and tell the gutter
  CheckLines();
}

// Colours lines of the loaded document from the marks found in the whole text, so that a
// comment or tag that began on an earlier line is coloured right.
void HtmlMemo::ColourLoadedLines(LONG firstLine, LONG lastLine) {
  size_t from = lineStarts_[static_cast<size_t>(firstLine)];
  size_t to = lineStarts_[static_cast<size_t>(lastLine) + 1];
  auto control = [this](size_t position) {
    size_t line = static_cast<size_t>(std::upper_bound(lineStarts_.begin(), lineStarts_.end() - 1, position) -
                                      lineStarts_.begin()) - 1;
    size_t offset = position - lineStarts_[line];
    size_t lineEnd = lineStarts_[line + 1];
    // A position inside a CR LF counts as the one break character.
    if (offset > 0 && position == lineEnd && position > 0 && loadedText_[position - 1] == '\n' &&
        position >= 2 && loadedText_[position - 2] == '\r') {
      --offset;
    }
    return controlStarts_[line] + static_cast<LONG>(offset);
  };
  CHARRANGE whole{control(from), control(to)};
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&whole));
  CHARFORMAT2W plain = FormatOf(kLooks[0]);
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&plain));
  // The first run that ends inside or after the range; runs are sorted and do not overlap.
  auto run = std::lower_bound(runs_.begin(), runs_.end(), from,
                              [](const MarkedRun& r, size_t at) { return r.start + r.length <= at; });
  for (; run != runs_.end() && run->start < to; ++run) {
    size_t start = std::max(run->start, from), end = std::min(run->start + run->length, to);
    CHARRANGE part{control(start), control(end)};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&part));
    CHARFORMAT2W f = FormatOf(kLooks[LookOf(run->mark)]);
    SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
  }
}

void HtmlMemo::ColourVisibleLines() {
  LRESULT count = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0);
  if (coloured_.size() != static_cast<size_t>(count)) coloured_.resize(static_cast<size_t>(count), 0);
  RECT client;
  GetClientRect(edit_, &client);
  POINTL bottom{0, client.bottom};
  LRESULT lastChar = SendMessageW(edit_, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&bottom));
  LONG first = static_cast<LONG>(SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
  LONG last = std::min<LONG>(LineOf(static_cast<LONG>(lastChar)) + 1, static_cast<LONG>(count) - 1);
  while (first <= last && coloured_[static_cast<size_t>(first)]) ++first;
  while (last >= first && coloured_[static_cast<size_t>(last)]) --last;
  if (first > last) return;

  bool loaded = !Modified() && static_cast<size_t>(count) + 1 == lineStarts_.size();
  KeepModifyFlag modified(edit_);
  CHARRANGE keep = Selection();
  POINT scroll{};
  SendMessageW(edit_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  for (LONG line = first; line <= last; ++line) {
    if (coloured_[static_cast<size_t>(line)]) continue;
    LONG end = line;
    while (end < last && !coloured_[static_cast<size_t>(end) + 1]) ++end;
    if (loaded) {
      ColourLoadedLines(line, end);
    } else {
      ColourLines(line, end);
    }
    std::fill(coloured_.begin() + line, coloured_.begin() + end + 1, 1);
    line = end;
  }
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
  SendMessageW(edit_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit_, nullptr, FALSE);
}

// Keeps the record of coloured lines in step with an edit that turned the lines from
// firstLine on into lastLine - firstLine + 1 lines, all coloured by now.
void HtmlMemo::NoteEditedLines(LONG firstLine, LONG lastLine, LRESULT lineCountBefore) {
  LRESULT count = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0);
  LRESULT added = count - lineCountBefore;
  auto at = coloured_.begin() + std::min<size_t>(static_cast<size_t>(firstLine) + 1, coloured_.size());
  if (added > 0) coloured_.insert(at, static_cast<size_t>(added), 1);
  if (added < 0) coloured_.erase(at, at + std::min<ptrdiff_t>(-added, coloured_.end() - at));
  coloured_.resize(static_cast<size_t>(count), 0);
  for (LONG line = firstLine; line <= lastLine && line < static_cast<LONG>(count); ++line) coloured_[static_cast<size_t>(line)] = 1;
}

// Whatever changed the text (typing, paste, drag and drop, an input method, a message from
// another program), the control itself knows that it did: it sets its modify flag, and it
// reports the change to its parent. Some paths do only one of the two.
bool HtmlMemo::Modified() const { return changed_ || SendMessageW(edit_, EM_GETMODIFY, 0, 0) != 0; }

LRESULT CALLBACK HtmlMemo::ParentSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
  auto* memo = reinterpret_cast<HtmlMemo*>(self);
  if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == memo->edit_ && HIWORD(wParam) == EN_CHANGE &&
      !memo->colouring_) {
    memo->changed_ = true;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

std::string HtmlMemo::Text() const { return Modified() ? RichText(edit_) : loadedText_; }

CHARRANGE HtmlMemo::Selection() const {
  CHARRANGE range{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

LONG HtmlMemo::LineOf(LONG position) const {
  return static_cast<LONG>(SendMessageW(edit_, EM_EXLINEFROMCHAR, 0, position));
}

bool HtmlMemo::IsEdit(UINT message, WPARAM wParam) const {
  switch (message) {
    case WM_CHAR: return wParam >= 0x20 || wParam == '\r' || wParam == '\t';
    case WM_KEYDOWN:
      return wParam == VK_BACK || wParam == VK_DELETE || wParam == VK_RETURN || (ControlDown() && (wParam == 'V' || wParam == 'X')) ||
             (ShiftDown() && wParam == VK_INSERT);
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case EM_REPLACESEL: return true;
    default: return false;
  }
}

// Recolours whole lines after an edit. Marks are found within these lines only; a comment
// opened on an earlier line is coloured again when the whole text is set.
void HtmlMemo::ColourLines(LONG firstLine, LONG lastLine) {
  LONG start = static_cast<LONG>(SendMessageW(edit_, EM_LINEINDEX, firstLine, 0));
  LONG lastStart = static_cast<LONG>(SendMessageW(edit_, EM_LINEINDEX, lastLine, 0));
  if (start < 0 || lastStart < 0) return;
  LONG end = lastStart + static_cast<LONG>(SendMessageW(edit_, EM_LINELENGTH, lastStart, 0));
  if (end <= start) return;
  std::wstring wide(static_cast<size_t>(end - start) + 1, L'\0');
  TEXTRANGEW range{{start, end}, wide.data()};
  LRESULT got = SendMessageW(edit_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  wide.resize(static_cast<size_t>(got > 0 ? got : 0));
  std::string text = Narrow(wide);  // one byte per character: positions stay aligned

  auto format = [this](LONG from, LONG to, const MarkLook& look) {
    CHARRANGE part{from, to};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&part));
    CHARFORMAT2W f = FormatOf(look);
    SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
  };
  format(start, end, kLooks[0]);
  for (const MarkedRun& run : HighlightHtml(text)) {
    format(start + static_cast<LONG>(run.start), start + static_cast<LONG>(run.start + run.length),
           kLooks[LookOf(run.mark)]);
  }
}

// One level: the text as it was before the last run of edits comes back, and undoing again
// brings the edits back.
void HtmlMemo::Undo() {
  if (!undo_) return;
  Snapshot current{Text(), Selection()};
  Snapshot previous = std::move(*undo_);
  // The text comes back as it was, byte for byte, and counts as untouched again.
  std::string text = previous.text;
  SetText(text);
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&previous.selection));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  undo_ = std::move(current);
  editGroupOpen_ = false;
}

void HtmlMemo::CheckLines() {
  if (checking_ || !edit_) return;
  checking_ = true;
  LRESULT first = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  LRESULT count = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0);
  checking_ = false;
  if (first != firstLine_ || count != lineCount_) {
    firstLine_ = first;
    lineCount_ = count;
    colouring_ = true;
    ColourVisibleLines();
    colouring_ = false;
    if (linesListener_) linesListener_();
  }
}

LRESULT CALLBACK HtmlMemo::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* memo = reinterpret_cast<HtmlMemo*>(self);
  if (memo->checking_ || memo->colouring_) return DefSubclassProc(window, message, wParam, lParam);
  return memo->OnMessage(message, wParam, lParam);
}

LRESULT HtmlMemo::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_KEYDOWN && wParam == 'Z' && ControlDown()) || message == WM_UNDO || message == EM_UNDO) {
    Undo();
    CheckLines();
    return TRUE;
  }
  if (message == WM_CHAR && wParam == 0x1A) return 0;  // the character of Ctrl+Z
  // Every key goes to the text, Tab and Enter as characters, Escape to nothing: asked by a
  // dialog, the control would set off a mode in which it moves the focus on Tab and asks
  // its parent to close on Escape. The window decides what those keys mean.
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
  if (message == EM_CANUNDO) return undo_.has_value();
  bool edit = IsEdit(message, wParam) && (GetWindowLongW(edit_, GWL_STYLE) & ES_READONLY) == 0;
  LONG lineBefore = 0;
  LRESULT lineCountBefore = 0;
  if (edit) {
    lineCountBefore = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0);
    if (!editGroupOpen_) {
      undo_ = Snapshot{Text(), Selection()};
      editGroupOpen_ = true;
    }
    lineBefore = LineOf(Selection().cpMin);
  } else if ((message == WM_KEYDOWN && wParam != VK_SHIFT && wParam != VK_CONTROL) || message == WM_LBUTTONDOWN) {
    editGroupOpen_ = false;  // the caret moved: the next edit starts a new undo step
  }
  LRESULT result = DefSubclassProc(edit_, message, wParam, lParam);
  if (edit) {
    KeepModifyFlag modified(edit_);
    LONG lineAfter = LineOf(Selection().cpMax);
    LONG first = std::min(lineBefore, lineAfter), last = std::max(lineBefore, lineAfter);
    colouring_ = true;
    CHARRANGE keep = Selection();
    POINT scroll{};
    SendMessageW(edit_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
    ColourLines(first, last);
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    SendMessageW(edit_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit_, nullptr, FALSE);
    NoteEditedLines(first, last, lineCountBefore);
    colouring_ = false;
  }
  if (message != WM_PAINT && message != WM_NCPAINT && message != WM_ERASEBKGND) CheckLines();
  return result;
}

}  // namespace quenda::controls
