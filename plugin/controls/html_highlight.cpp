#include "plugin/controls/html_highlight.h"

#include <algorithm>

namespace quenda::controls {

namespace {

constexpr size_t kLongestEntity = 32;  // "&" to ";" farther apart than this is no entity

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// End (exclusive) of the quoted value that starts at `open`, or npos when its line ends first.
size_t QuotedEnd(std::string_view text, size_t open) {
  for (size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == '"') return i + 1;
    if (IsLineBreak(text[i])) return std::string_view::npos;
  }
  return std::string_view::npos;
}

size_t EntityEnd(std::string_view text, size_t amp) {
  size_t limit = std::min(text.size(), amp + kLongestEntity);
  for (size_t i = amp + 1; i < limit; ++i) {
    char c = text[i];
    if (c == ';') return i > amp + 1 ? i + 1 : std::string_view::npos;
    if (IsLineBreak(c) || c == ' ' || c == '\t' || c == '&' || c == '<') return std::string_view::npos;
  }
  return std::string_view::npos;
}

}  // namespace

std::vector<MarkedRun> HighlightHtml(std::string_view text) {
  std::vector<MarkedRun> runs;
  runs.reserve(text.size() / 16);
  auto add = [&runs](size_t start, size_t end, HtmlMark mark) {
    if (end > start) runs.push_back({start, end - start, mark});
  };
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '<') {
      if (text.substr(i, 4) == "<!--") {
        size_t close = text.find("-->", i + 4);
        size_t end = close == std::string_view::npos ? text.size() : close + 3;
        add(i, end, HtmlMark::comment);
        i = end;
        continue;
      }
      // A tag, with its quoted values as runs of their own.
      size_t runStart = i++;
      while (i < text.size() && text[i] != '>') {
        if (text[i] == '"') {
          size_t end = QuotedEnd(text, i);
          if (end != std::string_view::npos) {
            add(runStart, i, HtmlMark::tag);
            add(i, end, HtmlMark::quoted);
            runStart = i = end;
            continue;
          }
        }
        ++i;
      }
      if (i < text.size()) ++i;  // the closing ">"
      add(runStart, i, HtmlMark::tag);
      continue;
    }
    if (c == '"') {
      size_t end = QuotedEnd(text, i);
      if (end != std::string_view::npos) {
        add(i, end, HtmlMark::quoted);
        i = end;
        continue;
      }
    } else if (c == '&') {
      size_t end = EntityEnd(text, i);
      if (end != std::string_view::npos) {
        add(i, end, HtmlMark::entity);
        i = end;
        continue;
      }
    }
    ++i;
  }
  return runs;
}

}  // namespace quenda::controls
