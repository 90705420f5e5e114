#include "plugin/controls/marked_text.h"

namespace quenda::controls {

namespace {

bool* Switch(MarkedStyle& style, char mark) {
  switch (mark) {
    case 'b': return &style.bold;
    case 'i': return &style.italic;
    case 'u': return &style.underline;
    case 'h': return &style.highlighted;
    case 'f': return &style.alternateFont;
    default: return nullptr;
  }
}

}  // namespace

MarkedText ParseMarkedText(std::string_view text) {
  MarkedText result;
  result.plain.reserve(text.size());
  MarkedStyle style;
  size_t spanStart = 0;
  auto closeSpan = [&] {
    if (result.plain.size() > spanStart && !(style == MarkedStyle{})) {
      result.spans.push_back({spanStart, result.plain.size() - spanStart, style});
    }
    spanStart = result.plain.size();
  };
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{') {
      if (text.substr(i, 2) == "{{") {
        result.plain += '{';
        i += 2;
        continue;
      }
      bool off = text.substr(i, 2) == "{/";
      size_t markAt = i + (off ? 2 : 1);
      if (markAt + 1 < text.size() && text[markAt + 1] == '}') {
        MarkedStyle next = style;
        if (bool* flag = Switch(next, text[markAt])) {
          *flag = !off;
          closeSpan();
          style = next;
          i = markAt + 2;
          continue;
        }
      }
    }
    result.plain += text[i++];
  }
  closeSpan();
  return result;
}

}  // namespace quenda::controls
