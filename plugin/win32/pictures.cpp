#include "plugin/win32/pictures.h"

#include "platform/win32/gdi_draw.h"

namespace quenda::pictures {

namespace {

constexpr COLORREF kNavy = RGB(0, 64, 128);

void Line(HDC dc, COLORREF color, int width, const POINT* points, int count) {
  HPEN pen = CreatePen(PS_SOLID, width, color);
  HGDIOBJ old = SelectObject(dc, pen);
  Polyline(dc, points, count);
  SelectObject(dc, old);
  DeleteObject(pen);
}

using platform::gdi::Fill;

}  // namespace

void DrawGlyph(HDC dc, int x, int y, Glyph glyph, bool enabled) {
  const COLORREF grey = RGB(160, 160, 160);
  switch (glyph) {
    case Glyph::accept: {
      POINT tick[] = {{x + 2, y + 8}, {x + 6, y + 12}, {x + 14, y + 3}};
      Line(dc, enabled ? RGB(0, 140, 0) : grey, 3, tick, 3);
      break;
    }
    case Glyph::cancel: {
      POINT down[] = {{x + 3, y + 3}, {x + 13, y + 13}};
      POINT up[] = {{x + 13, y + 3}, {x + 3, y + 13}};
      Line(dc, enabled ? RGB(200, 0, 0) : grey, 3, down, 2);
      Line(dc, enabled ? RGB(200, 0, 0) : grey, 3, up, 2);
      break;
    }
    case Glyph::convert: {
      // A page with a corner turned down, and an arrow out of it.
      POINT page[] = {{x + 1, y + 1}, {x + 7, y + 1}, {x + 10, y + 4}, {x + 10, y + 15}, {x + 1, y + 15}};
      platform::gdi::FillPolygon(dc, page, 5, RGB(255, 255, 255), enabled ? kNavy : grey);
      POINT lines[] = {{x + 3, y + 7}, {x + 8, y + 7}};
      Line(dc, enabled ? kNavy : grey, 1, lines, 2);
      POINT arrow[] = {{x + 8, y + 9}, {x + 12, y + 9}, {x + 12, y + 6}, {x + 16, y + 11}, {x + 12, y + 16},
                       {x + 12, y + 13}, {x + 8, y + 13}};
      platform::gdi::FillPolygon(dc, arrow, 7, enabled ? RGB(0, 160, 0) : grey, enabled ? RGB(0, 100, 0) : grey);
      break;
    }
  }
}

void DrawBanner(HDC dc, const RECT& area, HFONT bold, HFONT regular) {
  TRIVERTEX vertices[2] = {
      {area.left, area.top, 0x0000, 0x4000, 0x8000, 0},
      {area.right, area.bottom, 0xF500, 0xF500, 0xF500, 0},
  };
  GRADIENT_RECT rect{0, 1};
  GradientFill(dc, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_H);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT text = area;
  text.left += 6;
  HGDIOBJ old = SelectObject(dc, bold);
  DrawTextW(dc, L"Quenda", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  RECT measure{0, 0, 0, 0};
  DrawTextW(dc, L"Quenda", -1, &measure, DT_CALCRECT | DT_SINGLELINE);
  text.left += measure.right + 6;
  SelectObject(dc, regular);
  SetTextColor(dc, RGB(230, 240, 255));
  DrawTextW(dc, L"quenda.example.org", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
}

void DrawLogo(HDC dc, const RECT& area) {
  Fill(dc, area, RGB(215, 215, 215));
  int w = area.right - area.left, h = area.bottom - area.top;
  // A tent: the plug-in standard's sign.
  POINT tent[] = {{area.left + w / 2, area.top + 4}, {area.right - 3, area.bottom - 6}, {area.left + 3, area.bottom - 6}};
  platform::gdi::FillPolygon(dc, tent, 3, kNavy, kNavy);
  POINT door[] = {{area.left + w / 2, area.top + h / 2}, {area.left + w / 2 + w / 6, area.bottom - 6},
                  {area.left + w / 2 - w / 6, area.bottom - 6}};
  platform::gdi::FillPolygon(dc, door, 3, RGB(245, 245, 245), RGB(245, 245, 245));
  POINT ground[] = {{area.left + 1, area.bottom - 5}, {area.right - 1, area.bottom - 5}};
  Line(dc, RGB(0, 120, 0), 2, ground, 2);
}

}  // namespace quenda::pictures
