// Small GDI helpers shared by the painting code: rectangles, solid fills and
// texts drawn in a box, each leaving the device context as it found it.
#pragma once

#include <windows.h>

#include <string_view>

#include "uViewerLayout.h"

namespace corvane {

inline RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// Fills a rectangle with a colour (the device context's own brush, so
// nothing is created).
void FillSolid(HDC dc, const RECT& area, COLORREF colour);

// Draws text transparently in a font and colour inside box with DrawText's
// format flags (DT_NOPREFIX is always added: "&" is no mnemonic here).
void DrawTextIn(HDC dc, std::u16string_view text, const TRect& box, HFONT font, COLORREF colour,
                UINT format);

}  // namespace corvane
