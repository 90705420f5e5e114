#include "plugin/controls/rtf_text.h"

namespace quenda::controls {

namespace {

void AppendNumber(std::string& out, int value) { out += std::to_string(value); }

void AppendStyle(std::string& out, const RtfStyle& style) {
  out += "\\plain\\f";
  AppendNumber(out, style.font);
  out += "\\fs";
  AppendNumber(out, style.points * 2);
  out += "\\cf";
  AppendNumber(out, style.color + 1);  // colour 0 of the table is the automatic one
  if (style.backColor >= 0) {
    out += "\\highlight";
    AppendNumber(out, style.backColor + 1);
  }
  if (style.bold) out += "\\b";
  if (style.italic) out += "\\i";
  if (style.underline) out += "\\ul";
  out += ' ';
}

bool NeedsEscape(unsigned char c) { return c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}'; }

void AppendText(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  for (size_t i = 0; i < text.size(); ++i) {
    // Copy the stretch that needs no escape in one piece.
    size_t plain = i;
    while (plain < text.size() && !NeedsEscape(static_cast<unsigned char>(text[plain]))) ++plain;
    if (plain > i) {
      out.append(text.data() + i, plain - i);
      i = plain;
      if (i == text.size()) break;
    }
    unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '{': out += "\\{"; break;
      case '}': out += "\\}"; break;
      case '\t': out += "\\tab "; break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "\\par\n";
        break;
      case '\n': out += "\\par\n"; break;
      default:
        if (c < 0x20 || c >= 0x80) {
          out += "\\'";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
}

}  // namespace

std::string BuildRtf(std::string_view text, const std::vector<StyledSpan>& spans, const RtfDocument& document) {
  std::string out;
  out.reserve(text.size() + spans.size() * 32 + 256);
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
  for (size_t i = 0; i < document.fonts.size(); ++i) {
    out += "{\\f";
    AppendNumber(out, static_cast<int>(i));
    out += document.fonts[i].fixedPitch ? "\\fmodern\\fprq1" : "\\fswiss\\fprq2";
    out += "\\fcharset0 " + document.fonts[i].face + ";}";
  }
  out += "}{\\colortbl;";
  for (const RtfColor& c : document.colors) {
    out += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) + "\\blue" + std::to_string(c.blue) + ";";
  }
  out += "}\n\\pard";
  if (document.justified) out += "\\qj";
  // Each style's control words once, not once per span.
  std::vector<std::string> styleWords;
  for (const RtfStyle& style : document.styles) {
    styleWords.emplace_back();
    AppendStyle(styleWords.back(), style);
  }
  if (styleWords.empty()) {
    styleWords.emplace_back();
    AppendStyle(styleWords.back(), RtfStyle{});
  }
  out += styleWords[0];
  size_t at = 0;
  for (const StyledSpan& span : spans) {
    if (span.start < at || span.start + span.length > text.size()) continue;
    AppendText(out, text.substr(at, span.start - at));
    out += '{';
    out += styleWords[static_cast<size_t>(span.style)];
    AppendText(out, text.substr(span.start, span.length));
    out += '}';
    at = span.start + span.length;
  }
  AppendText(out, text.substr(at));
  out += "}";
  return out;
}

}  // namespace quenda::controls
