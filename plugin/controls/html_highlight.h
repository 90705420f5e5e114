// The output view's colouring of HTML by four start and stop marks: tags, quoted values,
// entities and comments. Finds the marked runs of a text in one pass, so that a large
// document is coloured in a small fraction of a second.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quenda::controls {

enum class HtmlMark { tag, quoted, entity, comment };

struct MarkedRun {
  size_t start;
  size_t length;
  HtmlMark mark;
  bool operator==(const MarkedRun&) const = default;
};

// The runs in text order, without overlap; text outside every run is plain.
// A comment ("<!--" to "-->") wins over everything inside it; a quoted value inside a tag is
// its own run between two tag runs; a quote or entity that is not closed on its line is
// plain text, so a stray "&" or quote does not colour the rest of the document.
std::vector<MarkedRun> HighlightHtml(std::string_view text);

}  // namespace quenda::controls
