#include "uLayout.h"

#include <windows.h>
#include <commctrl.h>

#include "uCellEditor.h"
#include "uFilterRow.h"
#include "uGridPaint.h"
#include "uJsonViewer.h"
#include "uMainWindow.h"
#include "uStatusBar.h"
#include "uTextPane.h"
#include "uThemes.h"
#include "uViewerLayout.h"

namespace corvane {

namespace {

// While it lives, a visible window and its children draw nothing; then they
// are invalidated once, frames included. A control moved while it may draw
// repaints its frame and scroll bars at once, several times per move (the
// grid three times, 7 to 15 ms each under Wine); one repaint afterwards does
// it once. A hidden window is left as it is: switching its drawing back on
// would show it.
class TDrawingPause {
 public:
  explicit TDrawingPause(HWND window) : window_(IsWindowVisible(window) ? window : nullptr) {
    if (window_) SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~TDrawingPause() {
    if (!window_) return;
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  TDrawingPause(const TDrawingPause&) = delete;
  TDrawingPause& operator=(const TDrawingPause&) = delete;

 private:
  HWND window_;
};

void Place(HWND window, const TRect& r) {
  if (window) MoveWindow(window, r.Left, r.Top, r.Width(), r.Height(), TRUE);
}

// Client rectangle of a window as a TRect.
TRect ClientOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// Character-cell height of a font on a window; fallback when it cannot be
// measured.
int FontCellHeight(HWND window, HFONT font, int fallback) {
  HDC dc = window ? GetDC(window) : nullptr;
  if (!dc) return fallback;
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const bool measured = GetTextMetricsW(dc, &metrics) != 0;
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return measured ? metrics.tmHeight : fallback;
}

HFONT MakeFont(const TJsonViewer& viewer, int weight, const std::u16string& face) {
  LOGFONTW font{};
  font.lfHeight = viewer.ScaleDpi(viewer.Scaling.FontSize);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, reinterpret_cast<LPCWSTR>(face.c_str()), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

void SetFont(HWND window, HFONT font) {
  if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

COLORREF SplitterColour(const TJsonViewer& viewer) { return viewer.Colours.SplitterColor; }

bool IsChildOf(HWND window, HWND ancestor) { return window && ancestor && IsChild(ancestor, window); }

// Font size, DPI or zoom changed: fonts, status parts, layout, widths.
void ApplyNewScale(TJsonViewer& viewer) {
  CreateFonts(viewer);
  LayoutStatusParts(viewer);
  RunWidthPass(viewer);
  LayoutControls(viewer);
}

// Places the controls and the filter edits for the main window's client size.
void MoveControls(TJsonViewer& viewer, HWND main) {
  const TDrawingPause pause(main);
  const TRect client = ClientOf(main);
  SendMessageW(viewer.Status, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(viewer.Status, &status);
  const TMainLayout layout = ComputeMainLayout(viewer.Scaling, viewer.SplitterPosition, client.Width(),
                                               client.Height(), status.bottom - status.top);
  viewer.SplitterPosition = layout.SplitterPosition;
  Place(viewer.Tree, layout.Tree);
  Place(viewer.Tab, layout.Tab);
  RECT strip{layout.Splitter.Left, layout.Splitter.Top, layout.Splitter.Right, layout.Splitter.Bottom};
  InvalidateRect(main, &strip, TRUE);

  const TTabLayout inner = ComputeTabLayout(viewer.Scaling, layout.Tab.Width(), layout.Tab.Height(),
                                            TabDisplayTop(viewer), viewer.FilterRowShown, viewer.LineHeight);
  Place(viewer.Grid, inner.Grid);
  Place(viewer.Text, inner.Text);
  PositionFilterEdits(viewer);
}

}  // namespace

int TabDisplayTop(const TJsonViewer& viewer) {
  RECT r{};
  GetClientRect(viewer.Tab, &r);
  SendMessageW(viewer.Tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r.top;
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

void LayoutControls(TJsonViewer& viewer) {
  EndCellEdit(viewer, true);
  const HWND main = viewer.Window();
  if (!main || !viewer.Status) return;
  MoveControls(viewer, main);
  if (viewer.ActiveTab == 1) {
    RefreshTextPane(viewer);
    PostMessageW(main, kMsgRefreshTextPane, 0, 0);
  }
}

void CreateFonts(TJsonViewer& viewer) {
  const std::u16string face = viewer.Settings.ReadText(setting::kFont);
  const int weight = FontWeightFromSetting(viewer.Settings.ReadInt(setting::kFontWeight));
  // The new fonts are given to the controls before the old ones go.
  win::TFont main(MakeFont(viewer, weight, face));
  win::TFont bold(MakeFont(viewer, FW_BOLD, face));
  win::TFont tab(MakeFont(viewer, FW_NORMAL, face));
  for (HWND window : {viewer.Tree, viewer.Grid, viewer.Text, viewer.Status, viewer.EditBox})
    SetFont(window, main.Get());
  for (HWND edit : viewer.FilterEdits) SetFont(edit, main.Get());
  SetFont(viewer.Tab, tab.Get());
  viewer.MainFont = std::move(main);
  viewer.BoldFont = std::move(bold);
  viewer.TabFont = std::move(tab);
  viewer.LineHeight = FontCellHeight(viewer.Status, viewer.MainFont.Get(), viewer.ScaleDpi(viewer.Scaling.FontSize));
  if (viewer.Status)
    SendMessageW(viewer.Status, SB_SETMINHEIGHT, StatusBarMinHeight(viewer.Scaling, viewer.LineHeight), 0);
}

void ChangeDpi(TJsonViewer& viewer, int newDpi) {
  if (newDpi <= 0 || newDpi == viewer.Scaling.Dpi) return;
  viewer.RescaleSplitter(newDpi, viewer.Scaling.Dpi);
  viewer.Scaling.Dpi = newDpi;
  ApplyNewScale(viewer);
  RedrawWindow(viewer.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ZoomFont(TJsonViewer& viewer, int delta) {
  const int oldSize = viewer.Scaling.FontSize;
  const int newSize = ZoomFontSize(oldSize, delta);
  if (newSize == oldSize) return;
  viewer.RescaleSplitter(newSize, oldSize);
  viewer.Scaling.FontSize = newSize;
  ApplyNewScale(viewer);
  if (HWND header = reinterpret_cast<HWND>(SendMessageW(viewer.Grid, LVM_GETHEADER, 0, 0)))
    InvalidateRect(header, nullptr, TRUE);
}

// ---- focus and tabs -----------------------------------------------------------

TFocusPane FocusPaneOf(const TJsonViewer& viewer, HWND focus) {
  if (!focus) return TFocusPane::Outside;
  if (focus == viewer.EditBox) return TFocusPane::EditBox;
  if (focus == viewer.Tree) return TFocusPane::Tree;
  if (focus == viewer.Grid) return TFocusPane::Grid;
  if (focus == viewer.Text) return TFocusPane::Text;
  for (HWND edit : viewer.FilterEdits)
    if (focus == edit) return TFocusPane::FilterEdit;
  if (focus == viewer.Window() || IsChildOf(focus, viewer.Window())) return TFocusPane::Other;
  return TFocusPane::Outside;
}

void FocusCycle(TJsonViewer& viewer) {
  switch (FocusCycleTarget(FocusPaneOf(viewer, GetFocus()))) {
    case TFocusTarget::Tree: SetFocus(viewer.Tree); break;
    case TFocusTarget::Content: FocusContent(viewer); break;
    case TFocusTarget::Nothing: break;
  }
}

void FocusContent(TJsonViewer& viewer) {
  if (viewer.ActiveTab == 1) {
    RefreshTextPane(viewer);
    SetFocus(viewer.Text);
  } else {
    SetFocus(viewer.Grid);
  }
}

void ShowTabContent(TJsonViewer& viewer) {
  if (viewer.ActiveTab == 1) EnsureTextPane(viewer);
  ShowWindow(viewer.Grid, viewer.ActiveTab == 0 ? SW_SHOW : SW_HIDE);
  if (viewer.Text) ShowWindow(viewer.Text, viewer.ActiveTab == 1 ? SW_SHOW : SW_HIDE);
}

void SwitchTab(TJsonViewer& viewer) {
  viewer.ActiveTab = static_cast<int>(SendMessageW(viewer.Tab, TCM_GETCURSEL, 0, 0)) == 1 ? 1 : 0;
  if (viewer.ActiveTab == 1) {
    ShowCellInText(viewer);
  } else {
    FindSelectionInGrid(viewer);
  }
  ShowTabContent(viewer);
  LayoutControls(viewer);
  ColourVisibleLines(viewer);
}

// ---- splitter -------------------------------------------------------------------

bool SplitterSetCursor(TJsonViewer& viewer) {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(viewer.Window(), &p);
  if (!viewer.SplitterDragging && !InSplitterStrip(viewer.Scaling, viewer.SplitterPosition, p.x)) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
  return true;
}

bool SplitterButtonDown(TJsonViewer& viewer, int x) {
  if (!InSplitterStrip(viewer.Scaling, viewer.SplitterPosition, x)) return false;
  viewer.SplitterGrab = x - viewer.SplitterPosition;
  viewer.SplitterDragging = true;
  SetCapture(viewer.Window());
  return true;
}

void SplitterMouseMove(TJsonViewer& viewer, int x) {
  if (!viewer.SplitterDragging) return;
  viewer.SplitterPosition = x - viewer.SplitterGrab;
  LayoutControls(viewer);
}

void SplitterButtonUp(TJsonViewer& viewer) {
  if (!viewer.SplitterDragging) return;
  viewer.SplitterDragging = false;
  ReleaseCapture();
}

void SplitterCaptureLost(TJsonViewer& viewer) { viewer.SplitterDragging = false; }

void EraseMainWindow(TJsonViewer& viewer, HDC dc) {
  RECT client{};
  GetClientRect(viewer.Window(), &client);
  win::TBrush brush(CreateSolidBrush(SplitterColour(viewer)));
  FillRect(dc, &client, brush.Get());
}

void PaintMainWindow(TJsonViewer& viewer) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(viewer.Window(), &paint);
  if (!dc) return;
  RECT client{};
  GetClientRect(viewer.Window(), &client);
  const COLORREF splitter = SplitterColour(viewer);
  RECT strip{viewer.SplitterPosition, 0, viewer.SplitterPosition + SplitterStripWidth(viewer.Scaling),
             client.bottom};
  win::TBrush brush(CreateSolidBrush(splitter));
  FillRect(dc, &strip, brush.Get());
  win::TPen pen(CreatePen(PS_SOLID, 1, SplitterLineColour(splitter, viewer.Colours.TextColor)));
  HGDIOBJ old = SelectObject(dc, pen.Get());
  const int x = SplitterLineX(viewer.Scaling, viewer.SplitterPosition);
  MoveToEx(dc, x, 0, nullptr);
  LineTo(dc, x, client.bottom);
  SelectObject(dc, old);
  EndPaint(viewer.Window(), &paint);
}

}  // namespace corvane
