#include "installer/win32/artwork.h"

#include "platform/win32/gdi_draw.h"

#include <initializer_list>

namespace installer::artwork {
namespace {

using platform::gdi::Fill;

template <typename Paint>
HBITMAP Render(int width, int height, Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  paint(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

}  // namespace

// A parcel on a band of deep blue that lightens downwards, in the few colours of a 16-colour
// picture so that it looks the same on any screen.
HBITMAP MakeBanner() {
  return Render(kBannerWidth, kBannerHeight, [](HDC dc) {
    constexpr int kBands = 8;
    for (int band = 0; band < kBands; ++band) {
      RECT area{0, band * kBannerHeight / kBands, kBannerWidth, (band + 1) * kBannerHeight / kBands};
      int level = 64 + band * 16;
      Fill(dc, area, RGB(0, level / 2, level + 40));
    }
    // The parcel: front, top and side faces, and its cord.
    const POINT front[] = {{16, 120}, {58, 120}, {58, 160}, {16, 160}};
    const POINT top[] = {{16, 120}, {30, 106}, {72, 106}, {58, 120}};
    const POINT side[] = {{58, 120}, {72, 106}, {72, 146}, {58, 160}};
    platform::gdi::FillPolygon(dc, front, 4, RGB(192, 128, 64), RGB(96, 64, 32));
    platform::gdi::FillPolygon(dc, top, 4, RGB(224, 176, 112), RGB(96, 64, 32));
    platform::gdi::FillPolygon(dc, side, 4, RGB(160, 96, 48), RGB(96, 64, 32));
    RECT cord{35, 120, 39, 160};
    Fill(dc, cord, RGB(255, 255, 255));
    const POINT cordTop[] = {{35, 120}, {49, 106}, {53, 106}, {39, 120}};
    platform::gdi::FillPolygon(dc, cordTop, 4, RGB(255, 255, 255), RGB(255, 255, 255));
    // A few stars above it.
    for (POINT star : {POINT{20, 30}, POINT{60, 48}, POINT{38, 72}, POINT{70, 20}}) {
      RECT dot{star.x - 1, star.y - 1, star.x + 2, star.y + 2};
      Fill(dc, dot, RGB(255, 255, 255));
    }
  });
}

// A tent beside the word.
HBITMAP MakeZeltLogo() {
  return Render(kZeltLogoWidth, kZeltLogoHeight, [](HDC dc) {
    RECT all{0, 0, kZeltLogoWidth, kZeltLogoHeight};
    Fill(dc, all, GetSysColor(COLOR_WINDOW));
    const POINT tent[] = {{4, 28}, {18, 4}, {32, 28}};
    platform::gdi::FillPolygon(dc, tent, 3, RGB(0, 128, 0), RGB(0, 64, 0));
    const POINT door[] = {{14, 28}, {18, 16}, {22, 28}};
    platform::gdi::FillPolygon(dc, door, 3, RGB(255, 255, 160), RGB(0, 64, 0));
    HFONT font = CreateFontA(-18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 96, 0));
    TextOutA(dc, 38, 6, "Zelt", 4);
    SelectObject(dc, old);
    DeleteObject(font);
  });
}

void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& area) {
  if (!bitmap) return;
  BITMAP info{};
  GetObject(bitmap, sizeof info, &info);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0, 0, info.bmWidth,
             info.bmHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace installer::artwork
