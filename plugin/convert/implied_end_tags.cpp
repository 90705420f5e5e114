// Implied end tags: HTML 4 lets authors leave out the end tags of p, li, dt, dd, option, thead,
// tbody, tfoot, tr, td, th and colgroup, and those of html, head and body; XHTML does not. This
// step writes each missing one where HTML 4.01's content models end the element, and changes
// nothing else.
//
// The text is read as a stream of tags over a stack of open elements. An element whose end tag
// may be left out ends where
//   - a start tag comes that its content model does not allow and that, in HTML 4, ends it:
//       p         any element that is not inline (block-level ones, list items, table parts, ...)
//       li        li
//       dt, dd    dt, dd
//       option    option, optgroup
//       thead, tbody, tfoot           thead, tbody, tfoot
//       tr        tr, thead, tbody, tfoot
//       td, th    td, th, tr, thead, tbody, tfoot
//       colgroup  colgroup, thead, tbody, tfoot, tr
//       head      body, frameset
//       html, body  no start tag
//     (a chain: "<td><p>a<td>" ends the p, then the td);
//   - the end tag of an element that encloses it comes ("</ul>" ends its open li);
//   - the text ends.
// An element closes only when everything open above it closes too: an open element whose end
// tag is required (b, font, div, an unknown one) stands in the way, and then nothing is written.
// So misnested inline elements, stray end tags and unknown elements stay as they are.
//
// The end tag goes right after the element's last content, before the blanks and line breaks in
// front of the tag that ends it, so that the layout of the lines is kept.
//
// An author who wrote "<p>a<table>...</table></p>" meant the p to hold the table. Ending the p
// before the table would leave the "</p>" without an element; so an element that a start tag
// ended is opened again, its end tag taken back, when its own end tag follows while the element
// around it is still the innermost open one.
//
// Comments, declarations, processing instructions, the content of script and style, and text
// inside quoted values are passed over. One pass, and the stack work is paid for by the tags
// pushed, so the step takes time in proportion to the text.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "plugin/convert/steps.h"

