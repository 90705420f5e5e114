// Step 2, tag normalization, in one pass over the text.
//
// The rule is a loop that always takes the first "<" of the whole text, handles the item that
// starts there and puts it back with two-byte marks in place of its "<" and ">", so that the
// next round finds the next unhandled "<". Searching from the start in every round would cost
// the square of the document's size; instead the text is kept as three parts: a finished part
// that no round would look at again (it holds no "<" or ">"), the put-back text of the last
// tag when it still holds a "<" or ">" (a quoted value with one, or an odd quote), which the
// next round must scan exactly as the loop would, and the untouched rest of the source.
//
// The marks are turned back into "<" and ">" reading pairs from the left. Replacing every open
// mark first and every close mark afterwards would misread two close marks in a row (">>" in a
// script kept in a comment is A5 B1 A5 B1, which holds the open mark B1 A5 in its middle).
#include "plugin/convert/tag_normalization.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <thread>

#include "plugin/convert/steps.h"
#include "plugin/convert/tag_primitives.h"
#include "plugin/convert/tag_tables.h"
#include "plugin/convert/text.h"
#include "plugin/convert/text_lines.h"

namespace quenda {

namespace {

constexpr char kOpenMark0 = '\xB1';
constexpr char kOpenMark1 = '\xA5';

bool HoldsMarkBytes(std::string_view text) {
  // One pass, eight bytes at a time: a byte of the word equals a mark byte when the word XOR
  // that byte repeated has a zero byte there.
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighs = 0x8080808080808080u;
  constexpr uint64_t kMark0 = kOnes * static_cast<unsigned char>(kOpenMark0);
  constexpr uint64_t kMark1 = kOnes * static_cast<unsigned char>(kOpenMark1);
  auto hasZeroByte = [](uint64_t v) { return ((v - kOnes) & ~v & kHighs) != 0; };
  const char* p = text.data();
  const char* const end = p + text.size();
  for (; end - p >= 8; p += 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    if ((word & kHighs) == 0) continue;  // plain ASCII
    if (hasZeroByte(word ^ kMark0) || hasZeroByte(word ^ kMark1)) return true;
  }
  for (; p < end; ++p) {
    if (*p == kOpenMark0 || *p == kOpenMark1) return true;
  }
  return false;
}

bool HoldsAngle(std::string_view text) {
  return std::memchr(text.data(), '<', text.size()) != nullptr || std::memchr(text.data(), '>', text.size()) != nullptr;
}

void AppendDecoded(std::string& out, std::string_view text) {
  const size_t n = text.size();
  size_t from = 0;
  for (size_t i = 0; i + 1 < n; ++i) {
    char c = text[i];
    char replacement;
    if (c == kOpenMark0 && text[i + 1] == kOpenMark1) {
      replacement = '<';
    } else if (c == kOpenMark1 && text[i + 1] == kOpenMark0) {
      replacement = '>';
    } else {
      continue;
    }
    out.append(text.data() + from, i - from);
    out.push_back(replacement);
    from = i + 2;
    ++i;
  }
  out.append(text.data() + from, n - from);
}

// A "<" of the lower-cased tag where `entry` (which starts with "<") begins.
bool LowerMatchAt(std::string_view tag, size_t at, std::string_view entry, const unsigned char* lower) {
  if (tag.size() - at < entry.size()) return false;
  for (size_t k = 1; k < entry.size(); ++k) {
    if (lower[static_cast<unsigned char>(tag[at + k])] != static_cast<unsigned char>(entry[k])) return false;
  }
  return true;
}

// The WithSlash entries that occur at the "<" at `at` of the tag, as a bit set. Only entries
// whose letter after the "<" is the tag's are compared.
uint32_t WithSlashAt(std::string_view tag, size_t at, const unsigned char* lower) {
  static const std::array<uint32_t, 256> candidates = [] {
    std::array<uint32_t, 256> table{};
    for (size_t e = 0; e < WithSlash.size(); ++e) table[static_cast<unsigned char>(WithSlash[e][1])] |= 1u << e;
    return table;
  }();
  if (tag.size() - at < 2) return 0;
  uint32_t found = 0;
  for (uint32_t bits = candidates[lower[static_cast<unsigned char>(tag[at + 1])]]; bits != 0; bits &= bits - 1) {
    const int e = std::countr_zero(bits);
    if (LowerMatchAt(tag, at, WithSlash[e], lower)) found |= 1u << e;
  }
  return found;
}

bool LowerContains(std::string_view tag, std::string_view pattern, const unsigned char* lower) {
  if (pattern.size() > tag.size()) return false;
  for (size_t at = 0; at + pattern.size() <= tag.size(); ++at) {
    size_t k = 0;
    while (k < pattern.size() && lower[static_cast<unsigned char>(tag[at + k])] == static_cast<unsigned char>(pattern[k])) ++k;
    if (k == pattern.size()) return true;
  }
  return false;
}

bool AsciiEqualNoCase(std::string_view text, std::string_view lowerPattern) {
  for (size_t k = 0; k < lowerPattern.size(); ++k) {
    char c = text[k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lowerPattern[k]) return false;
  }
  return true;
}

// The tag rules, applied to one tag with its "<" and ">".
class TagRules {
 public:
  explicit TagRules(bool nonXhtmlCompatible) : slash_(nonXhtmlCompatible ? " /" : "/") {}

