#include "uViewerKeys.h"

namespace corvane {

namespace {

bool IsArrow(int key) { return key == vk::kLeft || key == vk::kUp || key == vk::kRight || key == vk::kDown; }

bool Shown(const std::vector<int>& widths, int column) {
  return column >= 0 && column < static_cast<int>(widths.size()) && widths[column] >= 1;
}

// Nearest shown column from start in direction step (start included); -1 when none.
int NearestShown(const std::vector<int>& widths, int start, int step) {
  for (int c = start; c >= 0 && c < static_cast<int>(widths.size()); c += step)
    if (Shown(widths, c)) return c;
  return -1;
}

int MoveColumn(int key, bool ctrl, int column, const std::vector<int>& widths) {
  const int count = static_cast<int>(widths.size());
  const int step = key == vk::kLeft ? -1 : 1;
  int target;
  if (ctrl) {
    target = NearestShown(widths, step < 0 ? 0 : count - 1, -step);
  } else {
    // One step, brought back into the grid, then past hidden columns.
    const int next = column + step;
    target = NearestShown(widths, next < 0 ? 0 : (next >= count ? count - 1 : next), step);
  }
  return target < 0 ? column : target;
}

int MoveRow(int key, bool ctrl, int row, int rowCount) {
  if (key == vk::kUp) return ctrl ? 0 : (row > 0 ? row - 1 : 0);
  return ctrl ? rowCount - 1 : (row + 1 < rowCount ? row + 1 : rowCount - 1);
}

}  // namespace

bool IsHostKey(const TKeyPress& press, const TKeySettings& settings) {
  if (press.Focus == TFocusPane::EditBox) return false;
  switch (press.Key) {
    case vk::kEscape: case vk::kF3: case vk::kF5: case vk::kF7: case vk::kF11:
      return true;
    case vk::kF:
      return press.Ctrl;
    case vk::kN: case vk::kP:
      return !settings.DisableNpKeys;
    case vk::kQ:
      return settings.ExitByQ;
    default:
      return press.Key >= vk::k1 && press.Key <= vk::k8 && !press.Ctrl && !settings.DisableNumKeys;
  }
}

TKeyAction DecideViewerKey(const TKeyContext& context) {
  const TKeyPress& p = context.Press;
  const bool inGrid = p.Focus == TFocusPane::Grid;
  if (p.Ctrl && p.Key == vk::kTab) return TKeyAction::FocusCycle;
  if (p.Key == vk::kC && inGrid) {
    if (p.Ctrl || (context.Settings.CopyColumn && context.SelectedRows > 1)) return TKeyAction::CopyColumn;
    if (p.Shift) return TKeyAction::CopyRows;
  }
  if (p.Ctrl && (p.Key == vk::kE || p.Key == vk::kR)) return TKeyAction::ToggleEditMode;
  if (p.Key == vk::kReturn && context.EditMode && inGrid && context.CellValid)
    return TKeyAction::BeginCellEdit;
  if (p.Key == vk::kDelete && !p.Ctrl && !p.Shift && context.EditMode && inGrid && context.CellValid)
    return TKeyAction::DeleteRow;
  if (p.Ctrl && p.Key == vk::kS) return TKeyAction::SaveChanges;
  if (p.Ctrl && p.Key == vk::kSpace) return TKeyAction::ShowAllColumns;
  if (p.Ctrl && p.Key >= vk::k0 && p.Key <= vk::k9 && !context.Settings.DisableNumKeys)
    return TKeyAction::SortByDigit;
  // Shift+Up and Shift+Down extend the row selection as in every list view
  // (the list view does it, like Shift+PageDown, Shift+Home and Shift+End).
  if (inGrid && p.Shift && !p.Ctrl && (p.Key == vk::kUp || p.Key == vk::kDown)) return TKeyAction::NotHandled;
  if (IsArrow(p.Key)) return TKeyAction::MoveCursor;
  return IsHostKey(p, context.Settings) ? TKeyAction::ForwardToHost : TKeyAction::NotHandled;
}

int SortColumnForDigit(int digit, int currentColumn, const std::vector<int>& order,
                       const std::vector<int>& widths) {
  if (digit == 0) return Shown(widths, currentColumn) ? currentColumn : -1;
  int seen = 0;
  const int count = static_cast<int>(widths.size());
  for (int i = 0; i < count; ++i) {
    const int column = i < static_cast<int>(order.size()) ? order[i] : i;
    if (Shown(widths, column) && ++seen == digit) return column;
  }
  return -1;
}

TCursorMove ComputeCursorMove(int key, bool ctrl, int row, int column, int rowCount,
                              const std::vector<int>& widths) {
  TCursorMove move;
  move.Row = row;
  move.Column = column;
  if (key == vk::kLeft || key == vk::kRight) {
    move.Column = MoveColumn(key, ctrl, column, widths);
    move.ScrollCell = true;
  } else {
    move.Row = MoveRow(key, ctrl, row, rowCount);
    move.EnsureRowVisible = true;
    move.ScrollToLeftEdge = move.Column == 0;
  }
  move.Changed = move.Row != row || move.Column != column;
  if (!move.Changed) {
    move.ScrollCell = move.EnsureRowVisible = false;
    move.ScrollToLeftEdge = key == vk::kLeft;
  }
  return move;
}

int HorizontalScrollToShow(int cellLeft, int cellRight, int clientLeft, int clientRight) {
  if (cellLeft < clientLeft) return cellLeft - clientLeft;
  if (cellRight > clientRight) {
    const bool fits = cellRight - cellLeft <= clientRight - clientLeft;
    return fits ? cellRight - clientRight : cellLeft - clientLeft;
  }
  return 0;
}

TFocusTarget FocusCycleTarget(TFocusPane focus) {
  switch (focus) {
    case TFocusPane::EditBox: return TFocusTarget::Nothing;
    case TFocusPane::Tree: case TFocusPane::Outside: return TFocusTarget::Content;
    default: return TFocusTarget::Tree;
  }
}

}  // namespace corvane