namespace quenda {

namespace {

enum Flag : uint8_t {
  kInline = 1,     // allowed inside a p: does not end one
  kVoid = 2,       // an empty element: never open
  kOmissible = 4,  // its end tag may be left out
  kRawText = 8,    // script and style: their content holds no tags
};

// The elements whose end tag may be left out, as bits: each names the start tags that end it.
enum Omissible : uint16_t {
  kP = 1 << 0,
  kLi = 1 << 1,
  kDt = 1 << 2,
  kDd = 1 << 3,
  kOption = 1 << 4,
  kOptgroup = 1 << 5,  // not omissible itself, but it ends an option
  kThead = 1 << 6,
  kTbody = 1 << 7,
  kTfoot = 1 << 8,
  kTr = 1 << 9,
  kTd = 1 << 10,
  kTh = 1 << 11,
  kColgroup = 1 << 12,
  kBody = 1 << 13,      // these two end an open head
  kFrameset = 1 << 14,
};
constexpr uint16_t kRowGroups = kThead | kTbody | kTfoot;

struct Element {
  const char* name;
  uint8_t flags;
  uint16_t self;     // its bit among the start tags that end an omissible element
  uint16_t endedBy;  // for an omissible element other than p: the start tags that end it
};

// HTML 4.01 (transitional and frameset): every element, its kind, and for those whose end tag
// may be left out, what ends them.
constexpr Element kElements[] = {
    {"a", kInline, 0, 0},
    {"abbr", kInline, 0, 0},
    {"acronym", kInline, 0, 0},
    {"address", 0, 0, 0},
    {"applet", kInline, 0, 0},
    {"area", kVoid, 0, 0},
    {"b", kInline, 0, 0},
    {"base", kVoid, 0, 0},
    {"basefont", kInline | kVoid, 0, 0},
    {"bdo", kInline, 0, 0},
    {"big", kInline, 0, 0},
    {"blockquote", 0, 0, 0},
    {"body", kOmissible, kBody, 0},
    {"br", kInline | kVoid, 0, 0},
    {"button", kInline, 0, 0},
    {"caption", 0, 0, 0},
    {"center", 0, 0, 0},
    {"cite", kInline, 0, 0},
    {"code", kInline, 0, 0},
    {"col", kVoid, 0, 0},
    {"colgroup", kOmissible, kColgroup, kColgroup | kRowGroups | kTr},
    {"dd", kOmissible, kDd, kDt | kDd},
    {"del", kInline, 0, 0},  // allowed anywhere in the body
    {"dfn", kInline, 0, 0},
    {"dir", 0, 0, 0},
    {"div", 0, 0, 0},
    {"dl", 0, 0, 0},
    {"dt", kOmissible, kDt, kDt | kDd},
    {"em", kInline, 0, 0},
    {"fieldset", 0, 0, 0},
    {"font", kInline, 0, 0},
    {"form", 0, 0, 0},
    {"frame", kVoid, 0, 0},
    {"frameset", 0, kFrameset, 0},
    {"h1", 0, 0, 0},
    {"h2", 0, 0, 0},
    {"h3", 0, 0, 0},
    {"h4", 0, 0, 0},
    {"h5", 0, 0, 0},
    {"h6", 0, 0, 0},
    {"head", kOmissible, 0, kBody | kFrameset},
    {"hr", kVoid, 0, 0},
    {"html", kOmissible, 0, 0},
    {"i", kInline, 0, 0},
    {"iframe", kInline, 0, 0},
    {"img", kInline | kVoid, 0, 0},
    {"input", kInline | kVoid, 0, 0},
    {"ins", kInline, 0, 0},  // allowed anywhere in the body
    {"isindex", kVoid, 0, 0},
    {"kbd", kInline, 0, 0},
    {"label", kInline, 0, 0},
    {"legend", 0, 0, 0},
    {"li", kOmissible, kLi, kLi},
    {"link", kVoid, 0, 0},
    {"map", kInline, 0, 0},
    {"menu", 0, 0, 0},
    {"meta", kVoid, 0, 0},
    {"noframes", 0, 0, 0},
    {"noscript", 0, 0, 0},
    {"object", kInline, 0, 0},
    {"ol", 0, 0, 0},
    {"optgroup", 0, kOptgroup, 0},
    {"option", kOmissible, kOption, kOption | kOptgroup},
    {"p", kOmissible, kP, 0},
    {"param", kVoid, 0, 0},
    {"pre", 0, 0, 0},
    {"q", kInline, 0, 0},
    {"s", kInline, 0, 0},
    {"samp", kInline, 0, 0},
    {"script", kInline | kRawText, 0, 0},
    {"select", kInline, 0, 0},
    {"small", kInline, 0, 0},
    {"span", kInline, 0, 0},
    {"strike", kInline, 0, 0},
    {"strong", kInline, 0, 0},
    {"style", kRawText, 0, 0},
    {"sub", kInline, 0, 0},
    {"sup", kInline, 0, 0},
    {"table", 0, 0, 0},
    {"tbody", kOmissible, kTbody, kRowGroups},
    {"td", kOmissible, kTd, kTd | kTh | kTr | kRowGroups},
    {"textarea", kInline, 0, 0},
    {"tfoot", kOmissible, kTfoot, kRowGroups},
    {"th", kOmissible, kTh, kTd | kTh | kTr | kRowGroups},
    {"thead", kOmissible, kThead, kRowGroups},
    {"title", 0, 0, 0},
    {"tr", kOmissible, kTr, kTr | kRowGroups},
    {"tt", kInline, 0, 0},
    {"u", kInline, 0, 0},
    {"ul", 0, 0, 0},
    {"var", kInline, 0, 0},
    // Elements of no HTML standard that browsers have always treated as empty: without an end
    // tag of their own, they would stand in the way of everything around them.
    {"bgsound", kInline | kVoid, 0, 0},
    {"embed", kInline | kVoid, 0, 0},
    {"keygen", kInline | kVoid, 0, 0},
    {"nextid", kVoid, 0, 0},
    {"spacer", kInline | kVoid, 0, 0},
    {"wbr", kInline | kVoid, 0, 0},
};
constexpr int kElementCount = static_cast<int>(std::size(kElements));
constexpr int kUnknown = -1;

// A name of up to eight characters packed into a number, lower-cased; longer names go by hash.
uint64_t NameKey(std::string_view name) {
  uint64_t key = 0;
  if (name.size() <= 8) {
    for (char c : name) key = key << 8 | static_cast<unsigned char>(c);
    return key;
  }
  key = 0xcbf29ce484222325u;  // FNV-1a, with the top bit set: never a packed short name
  for (char c : name) key = (key ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return key | (uint64_t{1} << 63);
}

// The elements by name key: an open-addressed table, looked up once per tag.
class ElementIndex {
 public:
  ElementIndex() {
    slots_.fill(kUnknown);
    for (int i = 0; i < kElementCount; ++i) {
      const uint64_t key = NameKey(kElements[i].name);
      size_t slot = Slot(key);
      while (slots_[slot] != kUnknown) slot = (slot + 1) % kSlots;
      slots_[slot] = i;
      keys_[slot] = key;
    }
  }
  int Find(uint64_t key) const {
    for (size_t slot = Slot(key);; slot = (slot + 1) % kSlots) {
      if (slots_[slot] == kUnknown || keys_[slot] == key) return slots_[slot];
    }
  }

 private:
  static constexpr size_t kSlots = 512;
  static size_t Slot(uint64_t key) { return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> 55); }
  std::array<int, kSlots> slots_;
  std::array<uint64_t, kSlots> keys_{};
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Per byte: its lower-case form when it may stand in a tag name (letters, digits, "-_:."), else 0.
struct NameTable {
  std::array<char, 256> lower{};
  NameTable() {
    for (int c = 0; c < 256; ++c) {
      if (c >= 'A' && c <= 'Z') lower[c] = static_cast<char>(c + 32);
      if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' || c == '.') {
        lower[c] = static_cast<char>(c);
      }
    }
  }
};
const NameTable kNames;
bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Position of the first occurrence of the lower-case `pattern` at or after `from`, letter case
// ignored; npos when there is none.
size_t FindNoCaseFrom(std::string_view text, std::string_view pattern, size_t from) {
  while (from < text.size()) {
    const void* hit = std::memchr(text.data() + from, '<', text.size() - from);
    if (hit == nullptr) return std::string_view::npos;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    if (text.size() - at < pattern.size()) return std::string_view::npos;
    size_t k = 1;
    while (k < pattern.size() && AsciiLower(text[at + k]) == pattern[k]) ++k;
    if (k == pattern.size()) return at;
    from = at + 1;
  }
  return std::string_view::npos;
}

// The ">" that ends a tag whose name ends at `from`; quoted values may hold ">". npos when the
// text ends first.
size_t TagEnd(std::string_view text, size_t from) {
  const char* const data = text.data();
  const size_t size = text.size();
  for (size_t i = from; i < size; ++i) {
    const char c = data[i];
    if (c == '>') return i;
    if (c == '"' || c == '\'') {
      const void* close = std::memchr(data + i + 1, c, size - i - 1);
      if (close == nullptr) return std::string_view::npos;
      i = static_cast<size_t>(static_cast<const char*>(close) - data);
    }
  }
  return std::string_view::npos;
}

class ImpliedEndTags {
 public:
  explicit ImpliedEndTags(std::string_view text) : text_(text) {}

