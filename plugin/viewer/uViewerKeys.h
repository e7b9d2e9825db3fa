// The viewer's keyboard map and cell-cursor moves, without any window: which
// key does what in which pane, which keys go back to the host, where the
// arrow keys move the cell cursor and how far the grid scrolls to show a
// cell. The Win32 side reads the key states, the focus and the grid's
// columns, asks these functions, and carries the answer out.
#pragma once

#include <vector>

namespace corvane {

// Virtual-key codes the viewer looks at (the platform's values).
namespace vk {
constexpr int kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20;
constexpr int kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr int k0 = 0x30, k1 = 0x31, k8 = 0x38, k9 = 0x39;
constexpr int kC = 0x43, kE = 0x45, kF = 0x46, kN = 0x4E, kP = 0x50, kQ = 0x51;
constexpr int kR = 0x52, kS = 0x53;
constexpr int kDelete = 0x2E;
constexpr int kF3 = 0x72, kF5 = 0x74, kF7 = 0x76, kF11 = 0x7A;
}  // namespace vk

// Where the keyboard focus is, as far as the keyboard map cares.
enum class TFocusPane {
  Outside,     // not in the viewer
  Tree,
  Grid,
  Text,
  FilterEdit,
  EditBox,     // the in-place cell editor
  Other,       // any other window of the viewer (tab control, status bar, ...)
};

// The settings the keyboard map reads at each key press.
struct TKeySettings {
  bool DisableNumKeys = false;  // "disable-num-keys"
  bool DisableNpKeys = false;   // "disable-np-keys"
  bool ExitByQ = false;         // "exit-by-q"
  bool CopyColumn = false;      // "copy-column"
};

struct TKeyPress {
  int Key = 0;
  bool Ctrl = false;
  bool Shift = false;
  TFocusPane Focus = TFocusPane::Outside;
};

// What a key press asks for, in the order of the rules: the first that
// applies wins.
enum class TKeyAction {
  NotHandled,      // the focused control handles the key as usual
  FocusCycle,      // Ctrl+Tab
  CopyColumn,      // C in the grid with Ctrl, or "copy-column" and > 1 rows selected
  CopyRows,        // Shift+C in the grid
  ToggleEditMode,  // Ctrl+E, Ctrl+R
  BeginCellEdit,   // Enter in the grid in edit mode on a valid cell
  DeleteRow,       // Delete in the grid in edit mode on a valid row
  SaveChanges,     // Ctrl+S
  ShowAllColumns,  // Ctrl+Space
  SortByDigit,     // Ctrl+0 .. Ctrl+9: the caller resolves the column
  MoveCursor,      // arrow keys (not Shift+Up and Shift+Down in the grid: the list view's)
  ForwardToHost,   // one of the host's lister keys
};

struct TKeyContext {
  TKeyPress Press;
  TKeySettings Settings;
  bool EditMode = false;
  bool CellValid = false;  // current row and column both valid
  int SelectedRows = 0;
};

TKeyAction DecideViewerKey(const TKeyContext& context);

// True when the key is one of the host's lister keys that is handed back:
// Escape, F3, F5, F7, F11, Ctrl+F, the digits 1-8 without Ctrl (unless
// "disable-num-keys"), N and P (unless "disable-np-keys"), Q (only with
// "exit-by-q"). Never while the cell editor has the focus.
bool IsHostKey(const TKeyPress& press, const TKeySettings& settings);

// The column Ctrl+digit sorts by: Ctrl+0 the current column, Ctrl+n the n-th
// column of at least 1 pixel in the header's display order. -1 when that
// column does not exist or is hidden. order may be empty (index order).
int SortColumnForDigit(int digit, int currentColumn, const std::vector<int>& order,
                       const std::vector<int>& widths);

// The arrow keys' cell-cursor move over a grid of rowCount rows whose
// columns have the given widths (0 = hidden).
struct TCursorMove {
  bool Changed = false;       // false: nothing to do (Left still scrolls left)
  int Row = -1;
  int Column = -1;
  bool ScrollToLeftEdge = false;  // scroll the grid to its left edge
  bool ScrollCell = false;        // SetCurrentCell with scrolling (Left/Right)
  bool EnsureRowVisible = false;  // Up/Down
};

// Precondition (checked by the caller, which otherwise treats the key as not
// handled): the grid has the focus, at least one row and one column, and the
// cursor is valid.
TCursorMove ComputeCursorMove(int key, bool ctrl, int row, int column, int rowCount,
                              const std::vector<int>& widths);

// Horizontal scroll (pixels, positive to the right) that shows a cell
// spanning cellLeft..cellRight in a client area clientLeft..clientRight: a
// cell left of the area comes to its left edge; a cell whose right part is
// hidden comes to the right edge when it fits, else to the left edge.
int HorizontalScrollToShow(int cellLeft, int cellRight, int clientLeft, int clientRight);

// Where Ctrl+Tab sends the focus.
enum class TFocusTarget { Nothing, Tree, Content };
TFocusTarget FocusCycleTarget(TFocusPane focus);

}  // namespace corvane
