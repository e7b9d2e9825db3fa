#include "uLayout.h"

#include "uScaling.h"
#include "uThemes.h"

namespace corvane {

void TLayout::Rescale(int newValue, int oldValue) { position_ = RescalePosition(position_, newValue, oldValue); }

TMainLayout TLayout::Arrange(int clientWidth, int clientHeight, int statusHeight) {
  const TMainLayout layout = ComputeMainLayout(look_.Scaling, position_, clientWidth, clientHeight, statusHeight);
  position_ = layout.SplitterPosition;
  return layout;
}

void TLayout::InvalidateStrip(const TMainLayout& layout) const {
  RECT strip{layout.Splitter.Left, layout.Splitter.Top, layout.Splitter.Right, layout.Splitter.Bottom};
  InvalidateRect(main_, &strip, TRUE);
}

bool TLayout::SetCursorShape() {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(main_, &p);
  if (!dragging_ && !InSplitterStrip(look_.Scaling, position_, p.x)) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
  return true;
}

bool TLayout::ButtonDown(int x) {
  if (!InSplitterStrip(look_.Scaling, position_, x)) return false;
  grab_ = x - position_;
  dragging_ = true;
  SetCapture(main_);
  return true;
}

void TLayout::MouseMove(int x) {
  if (!dragging_) return;
  position_ = x - grab_;
  events_.SplitterMoved();
}

void TLayout::ButtonUp() {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
}

void TLayout::EraseMainWindow(HDC dc) const {
  RECT client{};
  GetClientRect(main_, &client);
  win::TBrush brush(CreateSolidBrush(look_.Colours.SplitterColor));
  FillRect(dc, &client, brush.Get());
}

void TLayout::PaintMainWindow() const {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(main_, &paint);
  if (!dc) return;
  RECT client{};
  GetClientRect(main_, &client);
  const COLORREF splitter = look_.Colours.SplitterColor;
  RECT strip{position_, 0, position_ + SplitterStripWidth(look_.Scaling), client.bottom};
  win::TBrush brush(CreateSolidBrush(splitter));
  FillRect(dc, &strip, brush.Get());
  win::TPen pen(CreatePen(PS_SOLID, 1, SplitterLineColour(splitter, look_.Colours.TextColor)));
  HGDIOBJ old = SelectObject(dc, pen.Get());
  const int x = SplitterLineX(look_.Scaling, position_);
  MoveToEx(dc, x, 0, nullptr);
  LineTo(dc, x, client.bottom);
  SelectObject(dc, old);
  EndPaint(main_, &paint);
}

TDrawingPause::TDrawingPause(HWND window) : window_(IsWindowVisible(window) ? window : nullptr) {
  if (window_) SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
}

TDrawingPause::~TDrawingPause() {
  if (!window_) return;
  SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

int WindowDpi(HWND window) {
  using FGetDpiForWindow = UINT(WINAPI*)(HWND);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto getDpi = user32 ? reinterpret_cast<FGetDpiForWindow>(
                             reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                       : nullptr;
  int dpi = 0;
  if (getDpi && window) {
    dpi = static_cast<int>(getDpi(window));
  } else if (HDC dc = GetDC(window)) {
    dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
  }
  return SaneDpi(dpi);
}

TRect ClientRectOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace corvane
