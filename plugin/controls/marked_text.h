// Text with inline marks, the form the help page's text is written in: "{b}", "{i}", "{u}",
// "{h}" (highlighted) and "{f}" (the alternate font) switch a style on, "{/b}" and so on
// switch it off again. Marks may nest; "{{" stands for a single brace.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenda::controls {

struct MarkedStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool highlighted = false;
  bool alternateFont = false;
  bool operator==(const MarkedStyle&) const = default;
};

struct MarkedSpan {
  size_t start;
  size_t length;
  MarkedStyle style;
};

struct MarkedText {
  std::string plain;
  std::vector<MarkedSpan> spans;  // every styled stretch of `plain`, in order
};

MarkedText ParseMarkedText(std::string_view text);

}  // namespace quenda::controls
