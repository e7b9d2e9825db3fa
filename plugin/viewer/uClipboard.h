// Texts the copy commands put on the clipboard, and the target of a link
// opened from a grid cell.
//
// Contract:
//  - Every function here only computes text; putting it on the clipboard and
//    opening links is the Win32 side's job, so every rule runs under tests.
//  - Grid cell texts are read as the grid shows them (table row of the
//    visible-row list entry) and cut to kCopyCellTextLimit characters, like the
//    grid's display buffer; positions or columns outside the table read as "".
//  - Copy as JSON copies the nodes the cells show (never their "[Object]"
//    summaries, never cut) into a fresh value tree and writes it without
//    recursion; member names that clash (equal in their first 255 bytes)
//    keep the first occurrence instead of aborting the copy.
//  - Nothing here raises or crashes on empty tables, missing columns, empty
//    selections, embedded NULs or lone surrogates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "uJsonModel.h"
#include "uSettingsAccess.h"
#include "uTableModel.h"

namespace corvane {

// Cell texts read from the grid fit a 4096-unit buffer with its NUL.
constexpr size_t kCopyCellTextLimit = 4095;

// The grid as the copy commands see it.
struct TGridCopySource {
  const TTableModel* Table = nullptr;         // header texts and row texts
  const TIntegerArray* VisibleRows = nullptr;  // display position -> table row
  std::vector<int> ColumnOrder;   // header's order array; empty: index order
  std::vector<int> ColumnWidths;  // width per column index; empty: all shown

  int ColumnCount() const;
  int DisplayRowCount() const;
  // Table row shown at a display position, or -1.
  int TableRow(int displayRow) const;
  // Cell text as displayed (cut to kCopyCellTextLimit); "" outside the table.
  std::u16string DisplayText(int displayRow, int column) const;
  // The uncut row text (Copy path of the listing); "" outside the table.
  std::u16string FullText(int displayRow, int column) const;
  std::u16string HeaderText(int column) const;
  // Columns in display order with hidden (width 0) and invalid ones left out.
  std::vector<int> ShownColumnsInDisplayOrder() const;
};

// The "column-delimiter" setting's first character; TAB when unset or empty.
char16_t ColumnDelimiter(const TSettingsAccess& settings);

// Copy cell: the first selected row (display position 0 without a selection)
// in the given column.
std::u16string CopyCellText(const TGridCopySource& grid, const std::vector<int>& selected,
                             int column);

// Copy row(s): every column in index order (hidden ones too) joined by the
// delimiter, rows joined by CR LF, no final line break.
std::u16string CopyRowsText(const TGridCopySource& grid, const std::vector<int>& selected,
                            char16_t delimiter);

// Copy column: the column's text of every visible row, joined by CR LF.
std::u16string CopyColumnText(const TGridCopySource& grid, int column);

enum TJsonCopyLayout { jlElementList, jlAttributeList, jlSingleValue, jlTable };
// Recognised from the column count and the header text of column 0,
// compared with the translated header names the table model uses.
TJsonCopyLayout RecogniseJsonLayout(const TGridCopySource& grid);

// The value Copy as JSON writes for the selected rows, built from the nodes
// the cells show: a container whole, a string as a string, a number as a
// number. Element list: an array of the elements; attribute list: an object
// of the members; table: an array with one object per row, its members the
// shown columns in display order named by their headers, a missing value
// left out and a label column (Attribute, Path) as its text. nullptr for a
// grid without columns or for the single-value layout (which copies the
// cell).
TJsonDataPtr BuildJsonCopyValue(const TGridCopySource& grid, const std::vector<int>& selected);

// Copy as JSON. False when nothing is to be put on the clipboard (no
// columns); otherwise *text is the JSON (empty without a selection, the cell
// text for the single-value layout).
bool CopyAsJsonText(const TGridCopySource& grid, const std::vector<int>& selected, int column, bool compact,
                    std::u16string* text);

// Copy path: "$" and one step per level, written as the corvane command
// reads paths ($.a.b[2], a name that needs it as ["a.b"]); "" for nullptr.
std::u16string CopiedPathText(const TJsonData* node);

// The node Copy path names for the grid: the first selected row's node, or
// in a flat view the node of that row's cell in column (the row's node when
// the cell shows none); nullptr without a selected row.
const TJsonData* GridPathNode(const TGridCopySource& grid, const std::vector<int>& selected, int column);

// Link target of a cell text: the text itself when it contains "://",
// "https://" + text when it contains ".", otherwise "" (nothing to open).
std::u16string LinkTarget(std::u16string_view text);

// What Alt+click does with a cell text. Only web links are handed to the
// shell: any other scheme ("file://.../tool.exe", a protocol handler) would
// let a viewed file start a program when the user meant to follow a link.
// A target with a control character or a quotation mark is refused too, since
// the shell passes it on inside a quoted command line.
enum class TLinkKind { None, Web, Refused };
struct TLinkToOpen {
  TLinkKind Kind = TLinkKind::None;
  std::u16string Target;  // for Web and Refused
};
// The cell text is trimmed of blanks and control characters first.
TLinkToOpen LinkToOpen(std::u16string_view cellText);

// The link under byte offset of a line of UTF-8 text (Alt+click in the text
// pane): the run of bytes around it up to blanks, control characters,
// quotation marks and brackets, without trailing punctuation; "" unless the
// run names a scheme ("://"): in running text a bare word with a dot is a
// file or host name far more often than a link.
std::string LinkTextAt(std::string_view line, size_t offset);

}  // namespace corvane
