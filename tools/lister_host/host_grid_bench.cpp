// --grid-bench: what a user waits for in a big grid and text pane, timed in
// this process the way the lister window drives the plug-in: the open until
// painted, a table build on a tree selection, filter keystrokes once the
// typing delay is over, header clicks, loading the Text tab and colouring a
// 1,001-line window of the text pane. Each step is timed until the viewer
// has painted. Figures go to the report (--out).
#include "lister_host.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

// The viewer's control identifiers and private messages.
constexpr int kTreeId = 101, kTabId = 102, kGridId = 103, kTextId = 104, kFirstFilterEdit = 1000;
constexpr UINT kFilterTimer = 1;
constexpr UINT kRecolourText = WM_USER + 49;

double MsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// A report line, also shown at once on the standard error stream, so a
// step that takes very long can be seen while it runs.
void Report(const std::string& line) {
  Note(line);
  fprintf(stderr, "%s\n", line.c_str());
  fflush(stderr);
}

std::string Ms(double ms) {
  char text[32];
  snprintf(text, sizeof text, "%.1f ms", ms);
  return text;
}

// Runs a step and returns its milliseconds until the viewer has painted
// what the step invalidated.
template <typename F>
double Timed(HWND viewer, F&& step) {
  const auto start = TClock::now();
  step();
  RedrawWindow(viewer, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return MsSince(start);
}

int Rows(HWND grid) { return int(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0)); }

struct TViewer {
  HWND Main, Tree, Tab, Grid;
};

void Notify(HWND to, HWND from, int id, UINT code, NMHDR* header) {
  header->hwndFrom = from;
  header->idFrom = UINT_PTR(id);
  header->code = code;
  SendMessageW(to, WM_NOTIFY, WPARAM(id), reinterpret_cast<LPARAM>(header));
}

void TableBuild(const TViewer& v) {
  // With the flat level at -1 the whole listing is built again for any
  // selected entry; select the first child of the root (expanded first).
  HTREEITEM root = TreeView_GetRoot(v.Tree);
  TreeView_Expand(v.Tree, root, TVE_EXPAND);
  HTREEITEM child = TreeView_GetChild(v.Tree, root);
  HTREEITEM other = TreeView_GetSelection(v.Tree) == child ? root : child;
  const double ms = Timed(v.Main, [&] { TreeView_SelectItem(v.Tree, other); });
  Report("table build on a tree selection: " + Ms(ms) + " (" + std::to_string(Rows(v.Grid)) + " rows)");
}

void FilterKeystrokes(const TViewer& v, int column, const std::wstring& typed) {
  HWND edit = GetDlgItem(v.Tab, kFirstFilterEdit + column);
  if (!edit) return;
  for (wchar_t c : typed) {
    SendMessageW(edit, WM_CHAR, WPARAM(c), 1);
    // The typing delay is over: timer 1 fires.
    const double ms = Timed(v.Main, [&] { SendMessageW(v.Main, WM_TIMER, kFilterTimer, 0); });
    Report("filter keystroke '" + Utf8(std::wstring(1, c)) + "' in column " + std::to_string(column) +
         ", after the delay: " + Ms(ms) + " (" + std::to_string(Rows(v.Grid)) + " rows)");
  }
  SetWindowTextW(edit, L"");
  SendMessageW(v.Main, WM_TIMER, kFilterTimer, 0);
}

void HeaderClicks(const TViewer& v) {
  const char* names[] = {"ascending", "descending", "unsorted"};
  for (int column : {1, 0}) {
    for (const char* name : names) {
      NMLISTVIEW click{};
      click.iItem = -1;
      click.iSubItem = column;
      const double ms = Timed(v.Main, [&] { Notify(v.Main, v.Grid, kGridId, LVN_COLUMNCLICK, &click.hdr); });
      Report("header click on column " + std::to_string(column) + " (" + name + "): " + Ms(ms));
    }
  }
}

int LineHeight(HWND text) {
  POINTL first{}, second{};
  SendMessageW(text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), SendMessageW(text, EM_LINEINDEX, 0, 0));
  SendMessageW(text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second), SendMessageW(text, EM_LINEINDEX, 1, 0));
  return std::max(int(second.y - first.y), 1);
}

// One colouring pass over the 1,001 lines from line first on; returns its
// milliseconds.
double ColourWindow(HWND text, int first) {
  const int now = int(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageW(text, EM_LINESCROLL, 0, first - now);
  const auto start = TClock::now();
  SendMessageW(text, kRecolourText, 0, 0);
  return MsSince(start);
}

void TextPane(const TViewer& v) {
  NMHDR change{};
  const double load = Timed(v.Main, [&] {
    TabCtrl_SetCurSel(v.Tab, 1);
    Notify(v.Main, v.Tab, kTabId, TCN_SELCHANGE, &change);
  });
  HWND text = GetDlgItem(v.Tab, kTextId);
  if (!text) return;
  const int lines = int(SendMessageW(text, EM_GETLINECOUNT, 0, 0));
  Report("text tab shown (text loaded, lines on screen coloured): " + Ms(load) + " (" + std::to_string(lines) +
         " lines)");
  // A pane tall enough for 1,001 lines: the most one pass colours. Each
  // timed pass colours a window no earlier pass touched, at the top, in the
  // middle and near the end of the text (the control finds a line by
  // walking from the start on some systems, so the position matters).
  RECT r{};
  GetWindowRect(text, &r);
  MapWindowPoints(nullptr, v.Tab, reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(text, r.left, r.top, r.right - r.left, 1001 * LineHeight(text), TRUE);
  const int window = 1001;
  const int starts[] = {2 * window, 3 * window, lines / 2, lines / 2 + window, std::max(lines - 2 * window, 0)};
  std::string figures;
  std::vector<double> passes;
  for (const int first : starts) {
    if (first + window > lines) continue;
    const double ms = ColourWindow(text, first);
    passes.push_back(ms);
    figures += (figures.empty() ? "" : ", ") + std::string("line ") + std::to_string(first + 1) + ": " + Ms(ms);
  }
  if (passes.empty()) return;
  Report("colouring a fresh 1,001-line window: " + figures);
  std::sort(passes.begin(), passes.end());
  Report("colouring a fresh 1,001-line window: " + Ms(passes[passes.size() / 2]) + " median, " +
         Ms(passes.back()) + " worst");
  // The first window again: nothing left to colour, only finding the lines.
  Report("colouring pass over a window already coloured: " + Ms(ColourWindow(text, starts[0])));
}

}  // namespace

int RunGridBench(THost& host) {
  std::wstring file = host.Options.File;
  HWND list = nullptr;
  const double open = Timed(host.Main, [&] {
    list = host.Plugin.ListLoadW(host.Main, &file[0], 0);
    RECT client{};
    GetClientRect(host.Main, &client);
    if (list) MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);
  });
  if (!list) {
    Report("grid-bench: the file did not open");
    return 1;
  }
  TViewer v{list, GetDlgItem(list, kTreeId), GetDlgItem(list, kTabId), nullptr};
  v.Grid = GetDlgItem(v.Tab, kGridId);
  Report("grid-bench-file: " + Utf8(file));
  Report("open until painted: " + Ms(open) + " (" + std::to_string(Rows(v.Grid)) + " rows)");
  TableBuild(v);
  FilterKeystrokes(v, 0, L"price");
  FilterKeystrokes(v, 1, L"12");
  HeaderClicks(v);
  if (!host.Options.NoText) TextPane(v);
  const auto closing = TClock::now();
  host.Plugin.ListCloseWindow(list);
  Report("close: " + Ms(MsSince(closing)));
  return 0;
}