  // Walks the text; afterwards `insertions_` holds the end tags to write, in text order.
  void Run() {
    static const ElementIndex index;
    size_t at = 0;
    const size_t size = text_.size();
    for (;;) {
      const void* hit = std::memchr(text_.data() + at, '<', size - at);
      if (hit == nullptr) break;
      const size_t lt = static_cast<size_t>(static_cast<const char*>(hit) - text_.data());
      if (lt + 1 >= size) break;
      const char next = text_[lt + 1];
      if (next == '!' || next == '?') {
        // A comment, a declaration or a processing instruction: no element begins or ends.
        size_t end;
        if (text_.compare(lt, 4, "<!--") == 0) {
          end = text_.find("-->", lt + 4);
          if (end != std::string_view::npos) end += 2;
        } else if (text_.compare(lt, 9, "<![CDATA[") == 0) {
          end = text_.find("]]>", lt + 9);
          if (end != std::string_view::npos) end += 2;
        } else {
          end = text_.find('>', lt + 2);
        }
        if (end == std::string_view::npos) return;  // the rest is not markup
        at = end + 1;
        continue;
      }
      const bool endTag = next == '/';
      const size_t nameBegin = lt + (endTag ? 2 : 1);
      if (nameBegin >= size || !IsNameStart(text_[nameBegin])) {
        at = lt + 1;  // a "<" in the text
        continue;
      }
      // The name, lower-cased and packed: up to eight characters exactly, longer ones hashed.
      size_t nameEnd = nameBegin;
      uint64_t key = 0;
      while (nameEnd < size && nameEnd - nameBegin < 8) {
        const char c = kNames.lower[static_cast<unsigned char>(text_[nameEnd])];
        if (c == 0) break;
        key = key << 8 | static_cast<unsigned char>(c);
        ++nameEnd;
      }
      if (nameEnd < size && kNames.lower[static_cast<unsigned char>(text_[nameEnd])] != 0) {
        std::string name;
        for (size_t i = nameBegin; i < size && kNames.lower[static_cast<unsigned char>(text_[i])] != 0; ++i) {
          name.push_back(kNames.lower[static_cast<unsigned char>(text_[i])]);
        }
        nameEnd = nameBegin + name.size();
        key = NameKey(name);
      }
      const size_t gt = TagEnd(text_, nameEnd);
      if (gt == std::string_view::npos) return;  // an unfinished tag: the rest is not markup
      const int element = index.Find(key);
      at = gt + 1;
      if (endTag) {
        EndTag(element, key, lt);
        continue;
      }
      const uint8_t flags = element == kUnknown ? 0 : kElements[element].flags;
      if (element != kUnknown) CloseBefore(kElements[element], lt);
      if ((flags & kVoid) != 0 || text_[gt - 1] == '/') continue;
      if ((flags & kRawText) != 0) {
        // Script and style hold no tags up to their own end tag.
        const size_t close = FindNoCaseFrom(text_, (flags & kInline) != 0 ? "</script" : "</style", at);
        if (close == std::string_view::npos) return;
        const size_t closeEnd = TagEnd(text_, close + 2);
        if (closeEnd == std::string_view::npos) return;
        at = closeEnd + 1;
        continue;
      }
      Push(element, key);
    }
    // At the end of the text, whatever may end there ends.
    size_t n = open_.size();
    while (n > 0 && IsOmissible(open_[n - 1].element)) --n;
    CloseDownTo(n, size);
  }

