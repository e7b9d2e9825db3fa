#include "uTabFrame.h"

#include "uHostSearch.h"
#include "uI18n.h"
#include "uPaintTools.h"
#include "uViewerCommands.h"

namespace corvane {

namespace {

constexpr int kTabCaptionLength = 256;

void InsertTab(HWND tab, int index, const std::u16string& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::u16string text = caption;
  item.pszText = const_cast<LPWSTR>(reinterpret_cast<LPCWSTR>(text.c_str()));
  SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::u16string TabCaption(HWND tab, int index) {
  wchar_t buffer[kTabCaptionLength + 1] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = kTabCaptionLength + 1;
  if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
  return reinterpret_cast<const char16_t*>(item.pszText ? item.pszText : buffer);
}

}  // namespace

void TTabFrame::Create(HWND main) {
  main_ = main;
  // The tab control paints its whole client in the theme's colours; its
  // children must not be painted over.
  tab_ = CreateControl(WC_TABCONTROLW, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, main, ctl::kTab);
  InsertTab(tab_, kTabGrid, tr(i18n::kTabGrid));
  InsertTab(tab_, kTabText, tr(i18n::kTabText));
}

void TTabFrame::InstallSubclass() { SubclassControl(subclass_, tab_, this, SubclassHandler); }

// The grid and the filter edits are children of the tab control, so their
// notifications and commands arrive here: they go on to the main window,
// which routes them with everything else.
bool TTabFrame::SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT* result) {
  auto& self = *static_cast<TTabFrame*>(owner);
  if (OfferToHost(self.events_, message, wParam)) return true;
  if (self.PaintMessage(message, wParam, result)) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  const bool fromChild = (message == WM_NOTIFY && header && header->hwndFrom != window) ||
                         (message == WM_COMMAND && lParam != 0) || message == WM_CTLCOLOREDIT;
  if (!fromChild) return false;
  *result = SendMessageW(self.main_, message, wParam, lParam);
  return true;
}

void TTabFrame::Select(int tabNo) {
  SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(tabNo), 0);
  ReadSelection();
}

void TTabFrame::ReadSelection() {
  active_ = static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)) == kTabText ? kTabText : kTabGrid;
}

int TTabFrame::DisplayTop() const {
  RECT r{};
  GetClientRect(tab_, &r);
  SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r.top;
}

bool TTabFrame::Notify(NMHDR* header) {
  if (header->code != TCN_SELCHANGE) return false;
  ReadSelection();
  events_.TabSwitched();
  return true;
}

bool TTabFrame::PaintMessage(UINT message, WPARAM wParam, LRESULT* result) const {
  return ServePaintMessage(tab_, message, wParam, look_.Colours.BackColor, [this](HDC dc) { Paint(dc); }, result);
}

void TTabFrame::Paint(HDC dc) const {
  const TThemeColours& c = look_.Colours;
  RECT client{};
  GetClientRect(tab_, &client);
  FillSolid(dc, client, c.BackColor);
  const int selected = static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
  const int count = static_cast<int>(SendMessageW(tab_, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!SendMessageW(tab_, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    FillSolid(dc, r, i == selected ? c.BackColor : c.BackColor2);
    TRect box = FromRect(r);
    box.Left += look_.ScaleDpi(6);
    box.Right -= look_.ScaleDpi(6);
    DrawTextIn(dc, TabCaption(tab_, i), box, look_.TabFont.Get(), c.TextColor,
               DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
    // The system's edge colours are light ones; the frame takes the theme's.
    FrameSolid(dc, r, SplitterLineColour(c.SplitterColor, c.TextColor));
  }
}

}  // namespace corvane
