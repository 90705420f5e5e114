// The installer's two pictures, drawn in code so that the program carries no image files:
// the wizard's banner and the Zelt logo.
#pragma once

#include <windows.h>

namespace installer::artwork {

inline constexpr int kBannerWidth = 86;
inline constexpr int kBannerHeight = 193;
inline constexpr int kZeltLogoWidth = 86;
inline constexpr int kZeltLogoHeight = 32;

// Bitmaps compatible with the screen; the caller deletes them.
HBITMAP MakeBanner();
HBITMAP MakeZeltLogo();

// Draws a bitmap stretched into the rectangle.
void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& area);

}  // namespace installer::artwork