  // The tag after all rules, still with its first and last character.
  const std::string& Apply(std::string_view item) {
    NormalizeTagInto(item, true, tag_, scratch_);
    const unsigned char* lower = LowerTable();

    // Empty elements: which WithSlash entries occur, looked for at every "<" of the tag.
    uint32_t found = 0;
    for (size_t at = tag_.find('<'); at != std::string::npos; at = tag_.find('<', at + 1)) {
      found |= WithSlashAt(tag_, at, lower);
    }
    const bool hasImg = (found & 1u) != 0;
    const size_t n = tag_.size();
    if (found != 0 && (n < 2 || tag_[n - 2] != '/')) {
      // The entries are tried one after the other on the growing tag: once a " /" has gone in
      // before the last character, an entry that ends in a blank ("<col ") also matches a tag
      // whose text before the last character ends in its name (`<br<col>`).
      std::string_view head = std::string_view(tag_).substr(0, n - 1);
      uint32_t matched = 0;
      for (size_t e = 0; e < WithSlash.size(); ++e) {
        bool match = (found & (1u << e)) != 0;
        std::string_view entry = WithSlash[e];
        if (!match && matched != 0 && slash_.front() == ' ' && entry.back() == ' ') {
          std::string_view name = entry.substr(0, entry.size() - 1);
          size_t at = head.size() - name.size();
          match = head.size() >= name.size() && head[at] == '<' && LowerMatchAt(head, at, name, lower);
        }
        if (match) matched |= 1u << e;
      }
      std::string slashes;
      for (uint32_t bits = matched; bits != 0; bits &= bits - 1) slashes.append(slash_);
      tag_.insert(n - 1, slashes);
    }

    // Minimized attributes, written out and moved to the end in table order.
    bool rewritten = false;
    if (MayHoldStandAlone()) {
      std::string tag = tag_;
      for (std::string_view name : StandAlones) {
        if (!HasAttribute(name, tag)) continue;
        std::string nameEq(name);
        nameEq.push_back('=');
        tag = RemoveQuotedAttribute(nameEq, tag);
        tag = RemoveAttribute(name, tag);
        std::string written = nameEq + '"' + std::string(name) + '"';
        tag = AppendAttribute(tag, written);
        rewritten = true;
      }
      tag_ = std::move(tag);
    }

    // Images get an empty text alternative when they have none.
    bool img = rewritten ? LowerContains(tag_, "<img", lower) : hasImg;
    if (img && !LowerContains(tag_, "alt=\"", lower)) tag_ = AppendAttribute(tag_, "alt=\"\"");

    LowerKeywordValues();
    return tag_;
  }

