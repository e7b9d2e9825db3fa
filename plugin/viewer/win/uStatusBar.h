// The status bar: seven parts (encoding, depth, kind, flat level, rows, cell
// cursor, edit state) and the flat-level popup over part 3.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace corvane {

class TJsonViewer;

constexpr int kStatusPartFlat = 3;
constexpr int kStatusPartCursor = 5;
constexpr int kStatusPartEdit = 6;

// Parts 0-5 for the current node, the part widths, then part 6.
void UpdateStatusBar(TJsonViewer& viewer);
// Part widths from their templates in the main font, and the bar's height.
void LayoutStatusParts(TJsonViewer& viewer);
void SetStatusText(TJsonViewer& viewer, int part, const std::u16string& text);
// Part 6: the given text, or the edit state when text is nullptr.
void UpdateEditStatus(TJsonViewer& viewer, const std::u16string* text = nullptr);
// Opens the flat-level menu over part 3 and applies the choice.
void ShowFlatLevelMenu(TJsonViewer& viewer);

// WM_NOTIFY from the status bar; true when handled.
bool StatusNotify(TJsonViewer& viewer, NMHDR* header, LRESULT* result);

}  // namespace corvane
