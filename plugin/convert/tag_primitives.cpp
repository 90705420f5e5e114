#include "plugin/convert/tag_primitives.h"

#include <cstring>

#include "plugin/convert/text.h"

namespace quenda {

const std::string_view EmptyValueMark = "_Folium![]-";

namespace {

constexpr std::string_view kLowerEmptyValueMark = "_folium![]-";

// Blanks next to "=" go, however many there are: `a = "x"` and `a= "x"` both become `a="x"`.
// Only a run of blanks that touches an "=" is removed; tabs and line breaks stay.
void RemoveBlanksAroundEquals(std::string_view tag, std::string& out) {
  const char* data = tag.data();
  const size_t n = tag.size();
  size_t from = 0;
  while (from < n) {
    const void* hit = std::memchr(data + from, ' ', n - from);
    if (hit == nullptr) break;
    size_t begin = static_cast<size_t>(static_cast<const char*>(hit) - data);
    size_t end = begin;
    while (end < n && data[end] == ' ') ++end;
    out.append(data + from, begin - from);
    bool touchesEquals = (begin > 0 && data[begin - 1] == '=') || (end < n && data[end] == '=');
    if (!touchesEquals) out.append(data + begin, end - begin);
    from = end;
  }
  out.append(data + from, n - from);
}

// Puts double quotes around every value that lacks them. A value in double quotes is passed
// over up to its closing quote; an unquoted one ends at the first blank or ">". A ">" outside
// a value ends the work (the rest is copied as it is), as does a ">" inside a quoted value.
void QuoteValues(std::string_view tag, std::string& out) {
  const size_t n = tag.size();
  size_t i = 0;
  while (i < n) {
    size_t j = i;
    while (j < n && tag[j] != '=' && tag[j] != '>') ++j;
    out.append(tag.data() + i, j - i);
    if (j == n || tag[j] == '>') {
      out.append(tag.data() + j, n - j);
      return;
    }
    out.push_back('=');
    if (j + 1 < n && tag[j + 1] == '"') {
      size_t k = j + 2;
      while (k < n && tag[k] != '"' && tag[k] != '>') ++k;
      if (k < n && tag[k] == '"') {
        out.append(tag.data() + j + 1, k + 1 - (j + 1));
        i = k + 1;
        continue;
      }
      out.append(tag.data() + j + 1, n - (j + 1));
      return;
    }
    size_t k = j + 1;
    while (k < n && tag[k] != ' ' && tag[k] != '>') ++k;
    out.push_back('"');
    out.append(tag.data() + j + 1, k - (j + 1));
    out.push_back('"');
    i = k;
  }
}

// Lower-cases everything outside double-quoted values. The tag is cut at its double quotes into
// the runs between them; the 1st, 3rd, ... run is lower-cased, the 2nd, 4th, ... is a value and
// keeps its case. An empty value `""` would vanish in that cut, so it travels as EmptyValueMark
// and comes back as `""` where the mark was lower-cased (outside values). An odd number of
// quotes makes the last run a value, which then gets its closing quote after the ">".
void LowerOutsideValues(std::string_view tag, std::string& out) {
  const unsigned char* lower = LowerTable();
  const char* data = tag.data();
  const size_t n = tag.size();
  bool inValue = false;  // the run being written is a value (2nd, 4th, ... run)
  bool inRun = false;    // a run has started and not yet ended at a quote
  bool lowerMarkWritten = false;
  size_t i = 0;
  while (i < n) {
    if (data[i] == '"') {
      if (i + 1 < n && data[i + 1] == '"') {
        if (!inRun) {
          inRun = true;
          if (inValue) out.push_back('"');
        }
        out.append(inValue ? EmptyValueMark : kLowerEmptyValueMark);
        lowerMarkWritten |= !inValue;
        i += 2;
        continue;
      }
      if (inRun) {
        if (inValue) out.push_back('"');
        inValue = !inValue;
        inRun = false;
      }
      ++i;
      continue;
    }
    // A stretch without quotes belongs to the current run.
    const void* quote = std::memchr(data + i, '"', n - i);
    size_t end = quote == nullptr ? n : static_cast<size_t>(static_cast<const char*>(quote) - data);
    if (!inRun) {
      inRun = true;
      if (inValue) out.push_back('"');
    }
    if (inValue) {
      out.append(data + i, end - i);
      if (std::memchr(data + i, '_', end - i) != nullptr) lowerMarkWritten = true;
    } else {
      size_t at = out.size();
      out.resize(at + (end - i));
      char* target = out.data() + at;
      for (size_t k = i; k < end; ++k) {
        unsigned char low = lower[static_cast<unsigned char>(data[k])];
        target[k - i] = static_cast<char>(low);
        lowerMarkWritten |= low == '_';
      }
    }
    i = end;
  }
  if (inRun && inValue) out.push_back('"');
  // Every lower-case mark in the result becomes `""` again, wherever it stands.
  if (lowerMarkWritten && out.find(kLowerEmptyValueMark) != std::string::npos) {
    out = ReplaceText(out, kLowerEmptyValueMark, "\"\"", ReplaceFlags{true, false});
  }
}

size_t FindBlankName(std::string_view name, std::string_view tag) {
  size_t at = tag.find(' ');
  while (at != std::string_view::npos) {
    if (tag.compare(at + 1, name.size(), name) == 0 && tag.size() - (at + 1) >= name.size()) return at;
    at = tag.find(' ', at + 1);
  }
  return std::string_view::npos;
}

}  // namespace

void NormalizeTagInto(std::string_view tag, bool lowerCase, std::string& out, std::string& scratch) {
  scratch.clear();
  RemoveBlanksAroundEquals(tag, scratch);
  if (tag.empty() || tag.back() != '>') scratch.push_back('>');
  out.clear();
  QuoteValues(scratch, out);
  if (!lowerCase) return;
  scratch.clear();
  LowerOutsideValues(out, scratch);
  out.swap(scratch);
}

std::string NormalizeTag(std::string_view tag, bool lowerCase) {
  std::string out;
  std::string scratch;
  NormalizeTagInto(tag, lowerCase, out, scratch);
  return out;
}

bool HasAttribute(std::string_view name, std::string_view tag) {
  return FindBlankName(name, tag) != std::string_view::npos;
}

std::string RemoveQuotedAttribute(std::string_view nameEq, std::string_view tag) {
  std::string pattern;
  pattern.reserve(nameEq.size() + 2);
  pattern.push_back(' ');
  pattern.append(nameEq);
  pattern.push_back('"');
  size_t at = tag.find(pattern);
  if (at == std::string_view::npos) return std::string(tag);
  size_t close = tag.find('"', at + pattern.size());
  if (close == std::string_view::npos) return std::string(tag);
  std::string out(tag.substr(0, at));
  out.append(tag.substr(close + 1));
  return out;
}

std::string RemoveAttribute(std::string_view name, std::string_view tag) {
  std::string nameEq(name);
  nameEq.push_back('=');
  std::string out = RemoveQuotedAttribute(nameEq, tag);
  size_t at = FindBlankName(name, out);
  if (at != std::string::npos) out.erase(at, 1 + name.size());
  return out;
}

std::string AppendAttribute(std::string_view tag, std::string_view attr) {
  const size_t n = tag.size();
  size_t insertAt = n == 0 ? 0 : n - 1;  // before the last character
  if (n >= 2 && tag[n - 2] == '/') {
    insertAt = (n >= 3 && tag[n - 3] == ' ') ? n - 3 : n - 2;
  }
  std::string out;
  out.reserve(n + attr.size() + 1);
  out.append(tag.substr(0, insertAt));
  out.push_back(' ');
  out.append(attr);
  out.append(tag.substr(insertAt));
  return out;
}

}  // namespace quenda