 private:
  // Cheap test that lets most tags skip the attribute rewriting: no StandAlones name follows
  // any blank of the tag.
  bool MayHoldStandAlone() const {
    for (size_t at = tag_.find(' '); at != std::string::npos; at = tag_.find(' ', at + 1)) {
      char next = at + 1 < tag_.size() ? tag_[at + 1] : '\0';
      if (next != 'r' && next != 'n' && next != 'c' && next != 's' && next != 'm') continue;
      std::string_view rest = std::string_view(tag_).substr(at + 1);
      for (std::string_view name : StandAlones) {
        if (rest.substr(0, name.size()) == name) return true;
      }
    }
    return false;
  }

  // Every LittleValues entry is replaced by itself wherever it occurs without regard to case,
  // one entry after the other, each scan going on after its last match. An entry always runs
  // from one double quote to the next, so the candidates are the texts between neighbouring
  // quotes; the only matches a scan skips are those that share their opening quote with the
  // previous match of the same entry (`"top"top"`).
  void LowerKeywordValues() {
    size_t open = tag_.find('"');
    size_t lastClose = std::string::npos;
    size_t lastEntry = LittleValues.size();
    while (open != std::string::npos) {
      size_t close = tag_.find('"', open + 1);
      if (close == std::string::npos) break;
      size_t length = close - open + 1;
      if (length >= 4 && length <= 10) {
        std::string_view candidate = std::string_view(tag_).substr(open, length);
        for (size_t e = 0; e < LittleValues.size(); ++e) {
          std::string_view entry = LittleValues[e];
          if (entry.size() != length || !AsciiEqualNoCase(candidate, entry)) continue;
          if (!(lastClose == open && lastEntry == e)) {
            tag_.replace(open, length, entry);
            lastClose = close;
            lastEntry = e;
          }
          break;
        }
      }
      open = close;
    }
  }

  std::string_view slash_;
  std::string tag_;
  std::string scratch_;
};

// Most tags are a bare name (<TD>, </TR>, <BR>): nothing to quote, no attribute, no value.
// For them the rules come down to lower-casing and, for an empty element other than an image,
// the closing slash; the tag is written straight to `out`. Returns false (and writes nothing)
// for any other tag.
class SimpleTags {
 public:
  explicit SimpleTags(bool nonXhtmlCompatible) : slash_(nonXhtmlCompatible ? " /" : "/") {
    for (unsigned char c : {' ', '=', '"', '_', '<', '>'}) special_[c] = true;
  }

  bool Write(std::string_view item, std::string& out) const {
    const size_t n = item.size();
    if (n < 2) return false;
    for (size_t i = 1; i + 1 < n; ++i) {
      if (special_[static_cast<unsigned char>(item[i])]) return false;
    }
    const unsigned char* lower = LowerTable();
    const uint32_t found = WithSlashAt(item, 0, lower);
    if ((found & 1u) != 0) return false;  // an image gets its alt attribute the long way
    const size_t at = out.size();
    out.resize(at + n - 1);
    char* target = out.data() + at;
    target[0] = '<';
    for (size_t i = 1; i + 1 < n; ++i) target[i] = static_cast<char>(lower[static_cast<unsigned char>(item[i])]);
    if (found != 0 && item[n - 2] != '/') {
      for (uint32_t bits = found; bits != 0; bits &= bits - 1) out.append(slash_);
    }
    out.push_back('>');
    return true;
  }

 private:
  std::string_view slash_;
  bool special_[256] = {};
};

// The text still to be handled: the put-back text of the last tag when it must be scanned
// again, followed by the rest of the source. Indexes run over both.
class Remaining {
 public:
  explicit Remaining(std::string_view source) : source_(source) {}

  size_t Size() const { return pending_.size() + (source_.size() - pos_); }
  bool PendingEmpty() const { return pending_.empty(); }