  // The text with the end tags written into it.
  void Write(std::string& out) const {
    out.clear();
    size_t extra = 0;
    for (const Insertion& i : insertions_) extra += std::strlen(kElements[i.element].name) + 3;
    out.reserve(text_.size() + extra);
    size_t from = 0;
    for (const Insertion& i : insertions_) {
      if (i.cancelled) continue;
      out.append(text_.data() + from, i.position - from);
      out.append("</");
      out.append(kElements[i.element].name);
      out.push_back('>');
      from = i.position;
    }
    out.append(text_.data() + from, text_.size() - from);
  }

  bool Inserted() const {
    return std::any_of(insertions_.begin(), insertions_.end(), [](const Insertion& i) { return !i.cancelled; });
  }

 private:
  struct Open {
    int element;  // kUnknown for an element of no HTML standard
    uint64_t key;
  };
  struct Insertion {
    size_t position;
    int element;
    bool cancelled;
  };
  // An element that a start tag ended: its end tag may yet be taken back (see the top).
  struct Ended {
    size_t depth;  // how many elements were open around it
    int element;
    size_t insertion;
  };

  static bool IsOmissible(int element) { return element != kUnknown && (kElements[element].flags & kOmissible) != 0; }

  // Whether the start tag of `next` ends the open element `current`.
  static bool Ends(const Element& next, int current) {
    if (!IsOmissible(current)) return false;
    const Element& open = kElements[current];
    if (open.self == kP) return (next.flags & kInline) == 0;
    return (open.endedBy & next.self) != 0;
  }

