#include "plugin/convert/work_buffer.h"

#include <algorithm>

#include "plugin/convert/chunk_rope.h"
#include "plugin/convert/host_text.h"

namespace quenda {

struct WorkBuffer::Impl {
  ChunkRope rope;
  int64_t selStart = 0;
  int64_t selLength = 0;
  std::string scratch;  // reused for texts that need their line breaks completed

  int64_t SelectionBegin() const { return std::min(selStart, selStart + selLength); }
  int64_t SelectionEnd() const { return std::max(selStart, selStart + selLength); }

  // Start of line `index` (< line count) and the position of its break (or the text's end).
  int64_t LineStart(int64_t index) const { return index == 0 ? 0 : rope.CrPosition(index - 1) + 2; }
  int64_t LineEnd(int64_t index) const {
    return index < rope.CrCount() ? rope.CrPosition(index) : rope.Size();
  }

  std::string_view Canonical(std::string_view text) {
    if (HasHostLineBreaks(text)) return text;
    scratch.clear();
    AppendHostLineText(scratch, text);
    return scratch;
  }

  // Replaces the bytes [from, to) and puts the caret right after the new text.
  void Replace(int64_t from, int64_t to, std::string_view text) {
    std::string_view canonical = Canonical(text);
    // The caret can stand between the CR and the LF of a break; an edit there keeps that
    // break whole instead of leaving a CR without its LF.
    std::string joined;
    if (from > 0 && rope.ByteAt(from - 1) == '\r' && !(canonical.empty() && from == to)) {
      joined.reserve(canonical.size() + 1);
      joined.push_back('\n');
      joined.append(canonical);
      canonical = joined;
    }
    rope.Replace(from, to, canonical);
    selStart = from + static_cast<int64_t>(canonical.size());
    selLength = 0;
  }
};

WorkBuffer::WorkBuffer() : impl_(new Impl) {}
WorkBuffer::~WorkBuffer() { delete impl_; }

void WorkBuffer::Clear() {
  impl_->rope.Assign({});
  impl_->selStart = 0;
  impl_->selLength = 0;
}

void WorkBuffer::SelectAll() {
  impl_->selStart = impl_->rope.Size();
  impl_->selLength = -impl_->selStart;
}

std::string WorkBuffer::SelText() const {
  std::string out;
  impl_->rope.Read(impl_->SelectionBegin(), impl_->SelectionEnd(), out);
  return out;
}

void WorkBuffer::SetSelText(std::string_view text) {
  impl_->Replace(impl_->SelectionBegin(), impl_->SelectionEnd(), text);
}

int64_t WorkBuffer::SelStart() const { return impl_->selStart; }

void WorkBuffer::SetSelStart(int64_t position) {
  impl_->selStart = std::clamp<int64_t>(position, 0, impl_->rope.Size());
  impl_->selLength = 0;
}

int64_t WorkBuffer::SelLength() const { return impl_->selLength; }

void WorkBuffer::SetSelLength(int64_t length) {
  impl_->selLength = std::clamp<int64_t>(length, -impl_->selStart, impl_->rope.Size() - impl_->selStart);
}

int64_t WorkBuffer::SelLine() const {
  // A caret between the CR and the LF of a break still belongs to the line the break ends.
  return impl_->rope.CrsBefore(std::max<int64_t>(impl_->selStart - 1, 0));
}

int64_t WorkBuffer::LineCount() const { return impl_->rope.CrCount() + 1; }

std::string WorkBuffer::Line(int64_t index) const {
  std::string out;
  if (index < 0 || index >= LineCount()) return out;
  impl_->rope.Read(impl_->LineStart(index), impl_->LineEnd(index), out);
  return out;
}

void WorkBuffer::ReplaceLine(int64_t index, std::string_view text) {
  if (index < 0 || index >= LineCount()) return;
  impl_->Replace(impl_->LineStart(index), impl_->LineEnd(index), text);
}

void WorkBuffer::InsertLine(int64_t index, std::string_view text) {
  const int64_t count = LineCount();
  if (index < 0 || index > count) return;
  std::string line;
  line.reserve(text.size() + 2);
  if (index < count) {
    line.append(text);
    line.append("\r\n");
    const int64_t start = impl_->LineStart(index);
    impl_->Replace(start, start, line);
  } else {
    line.append("\r\n");
    line.append(text);
    const int64_t end = impl_->rope.Size();
    impl_->Replace(end, end, line);
  }
}

void WorkBuffer::DeleteLine(int64_t index) {
  if (index < 0 || index >= LineCount()) return;
  const int64_t start = impl_->LineStart(index);
  int64_t end = impl_->LineEnd(index);
  if (index < impl_->rope.CrCount()) end += 2;  // the line's own break goes with it
  impl_->Replace(start, end, {});
}

bool WorkBuffer::FindTxt(std::string_view pattern, bool forward, bool matchCase, bool wholeWord) {
  // The converter only ever searches forward for parts of words; the other forms are not offered.
  if (!forward || wholeWord) return false;
  if (pattern.empty() || pattern.find('\r') != std::string_view::npos) return false;
  std::string wanted(pattern);
  if (!matchCase) {
    for (char& c : wanted) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
  }
  const int64_t at = impl_->rope.Find(impl_->selStart, wanted, !matchCase);
  if (at < 0) return false;
  const int64_t length = static_cast<int64_t>(pattern.size());
  impl_->selStart = at + length;
  impl_->selLength = -length;
  return true;
}

std::string WorkBuffer::Text() const {
  std::string out;
  impl_->rope.Read(0, impl_->rope.Size(), out);
  return out;
}

int64_t WorkBuffer::Length() const { return impl_->rope.Size(); }

void WorkBuffer::SetText(std::string_view text) {
  impl_->rope.Assign(impl_->Canonical(text));
  impl_->selStart = impl_->rope.Size();
  impl_->selLength = 0;
}

}  // namespace quenda
