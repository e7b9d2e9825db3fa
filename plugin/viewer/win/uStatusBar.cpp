#include "uStatusBar.h"

#include <algorithm>
#include <vector>

#include "uPaintTools.h"
#include "uScaling.h"
#include "uStatusTexts.h"
#include "uViewerCommands.h"
#include "uViewerError.h"

namespace corvane {

namespace {

constexpr int kMaxStatusParts = 7;

// Text width of a template in the main font on the status bar.
int MeasureOnBar(HWND bar, HFONT font, std::u16string_view text) {
  HDC dc = GetDC(bar);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(bar, dc);
  return size.cx;
}

// Checks exactly the flat menu's item of the current level.
void CheckFlatItem(HMENU menu, int flatLevel) {
  for (const TMenuEntry& entry : FlatLevelMenuEntries(flatLevel))
    CheckMenuItem(menu, static_cast<UINT>(entry.Id), MF_BYCOMMAND | (entry.Checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void TStatusBar::CreateFlatMenu(int flatLevel) { flatMenu_.Adopt(BuildMenu(FlatLevelMenuEntries(flatLevel))); }

void TStatusBar::Create(HWND main) {
  main_ = main;
  // The bar's own tooltips show a part's text whole when it does not fit.
  bar_ = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | SBT_TOOLTIPS, L"", main, ctl::kStatus);
  if (!bar_) throw EViewerError(u"cannot create the status bar");
}

void TStatusBar::InstallSubclass() { SubclassControl(subclass_, bar_, this, SubclassHandler); }

bool TStatusBar::SubclassHandler(void* owner, HWND, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  auto& self = *static_cast<TStatusBar*>(owner);
  return OfferToHost(self.events_, message, wParam) ||
         ServePaintMessage(self.bar_, message, wParam, self.look_.Colours.BackColor,
                           [&self](HDC dc) { self.Paint(dc); }, result);
}

void TStatusBar::SetText(int part, const std::u16string& text) {
  if (part < 0 || part >= static_cast<int>(texts_.size())) return;
  texts_[static_cast<size_t>(part)] = text;
  if (!bar_) return;
  SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(reinterpret_cast<LPCWSTR>(text.c_str())));
  UpdateTip(part);
}

// A part whose text is wider than the part shows it whole in its tooltip;
// a text that fits has none.
void TStatusBar::UpdateTip(int part) {
  RECT r{};
  if (!SendMessageW(bar_, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&r))) return;
  const std::u16string& text = texts_[static_cast<size_t>(part)];
  const int room = r.right - r.left - look_.ScaleDpi(4) - look_.ScaleDpi(2);
  const bool fits = MeasureOnBar(bar_, look_.MainFont.Get(), text) <= room;
  const size_t blank = text.find_first_not_of(u' ');
  const std::u16string tip = fits || blank == std::u16string::npos ? std::u16string() : text.substr(blank);
  SendMessageW(bar_, SB_SETTIPTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(reinterpret_cast<LPCWSTR>(tip.c_str())));
}

void TStatusBar::LayoutParts() {
  if (!bar_) return;
  const HFONT font = look_.MainFont.Get();
  std::vector<int> edges = StatusPartRightEdges(
      look_.Scaling, [&](std::u16string_view text) { return MeasureOnBar(bar_, font, text); }, messageOnly_);
  SetMinHeight();
  SendMessageW(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  SendMessageW(bar_, WM_SIZE, 0, 0);
  UpdateTips();
}

void TStatusBar::UpdateTips() {
  for (int part = 0; part < static_cast<int>(texts_.size()); ++part) UpdateTip(part);
}

void TStatusBar::SetMinHeight() {
  if (bar_) SendMessageW(bar_, SB_SETMINHEIGHT, StatusBarMinHeight(look_.Scaling, look_.LineHeight), 0);
}

int TStatusBar::Resize() {
  SendMessageW(bar_, WM_SIZE, 0, 0);
  UpdateTips();
  RECT r{};
  GetWindowRect(bar_, &r);
  return r.bottom - r.top;
}

bool TStatusBar::ChooseFlatLevel(int flatLevel, int* chosenLevel) {
  const HMENU menu = flatMenu_.Get();
  if (!menu) return false;
  CheckFlatItem(menu, flatLevel);
  RECT part{};
  if (!SendMessageW(bar_, SB_GETRECT, kStatusPartFlat, reinterpret_cast<LPARAM>(&part))) return false;
  POINT corner{part.left, part.top};
  ClientToScreen(bar_, &corner);
  int chosen = 0;
  const HWND owner = main_;
  const bool open = events_.RunModal(true, [&] {
    chosen = static_cast<int>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                             corner.x, corner.y, 0, owner, nullptr));
  });
  // Closed from inside the popup: nothing more of the viewer is touched.
  if (!open) return false;
  return chosen != 0 && FlatLevelOfCommand(chosen, chosenLevel);
}

bool TStatusBar::Notify(NMHDR* header) {
  if (header->code != NM_CLICK) return false;
  if (reinterpret_cast<NMMOUSE*>(header)->dwItemSpec == kStatusPartFlat) events_.StatusFlatPartClicked();
  return true;
}

void TStatusBar::Paint(HDC dc) const {
  RECT client{};
  GetClientRect(bar_, &client);
  FillSolid(dc, client, look_.Colours.BackColor);
  const int parts = std::min(static_cast<int>(SendMessageW(bar_, SB_GETPARTS, 0, 0)), kMaxStatusParts);
  for (int i = 0; i < parts && i < static_cast<int>(texts_.size()); ++i) {
    RECT r{};
    if (!SendMessageW(bar_, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    TRect box = FromRect(r);
    box.Left += look_.ScaleDpi(4);
    DrawTextIn(dc, texts_[static_cast<size_t>(i)], box, look_.MainFont.Get(), look_.Colours.TextColor,
               DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
  }
}

void TStatusBar::Forget() {
  bar_ = nullptr;
  flatMenu_.Reset();
}

}  // namespace corvane
