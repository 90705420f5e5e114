// The window's small pictures, drawn in code so the library carries no image files: the
// button glyphs, the maker's banner and the logo of the plug-in standard.
#pragma once

#include <windows.h>

namespace quenda::pictures {

enum class Glyph { accept, cancel, convert };

// A 16 x 16 glyph with its top left corner at (x, y); grey when disabled.
void DrawGlyph(HDC dc, int x, int y, Glyph glyph, bool enabled);
void DrawBanner(HDC dc, const RECT& area, HFONT bold, HFONT regular);
void DrawLogo(HDC dc, const RECT& area);

}  // namespace quenda::pictures
