// Small GDI drawing helpers for the pictures the windows draw in code (Windows only).
#pragma once

#include <windows.h>

namespace platform::gdi {

void Fill(HDC dc, const RECT& area, COLORREF color);
// A filled polygon with a one-pixel edge.
void FillPolygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF edge);

}  // namespace platform::gdi
