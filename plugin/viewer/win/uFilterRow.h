// The filter row above the grid: one edit per column (identifiers 1000 + i),
// the typing delay (timer 1) and the filter pass it starts.
#pragma once

#include <windows.h>

namespace corvane {

class TJsonViewer;

// Destroys the edits and creates one per grid column.
void CreateFilterEdits(TJsonViewer& viewer);
// Puts each edit over its column (following reordering, widths, scrolling).
void PositionFilterEdits(TJsonViewer& viewer);
// Height of the row (also used by the layout).
int FilterRowHeight(const TJsonViewer& viewer);
// Reads the edits' texts into the core (every pass reads what is typed,
// even while the typing delay runs).
void ReadFilterEdits(TJsonViewer& viewer);
// Reads the edits' texts into the core and runs the filter pass.
void ApplyFilterEdits(TJsonViewer& viewer, bool keepSelection);
// Puts texts from the core back into the edits (filters kept across a rebuild).
void WriteFilterEdits(TJsonViewer& viewer);
// Command 5006: show or hide the row.
void ToggleFilterRow(TJsonViewer& viewer);

// WM_COMMAND from a filter edit; true when it was one.
bool FilterEditCommand(TJsonViewer& viewer, int id, int code);
// Timer 1 fired: the filter pass after typing.
void FilterTimerFired(TJsonViewer& viewer);
// WM_CTLCOLOREDIT for a filter edit; nullptr when it is none of them.
HBRUSH FilterEditColours(TJsonViewer& viewer, HWND edit, HDC dc);

}  // namespace corvane
