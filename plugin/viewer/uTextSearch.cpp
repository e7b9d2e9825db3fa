// Grid <-> text pane selection links.
#include "uTextSearch.h"

#include <algorithm>

#include "uUnicode.h"

namespace corvane {

namespace {

// Table row shown at a display position, or -1.
int TableRowAt(const TTableModel& table, const TIntegerArray& visibleRows, int displayRow) {
  if (displayRow < 0 || static_cast<size_t>(displayRow) >= visibleRows.size()) return -1;
  const int row = visibleRows[static_cast<size_t>(displayRow)];
  return (row >= 0 && row < table.RowCount()) ? row : -1;
}

}  // namespace

int ShowCellColumn(int currentColumn, int flatLevel) {
  return flatLevel == kFlatLevelPathValue ? 1 : currentColumn;
}

std::u16string ShowCellSearchText(const TTableModel& table, const TIntegerArray& visibleRows,
                                  int firstSelectedRow, int currentColumn, int flatLevel) {
  const int row = TableRowAt(table, visibleRows, firstSelectedRow);
  if (row < 0) return {};
  const std::u16string_view cell = table.CellView(row, ShowCellColumn(currentColumn, flatLevel));
  return std::u16string(cell.substr(0, kLinkCellTextLimit));
}

int64_t FindCellInText(std::u16string_view paneText, std::u16string_view cellText) {
  if (cellText.empty() || cellText == u"[Object]" || cellText == u"[Array]") return -1;
  const std::u16string_view searched = paneText.substr(0, kPaneTextLinkLimit);
  const size_t found = searched.find(cellText);
  return found == std::u16string_view::npos ? -1 : static_cast<int64_t>(found);
}

std::u16string SelectedPaneText(std::u16string_view paneText, int64_t start, int64_t end) {
  const std::u16string_view text = paneText.substr(0, kPaneTextLinkLimit);
  const int64_t size = static_cast<int64_t>(text.size());
  if (start > end) std::swap(start, end);
  start = std::clamp<int64_t>(start, 0, size);
  end = std::clamp<int64_t>(end, 0, size);
  return std::u16string(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

TGridCellPos FindSelectionInGrid(const TTableModel& table, const TIntegerArray& visibleRows,
                                 std::u16string_view selection) {
  if (selection.empty()) return {};
  const int rows = static_cast<int>(visibleRows.size());
  for (int displayRow = 0; displayRow < rows; ++displayRow) {
    const int row = TableRowAt(table, visibleRows, displayRow);
    if (row < 0) continue;
    for (int column = 0; column < table.ColumnCount(); ++column) {
      const std::u16string_view cell = table.CellView(row, column).substr(0, kLinkCellTextLimit);
      if (cell.empty()) continue;
      if (cell.find(selection) != std::u16string_view::npos ||
          selection.find(cell) != std::u16string_view::npos) {
        return {displayRow, column};
      }
    }
  }
  return {};
}

int64_t PanePositionOfByte(std::string_view bytes, int64_t offset) {
  const std::string_view before = bytes.substr(0, size_t(std::clamp<int64_t>(offset, 0, int64_t(bytes.size()))));
  int64_t crLf = 0;
  for (size_t at = before.find("\r\n"); at != std::string_view::npos; at = before.find("\r\n", at + 2)) ++crLf;
  return int64_t(Utf8ToUtf16(before).size()) - crLf;
}

}  // namespace corvane