  char At(size_t i) const { return i < pending_.size() ? pending_[i] : source_[pos_ + i - pending_.size()]; }

  size_t Find(char c) const {
    size_t at = pending_.find(c);
    if (at != std::string::npos) return at;
    const void* hit = std::memchr(source_.data() + pos_, c, source_.size() - pos_);
    if (hit == nullptr) return std::string::npos;
    return pending_.size() + static_cast<size_t>(static_cast<const char*>(hit) - (source_.data() + pos_));
  }

  // First "-->" at or after `from`.
  size_t FindCommentEnd(size_t from) const {
    const size_t size = Size();
    // Inside the put-back text, and across its end, position by position (it is short).
    size_t i = from;
    for (; i < pending_.size() && i + 2 < size; ++i) {
      if (At(i) == '-' && At(i + 1) == '-' && At(i + 2) == '>') return i;
    }
    if (i + 2 >= size) return std::string::npos;
    std::string_view rest = source_.substr(pos_ + (i - pending_.size()));
    size_t at = rest.find("-->");
    return at == std::string_view::npos ? at : i + at;
  }

  // The characters [0, end), as a view into the parts when it lies in one of them.
  std::string_view Slice(size_t end, std::string& storage) const {
    if (end <= pending_.size()) return std::string_view(pending_).substr(0, end);
    if (pending_.empty()) return source_.substr(pos_, end);
    storage.assign(pending_);
    storage.append(source_.substr(pos_, end - pending_.size()));
    return storage;
  }

  // Where the rest of the source begins, when nothing put back lies in front of it.
  size_t SourcePosition() const { return pos_; }

  // Whether [0, end) lies in the source alone (and so holds no marks of ours).
  bool FromSource(size_t end) const { return pending_.empty() || end == 0; }

  // Moves [0, end) to `out`: the put-back part decoded unless the marks stay for later.
  void MoveTo(size_t end, std::string& out, bool keepMarks) {
    size_t fromPending = end < pending_.size() ? end : pending_.size();
    if (fromPending > 0) {
      std::string_view part = std::string_view(pending_).substr(0, fromPending);
      if (keepMarks) {
        out.append(part);
      } else {
        AppendDecoded(out, part);
      }
    }
    out.append(source_.substr(pos_, end - fromPending));
    Drop(end);
  }

  void Drop(size_t end) {
    size_t fromPending = end < pending_.size() ? end : pending_.size();
    pending_.erase(0, fromPending);
    pos_ += end - fromPending;
  }

  // Puts text in front of what remains; it will be scanned again.
  void PutBack(std::string_view text) { pending_.insert(0, text); }

 private:
  std::string pending_;
  std::string_view source_;
  size_t pos_ = 0;
};

}  // namespace

std::string DecodeTagMarks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendDecoded(out, text);
  return out;
}

