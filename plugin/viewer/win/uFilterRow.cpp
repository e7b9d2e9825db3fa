#include "uFilterRow.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "uCellEditor.h"
#include "uCommands.h"
#include "uFilterRules.h"
#include "uGridPane.h"
#include "uJsonViewer.h"
#include "uLayout.h"
#include "uMainWindow.h"
#include "uThemePaint.h"
#include "uViewerCommands.h"

namespace corvane {

namespace {

constexpr UINT kTypingDelayMs = 250;

int EditIndex(const TJsonViewer& viewer, int id) {
  const int index = id - cmd::kFilterEditBase;
  return index >= 0 && index < static_cast<int>(viewer.FilterEdits.size()) ? index : -1;
}

DWORD AlignmentStyle(const TJsonViewer& viewer) {
  const int align = viewer.Settings.ReadInt(setting::kFilterAlign);
  return align < 0 ? ES_LEFT : (align == 0 ? ES_CENTER : ES_RIGHT);
}

// Ctrl+Tab goes to the viewer's keyboard map and Escape back to the grid;
// every other key belongs to the edit.
bool EditHandler(void* owner, HWND, UINT message, WPARAM wParam, LPARAM, LRESULT*) {
  auto& viewer = *static_cast<TJsonViewer*>(owner);
  if (message != WM_KEYDOWN) return false;
  if (wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) return HandleViewerKey(viewer, VK_TAB);
  if (wParam != VK_ESCAPE) return false;
  SetFocus(viewer.Grid);
  return true;
}

void DestroyFilterEdits(TJsonViewer& viewer) {
  viewer.FilterSubclasses.clear();
  for (HWND edit : viewer.FilterEdits) DestroyWindow(edit);
  viewer.FilterEdits.clear();
}

std::u16string EditText(HWND edit) {
  wchar_t buffer[kMaxFilterLength + 1] = {};
  const int length = GetWindowTextW(edit, buffer, static_cast<int>(kMaxFilterLength + 1));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(std::max(length, 0)));
}

}  // namespace

int FilterRowHeight(const TJsonViewer& viewer) { return FilterRowHeight(viewer.Scaling, viewer.LineHeight); }

void CreateFilterEdits(TJsonViewer& viewer) {
  DestroyFilterEdits(viewer);
  const int columns = GridColumnCount(viewer);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | AlignmentStyle(viewer);
  for (int i = 0; i < columns; ++i) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, viewer.ScaleDpi(10),
                                FilterRowHeight(viewer), viewer.Tab,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmd::kFilterEditBase + i)),
                                PluginInstance(), nullptr);
    if (!edit) break;
    viewer.FilterEdits.push_back(edit);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(viewer.MainFont.Get()), FALSE);
    ApplyControlTheme(viewer, edit);
    auto subclass = std::make_unique<win::TSubclass>();
    if (subclass->Install(edit, &viewer, EditHandler)) viewer.FilterSubclasses.push_back(std::move(subclass));
  }
  PositionFilterEdits(viewer);
}

void PositionFilterEdits(TJsonViewer& viewer) {
  const HWND header = GridHeader(viewer);
  if (!viewer.Grid || !header) return;
  RECT headerRect{};
  GetWindowRect(header, &headerRect);
  POINT origin{headerRect.left, headerRect.top};
  ScreenToClient(viewer.Tab, &origin);
  const int top = TabDisplayTop(viewer);
  const int height = FilterRowHeight(viewer);
  const bool rowShown = viewer.FilterRowShown && viewer.ActiveTab == 0;
  for (size_t i = 0; i < viewer.FilterEdits.size(); ++i) {
    RECT item{};
    const int x = SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))
                      ? origin.x + item.left
                      : viewer.ScaleDpi(3);
    const int width = static_cast<int>(SendMessageW(viewer.Grid, LVM_GETCOLUMNWIDTH, i, 0));
    const HWND edit = viewer.FilterEdits[i];
    MoveWindow(edit, x, top, std::max(width, 0), height, TRUE);
    ShowWindow(edit, rowShown && width > 0 ? SW_SHOWNA : SW_HIDE);
  }
}

void ReadFilterEdits(TJsonViewer& viewer) {
  for (size_t i = 0; i < viewer.FilterEdits.size(); ++i)
    viewer.Core.SetFilterText(static_cast<int>(i), EditText(viewer.FilterEdits[i]));
}

void ApplyFilterEdits(TJsonViewer& viewer, bool keepSelection) {
  EndCellEditBeforeRowsMove(viewer);
  ReadFilterEdits(viewer);
  ShowFilterResult(viewer, viewer.Core.ApplyFilters(keepSelection));
}

void WriteFilterEdits(TJsonViewer& viewer) {
  viewer.WritingFilters = true;
  for (size_t i = 0; i < viewer.FilterEdits.size() && i < viewer.Core.FilterTexts.size(); ++i)
    SetWindowTextW(viewer.FilterEdits[i], reinterpret_cast<LPCWSTR>(viewer.Core.FilterTexts[i].c_str()));
  viewer.WritingFilters = false;
}

void ToggleFilterRow(TJsonViewer& viewer) {
  viewer.FilterRowShown = !viewer.FilterRowShown;
  LayoutControls(viewer);
}

bool FilterEditCommand(TJsonViewer& viewer, int id, int code) {
  if (EditIndex(viewer, id) < 0) return false;
  if (code == EN_CHANGE && !viewer.WritingFilters)
    viewer.FilterTimer.Start(viewer.Window(), kFilterTimerId, kTypingDelayMs);
  return true;
}

void FilterTimerFired(TJsonViewer& viewer) {
  viewer.FilterTimer.Stop();
  ApplyFilterEdits(viewer, false);
}

HBRUSH FilterEditColours(TJsonViewer& viewer, HWND edit, HDC dc) {
  bool ours = edit == viewer.EditBox;
  for (HWND filter : viewer.FilterEdits) ours = ours || filter == edit;
  if (!ours || !viewer.FilterBrush) return nullptr;
  SetTextColor(dc, viewer.Colours.FilterTextColor);
  SetBkColor(dc, viewer.Colours.FilterBackColor);
  return viewer.FilterBrush.Get();
}

}  // namespace corvane
