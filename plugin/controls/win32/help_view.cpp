#include "plugin/controls/win32/help_view.h"

#include <richedit.h>

#include <vector>

#include "plugin/controls/marked_text.h"
#include "plugin/controls/rtf_text.h"
#include "plugin/controls/win32/rich_text.h"

namespace quenda::controls {

namespace {

constexpr int kBaseFont = 0;       // Verdana
constexpr int kAlternateFont = 1;  // Courier New
constexpr int kBlack = 0, kWhite = 1, kNavy = 2, kRed = 3;

RtfStyle StyleOf(const MarkedStyle& marks) {
  RtfStyle style;
  style.font = marks.alternateFont ? kAlternateFont : kBaseFont;
  style.points = marks.alternateFont ? 10 : 8;
  style.color = marks.alternateFont ? kRed : marks.highlighted ? kWhite : kBlack;
  style.backColor = marks.highlighted ? kNavy : -1;
  style.bold = marks.bold;
  style.italic = marks.italic;
  style.underline = marks.underline;
  return style;
}

}  // namespace

HWND CreateHelpView(HWND parent, int id, const RECT& bounds, std::string_view markedText) {
  HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, RichEditClass(), L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                  ES_AUTOVSCROLL,
                              bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!view) return nullptr;
  SendMessageW(view, EM_SETBKGNDCOLOR, 0, RGB(235, 235, 235));

  MarkedText text = ParseMarkedText(markedText);
  RtfDocument document;
  document.fonts = {{"Verdana", false}, {"Courier New", true}};
  document.colors = {{0, 0, 0}, {255, 255, 255}, {0, 64, 128}, {255, 0, 0}};
  document.styles = {StyleOf(MarkedStyle{})};
  document.justified = true;
  std::vector<StyledSpan> spans;
  for (const MarkedSpan& span : text.spans) {
    document.styles.push_back(StyleOf(span.style));
    spans.push_back({span.start, span.length, static_cast<int>(document.styles.size()) - 1});
  }
  LoadRtf(view, BuildRtf(text.plain, spans, document));
  return view;
}

}  // namespace quenda::controls
