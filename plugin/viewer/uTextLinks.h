// The links between the grid and the text pane on tab switches: the span of
// the current cell's node in the text, and the grid cell of the node a text
// selection lies in.
//
// Contract:
//  - Text positions are byte offsets of the text the pane shows: the loaded
//    bytes with the pending patches spliced in. The structure records
//    describe the loaded bytes; a span is moved past the patches before it,
//    and the span of an edited value or renamed key is its replacement.
//  - A cell links to the node it shows: its value, or its key in the
//    Attribute and Path columns (a node without a key, an array element,
//    links to its value). A cell showing no node of its own (the
//    missing-member text) links to its row's node.
//  - A container without a span of its own (TOML tables and arrays) spans
//    from the first to the last byte its descendants' spans cover.
//  - A selection (or a caret) lies in the innermost scalar or key whose span
//    holds it; one that reaches over several lies in the innermost node
//    holding all it touches; one that touches no scalar and no key (inside a
//    comment, on blank space) lies in none, and the grid is searched for the
//    selected text instead (FindSelectionInGrid, exact and case-sensitive).
//  - Every index is checked; nothing recurses on nesting, and a link reads
//    the records at most once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "uFileLoading.h"
#include "uSourcePatch.h"
#include "uViewerCore.h"

namespace corvane {

// Grid cell texts are compared as the grid hands them out, and the
// fallback search takes at most this many bytes of a selection.
constexpr size_t kLinkCellTextLimit = 4095;
constexpr size_t kLinkSelectionLimit = 65535;

struct TByteSpan {
  int64_t Start = -1;
  int64_t End = -1;  // exclusive
  bool Valid() const { return Start >= 0 && End >= Start; }
};

// A node of the value tree, on its value or its key side.
struct TLinkTarget {
  TJsonData* Node = nullptr;
  bool Key = false;
};

// What the cell at a display position and column links to; no node outside
// the table.
TLinkTarget CellLinkTarget(const TViewerCore& core, int position, int column);

// The target's span in the shown text; invalid when the records give none
// (no records, a node they do not reach, no spans).
TByteSpan TargetSpanInText(const TLoadedDocument& doc, const TSourcePatches& patches, TLinkTarget target);

// The node a selection of the shown text lies in; no node when it lies in
// none.
TLinkTarget TargetAtSelection(const TLoadedDocument& doc, const TSourcePatches& patches, TByteSpan selection);

struct TGridCellPos {
  int Row = -1;     // display position
  int Column = -1;
  bool Found() const { return Row >= 0; }
};

// The visible cell that links to the target, or else to its nearest
// ancestor the grid shows (the target's own side, value or key, first).
TGridCellPos FindTargetInGrid(const TViewerCore& core, TLinkTarget target);

// Fallbacks where the records give no span: the cell text of a display
// position and column (cut to kLinkCellTextLimit), and its first exact
// occurrence in the text, -1 when none or when the text is empty,
// "[Object]" or "[Array]".
std::u16string CellLinkText(const TViewerCore& core, int position, int column);
int64_t FindCellInText(std::string_view text, std::u16string_view cellText);

// First cell, visible rows in display order and columns in index order, whose
// non-empty text (cut to kLinkCellTextLimit) contains the selection or is
// contained in it. An empty selection finds nothing.
TGridCellPos FindSelectionInGrid(const TTableModel& table, const TIntegerArray& visibleRows,
                                 std::u16string_view selection);

}  // namespace corvane
