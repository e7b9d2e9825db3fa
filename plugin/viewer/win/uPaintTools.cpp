#include "uPaintTools.h"

#include <climits>

namespace corvane {

void FillSolid(HDC dc, const RECT& area, COLORREF colour) {
  const COLORREF old = SetDCBrushColor(dc, colour);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& area, COLORREF colour) {
  const COLORREF old = SetDCBrushColor(dc, colour);
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, old);
}

void LineSolid(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  const COLORREF oldColour = SetDCPenColor(dc, colour);
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, oldPen);
  SetDCPenColor(dc, oldColour);
}

void DrawTextIn(HDC dc, std::u16string_view text, const TRect& box, HFONT font, COLORREF colour,
                UINT format) {
  if (text.empty() || box.Right <= box.Left) return;
  RECT r = ToRect(box);
  const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, colour);
  const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
  // DT_END_ELLIPSIS without DT_MODIFYSTRING leaves the text untouched.
  DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.data()), length, &r, format | DT_NOPREFIX);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);
}

bool ServePaintMessage(HWND control, UINT message, WPARAM wParam, COLORREF back,
                       const std::function<void(HDC)>& paint, LRESULT* result) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(control, &client);
      FillSolid(reinterpret_cast<HDC>(wParam), client, back);
      *result = 1;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      *result = 0;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      if (HDC dc = BeginPaint(control, &ps)) {
        paint(dc);
        EndPaint(control, &ps);
      }
      *result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace corvane