  void Push(int element, uint64_t key) {
    open_.push_back({element, key});
    ++openCount_[element == kUnknown ? kElementCount : element];
    if (element == kUnknown) ++unknownOpen_[key];
  }

  void Pop() {
    const Open& top = open_.back();
    --openCount_[top.element == kUnknown ? kElementCount : top.element];
    if (top.element == kUnknown && --unknownOpen_[top.key] == 0) unknownOpen_.erase(top.key);
    open_.pop_back();
    while (!ended_.empty() && ended_.back().depth > open_.size()) ended_.pop_back();
  }

  // Where an element that ends in front of the item at `position` gets its end tag: after the
  // last character before it that is not a blank or a line break.
  size_t InsertionPoint(size_t position) const {
    while (position > 0 && IsBlank(text_[position - 1])) --position;
    return position;
  }

  // Ends the open elements above the first `keep` ones in front of the item at `position`.
  void CloseDownTo(size_t keep, size_t position) {
    const size_t point = InsertionPoint(position);
    while (open_.size() > keep) {
      insertions_.push_back({point, open_.back().element, false});
      Pop();
    }
  }

  // A start tag of `next` at `position`: the open elements it ends get their end tags.
  void CloseBefore(const Element& next, size_t position) {
    size_t n = open_.size();
    while (n > 0 && Ends(next, open_[n - 1].element)) --n;
    if (n == open_.size()) return;
    const int outermost = open_[n].element;
    CloseDownTo(n, position);
    ended_.push_back({open_.size(), outermost, insertions_.size() - 1});
  }

  void EndTag(int element, uint64_t key, size_t position) {
    const bool isOpen = element == kUnknown ? unknownOpen_.count(key) != 0 : openCount_[element] > 0;
    if (!isOpen) {
      // The end tag of an element a start tag ended right here: it held what followed after all.
      if (!ended_.empty() && ended_.back().depth == open_.size() && ended_.back().element == element &&
          element != kUnknown) {
        insertions_[ended_.back().insertion].cancelled = true;
        ended_.pop_back();
      }
      return;  // a stray end tag stays as it is
    }
    auto matches = [&](const Open& o) { return o.element == element && (element != kUnknown || o.key == key); };
    size_t n = open_.size();
    bool sound = true;
    while (!matches(open_[n - 1])) {
      if (!IsOmissible(open_[n - 1].element)) sound = false;
      --n;
    }
    if (sound) {
      CloseDownTo(n, position);
    } else {
      // Misnested: no end tag we may write makes it sound. The elements above go with it.
      while (open_.size() > n) Pop();
    }
    Pop();
  }

  std::string_view text_;
  std::vector<Open> open_;
  std::array<size_t, kElementCount + 1> openCount_{};
  std::unordered_map<uint64_t, size_t> unknownOpen_;
  std::vector<Insertion> insertions_;
  std::vector<Ended> ended_;
};

}  // namespace

void CompleteImpliedEndTags(std::string& text, std::string& spare) {
  ImpliedEndTags step(text);
  step.Run();
  if (!step.Inserted()) return;
  step.Write(spare);
  text.swap(spare);
}

}  // namespace quenda