namespace {

// The loop over the items of `text`, appending to `out`. When it comes to the item that starts
// at `stopAt` with nothing put back in front of it, it stops there and returns true; otherwise
// it runs to the end and returns false.
bool HandleItems(std::string_view text, bool nonXhtmlCompatible, bool keepMarks, size_t stopAt, std::string& out) {
  Remaining rest(text);
  TagRules rules(nonXhtmlCompatible);
  const SimpleTags simpleTags(nonXhtmlCompatible);
  std::string storage;
  std::string marked;

  for (;;) {
    const size_t lt = rest.Find('<');
    const size_t gt = rest.Find('>');
    if (lt == std::string::npos || gt == std::string::npos || gt < lt) break;
    rest.MoveTo(lt, out, keepMarks);
    if (rest.PendingEmpty() && rest.SourcePosition() == stopAt) return true;

    const bool comment = rest.Size() >= 4 && rest.At(1) == '!' && rest.At(2) == '-' && rest.At(3) == '-';
    size_t end;  // one past the item's last character
    if (comment) {
      size_t dashes = rest.FindCommentEnd(0);
      if (dashes == std::string::npos) break;  // a comment without an end: the rest stays as it is
      end = dashes + 3;
    } else {
      end = gt - lt + 1;
    }
    const bool fromSource = rest.FromSource(end);
    std::string_view item = rest.Slice(end, storage);

    if (comment) {
      // Its "<" and ">" become marks, which are "<" and ">" again at the end.
      if (keepMarks) {
        for (char c : item) {
          if (c == '<') {
            out.append(TagOpenMark);
          } else if (c == '>') {
            out.append(TagCloseMark);
          } else {
            out.push_back(c);
          }
        }
      } else if (fromSource) {
        out.append(item);
      } else {
        AppendDecoded(out, item);
      }
      rest.Drop(end);
      continue;
    }

    if (fromSource && !keepMarks && simpleTags.Write(item, out)) {
      rest.Drop(end);
      continue;
    }
    const std::string& tag = rules.Apply(item);
    rest.Drop(end);
    std::string_view inner = tag.size() >= 2 ? std::string_view(tag).substr(1, tag.size() - 2) : std::string_view();
    if (HoldsAngle(inner)) {
      marked.assign(TagOpenMark);
      marked.append(inner);
      marked.append(TagCloseMark);
      rest.PutBack(marked);
    } else if (keepMarks) {
      out.append(TagOpenMark);
      out.append(inner);
      out.append(TagCloseMark);
    } else {
      out.push_back('<');
      if (fromSource) {
        out.append(inner);
      } else {
        AppendDecoded(out, inner);
      }
      out.push_back('>');
    }
  }
  rest.MoveTo(rest.Size(), out, keepMarks);
  return false;
}

// A "<" that starts a line near the middle of the text, where a second thread can begin.
size_t SplitPoint(std::string_view text) {
  const size_t at = text.find("\n<", text.size() / 2);
  return at == std::string_view::npos ? at : at + 1;
}

}  // namespace

void NormalizeTagsText(std::string_view text, bool nonXhtmlCompatible, std::string& out, int threads) {
  // When the text holds no mark bytes of its own, finished items are written with their real
  // "<" and ">" at once; otherwise the marks stay until the end and are decoded over the whole
  // text in one go, so that a stray mark byte next to a mark reads as it would there.
  const bool keepMarks = HoldsMarkBytes(text);
  out.clear();
  out.reserve(text.size() + text.size() / 4 + 16);
  const size_t split = threads > 1 && !keepMarks && text.size() >= kParallelSize ? SplitPoint(text) : std::string::npos;
  if (split == std::string::npos) {
    HandleItems(text, nonXhtmlCompatible, keepMarks, std::string::npos, out);
    if (keepMarks) out = DecodeTagMarks(out);
    return;
  }
  // The loop's state between two items is only where it stands in the text and what it has put
  // back. A second thread handles the text from a "<" near the middle as the loop would arrive
  // there with nothing put back; the first part either arrives so (the two results join) or
  // runs across that point and is the whole result by itself.
  std::string second;
  second.reserve((text.size() - split) + (text.size() - split) / 4 + 16);
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      HandleItems(text.substr(split), nonXhtmlCompatible, false, std::string::npos, second);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  bool joined = false;
  try {
    joined = HandleItems(text, nonXhtmlCompatible, false, split, out);
  } catch (...) {
    worker.join();
    throw;
  }
  worker.join();
  if (!joined) return;
  if (failure) std::rethrow_exception(failure);
  out.append(second);
}

std::string NormalizeTagsText(std::string_view text, bool nonXhtmlCompatible) {
  std::string out;
  NormalizeTagsText(text, nonXhtmlCompatible, out, 1);
  return out;
}

void NormalizeTags(std::string& text, const ConversionOptions& options, std::string& spare, int threads) {
  NormalizeTagsText(text, options.nonXhtmlCompatible, spare, threads);
  text.swap(spare);
  // Tags may span lines; whatever the rules did to them, the text keeps whole line breaks.
  CompleteLineBreaks(text);
}

}  // namespace quenda
