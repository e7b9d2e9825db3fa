// --grid-bench: what a user waits for in a big grid and text pane, timed in
// this process the way the lister window drives the plug-in: the open until
// painted, a table build on a tree selection, filter keystrokes once the
// typing delay is over, header clicks (left out by --text-only), showing
// the Text tab and a Page Down in the text pane at several places, and the
// close; the private memory the viewer holds with the Text tab shown and
// after the close. Each step is timed until the viewer has painted.
// Figures go to the report (--out).
#include "lister_host.h"

#include <commctrl.h>
#include <psapi.h>
#include <Scintilla.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

// The viewer's control identifiers and private messages.
constexpr int kTreeId = 101, kTabId = 102, kGridId = 103, kTextId = 104, kFirstFilterEdit = 1000;
constexpr UINT kFilterTimer = 1;

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

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters))
    return 0;
  // Wine fills only the basic record; its pagefile usage is the same
  // private commit charge.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

// Megabytes, and the ratio to the file's size.
std::string Mb(size_t bytes, size_t fileBytes) {
  char text[64];
  snprintf(text, sizeof text, "%.1f MB (%.2fx the file)", static_cast<double>(bytes) / 1048576.0,
           static_cast<double>(bytes) / static_cast<double>(std::max<size_t>(fileBytes, 1)));
  return text;
}

size_t FileBytes(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return 0;
  return static_cast<size_t>((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

// Private memory the viewer holds now, over what the process held before.
std::string Held(size_t before, size_t fileBytes) {
  const size_t now = PrivateBytes();
  return Mb(now > before ? now - before : 0, fileBytes);
}

// One Page Down in the text pane from line on (drawn and styled there
// first). The control styles the lines that come on screen while it
// scrolls, before it draws them: the colouring pass is timed with the key
// (scroll and styles, not drawn yet), then until painted. Returns both.
std::pair<double, double> PageDown(HWND text, LPARAM line) {
  SendMessageW(text, SCI_GOTOLINE, WPARAM(line), 0);
  UpdateWindow(text);
  const auto start = TClock::now();
  SendMessageW(text, WM_KEYDOWN, VK_NEXT, 1);
  SendMessageW(text, WM_KEYUP, VK_NEXT, 1);
  const double styled = MsSince(start);
  UpdateWindow(text);
  return {styled, MsSince(start)};
}

void TextPane(const TViewer& v, size_t before, size_t fileBytes) {
  NMHDR change{};
  const double shown = Timed(v.Main, [&] {
    TabCtrl_SetCurSel(v.Tab, 1);
    Notify(v.Main, v.Tab, kTabId, TCN_SELCHANGE, &change);
  });
  HWND text = GetDlgItem(v.Tab, kTextId);
  if (!text) return;
  const auto lines = SendMessageW(text, SCI_GETLINECOUNT, 0, 0);
  Report("text tab shown and painted (text given, lines on screen styled): " + Ms(shown) + " (" +
         std::to_string(lines) + " lines)");
  Report("private memory held with the text tab shown: " + Held(before, fileBytes));
  // At the top, in the middle and at the end: a jump to a place no pass has
  // styled, then a Page Down from there.
  std::string figures;
  std::vector<double> passes, totals;
  for (const LRESULT line : {LRESULT(0), lines / 4, lines / 2, 3 * lines / 4, std::max<LRESULT>(lines - 200, 0)}) {
    const auto [pass, total] = PageDown(text, line);
    passes.push_back(pass);
    totals.push_back(total);
    figures += (figures.empty() ? "" : ", ") + std::string("line ") + std::to_string(line + 1) + ": " + Ms(pass) +
               " / " + Ms(total);
  }
  Report("page down: scrolled and styled / until painted: " + figures);
  std::sort(passes.begin(), passes.end());
  std::sort(totals.begin(), totals.end());
  Report("page down: scrolled and styled " + Ms(passes[passes.size() / 2]) + " median, " + Ms(passes.back()) +
         " worst; until painted " + Ms(totals[totals.size() / 2]) + " median, " + Ms(totals.back()) + " worst");
}

}  // namespace

int RunGridBench(THost& host) {
  std::wstring file = host.Options.File;
  const size_t before = PrivateBytes();
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
  const size_t fileBytes = FileBytes(file);
  Report("private memory held after the open: " + Held(before, fileBytes));
  if (!host.Options.TextOnly) {
    TableBuild(v);
    FilterKeystrokes(v, 0, L"price");
    FilterKeystrokes(v, 1, L"12");
    HeaderClicks(v);
  }
  if (!host.Options.NoText) TextPane(v, before, fileBytes);
  const auto closing = TClock::now();
  host.Plugin.ListCloseWindow(list);
  Report("close: " + Ms(MsSince(closing)));
  Report("private memory held after the close: " + Held(before, fileBytes));
  return 0;
}
