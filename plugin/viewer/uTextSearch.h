// The selection links between the grid and the text pane on tab switches:
// the current cell's text is found in the text, and text selected in the
// text pane is found in the grid.
//
// Contract:
//  - Only the first kPaneTextLinkLimit characters of the pane text are
//    searched, and grid cell texts are cut to kLinkCellTextLimit characters,
//    as the controls hand them out.
//  - Searches are exact and case-sensitive; every index is checked, so stale
//    selections, cursors of -1 and empty tables find nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uTableModel.h"

namespace corvane {

constexpr size_t kPaneTextLinkLimit = 65535;
constexpr size_t kLinkCellTextLimit = 4095;

// Column whose text is shown in the text: the value column (1) in the
// path/value listing, otherwise the current column.
int ShowCellColumn(int currentColumn, int flatLevel);

// The cell text to look for when switching to the text pane: the text at the
// first selected display row in ShowCellColumn, cut to kLinkCellTextLimit;
// "" when the row or column is not in the table.
std::u16string ShowCellSearchText(const TTableModel& table, const TIntegerArray& visibleRows,
                                  int firstSelectedRow, int currentColumn, int flatLevel);

// 0-based position of the first occurrence of cellText in the first
// kPaneTextLinkLimit characters of paneText; -1 when not found or when the
// cell text is empty, "[Object]" or "[Array]".
int64_t FindCellInText(std::u16string_view paneText, std::u16string_view cellText);

// The selected characters start..end of the pane text, cut from its first
// kPaneTextLinkLimit characters; reversed or out-of-range ends are clamped.
std::u16string SelectedPaneText(std::u16string_view paneText, int64_t start, int64_t end);

// The text pane's position (one character per line break) of a byte offset
// in the document's UTF-8 bytes; an offset past the end gives the end.
int64_t PanePositionOfByte(std::string_view bytes, int64_t offset);

struct TGridCellPos {
  int Row = -1;     // display position
  int Column = -1;
  bool Found() const { return Row >= 0; }
};

// First cell, visible rows in display order and columns in index order, whose
// non-empty text (cut to kLinkCellTextLimit) contains the selection or is
// contained in it. An empty selection finds nothing.
TGridCellPos FindSelectionInGrid(const TTableModel& table, const TIntegerArray& visibleRows,
                                 std::u16string_view selection);

}  // namespace corvane
