// Styled text as rich text format, the one way a rich edit control takes a whole coloured
// document in a single call (setting the format run by run costs a message per run).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quenda::controls {

struct RtfColor {
  uint8_t red, green, blue;
};

// One character style. Font and colours index the document's tables; a back colour of -1
// leaves the background alone.
struct RtfStyle {
  int font = 0;
  int points = 9;
  int color = 0;
  int backColor = -1;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

struct RtfFont {
  std::string face;
  bool fixedPitch = false;  // lets a font mapper that lacks the face pick a like one
};

struct RtfDocument {
  std::vector<RtfFont> fonts;
  std::vector<RtfColor> colors;
  std::vector<RtfStyle> styles;    // styles[0] is the text outside every span
  bool justified = false;
};

struct StyledSpan {
  size_t start;
  size_t length;
  int style;  // index into RtfDocument::styles
};

// The text (Windows-1252, lines ended by CR LF; a lone CR or LF also ends a line) with the
// spans, which must be sorted and must not overlap.
std::string BuildRtf(std::string_view text, const std::vector<StyledSpan>& spans, const RtfDocument& document);

}  // namespace quenda::controls
