// Small GDI helpers shared by the painting code: rectangles, solid fills and
// texts drawn in a box, each leaving the device context as it found it; and
// the painting messages of a control painted entirely by the viewer.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "uViewerLayout.h"

namespace corvane {

inline RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// Fills a rectangle with a colour (the device context's own brush, so
// nothing is created).
void FillSolid(HDC dc, const RECT& area, COLORREF colour);

// A one-pixel frame just inside a rectangle (no GDI object is created).
void FrameSolid(HDC dc, const RECT& area, COLORREF colour);
// A line from (x1, y1) to (x2, y2), its last pixel excluded, one pixel wide.
void LineSolid(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);

// Draws text transparently in a font and colour inside box with DrawText's
// format flags (DT_NOPREFIX is always added: "&" is no mnemonic here).
void DrawTextIn(HDC dc, std::u16string_view text, const TRect& box, HFONT font, COLORREF colour,
                UINT format);

// WM_ERASEBKGND (a fill in back), WM_PAINT and WM_PRINTCLIENT (paint on the
// device context) of a control without colours of its own; true when
// message is one of them (*result is the answer).
bool ServePaintMessage(HWND control, UINT message, WPARAM wParam, COLORREF back,
                       const std::function<void(HDC)>& paint, LRESULT* result);

}  // namespace corvane
