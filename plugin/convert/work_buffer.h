// The converter's text: lines joined by CR LF, with a caret and a signed selection, operated
// the way a multi-line edit control is. Positions are 0-based and count a line break as two.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quenda {

class WorkBuffer {
 public:
  WorkBuffer();
  ~WorkBuffer();
  WorkBuffer(const WorkBuffer&) = delete;
  WorkBuffer& operator=(const WorkBuffer&) = delete;

  void Clear();
  void SelectAll();

  std::string SelText() const;
  // Replaces the selection (or inserts at the caret); CR and CR LF start lines, a lone LF is
  // an ordinary character. Afterwards nothing is selected and the caret is behind the text.
  void SetSelText(std::string_view text);

  int64_t SelStart() const;
  void SetSelStart(int64_t position);
  int64_t SelLength() const;
  void SetSelLength(int64_t length);
  int64_t SelLine() const;

  int64_t LineCount() const;
  std::string Line(int64_t index) const;
  void ReplaceLine(int64_t index, std::string_view text);
  void InsertLine(int64_t index, std::string_view text);
  void DeleteLine(int64_t index);

  // Searches from the caret, never across a line break; without matchCase ASCII letters (only
  // they) compare without regard to case. On a match the caret stands at the match's end with
  // the match selected (SelLength = -pattern length); on failure nothing changes. Backward and
  // whole-word searches are not offered (the converter uses neither): they, an empty pattern
  // and one holding a CR find nothing.
  bool FindTxt(std::string_view pattern, bool forward = true, bool matchCase = false, bool wholeWord = false);

  // The whole text (lines joined by CR LF) and its length.
  std::string Text() const;
  int64_t Length() const;
  // Replaces the whole text, as SelectAll followed by assigning SelText.
  void SetText(std::string_view text);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace quenda
