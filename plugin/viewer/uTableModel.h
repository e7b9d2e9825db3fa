// The grid's table model: how a value-tree node becomes rows and columns.
//
// Contract:
//  - Plain views: an array gives one column per member name found in its
//    object elements (or a single "Element" column), an object gives
//    Attribute/Value, a scalar a single Value cell.
//  - Flat view (TryFlatten) spreads nested objects over columns whose keys are
//    the member paths joined by kKeySeparator; headers show them with ".".
//    A failed attempt leaves the model exactly as it was.
//  - Path/value listing: every scalar leaf of the whole document with its
//    path ("a.b[0]"), walked without recursion.
//  - Every rule walks the tree iteratively or with a bounded depth (the flat
//    level), so deeply nested input cannot overflow the caller's stack.
//  - Node pointers are borrowed from the value tree; the model owns nothing
//    of it and must be rebuilt when the tree changes shape.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "uJsonModel.h"
#include "uSettingKeys.h"

namespace corvane {

using TUnicodeRow = std::vector<std::u16string>;
using TUnicodeRows = std::vector<TUnicodeRow>;
using TJsonDataArray = std::vector<TJsonData*>;
using TJsonDataRows = std::vector<TJsonDataArray>;
using TStringListArray = std::vector<std::vector<std::string>>;
using TIntegerArray = std::vector<int32_t>;

// Separates path segments inside column keys; no header text contains it.
constexpr char kKeySeparator = '\x01';

// Flat levels: -1 path/value listing, 0 plain views, 1.. flat view depth.
constexpr int kFlatLevelPathValue = -1;
constexpr int kFlatLevelMax = 2;

// Options read from the settings when a table is built.
struct TTableOptions {
  std::u16string MissingText{setting::kMissingAttributeValue.TextDefault};
  bool SkipAttributesScan = setting::kSkipAttributesScan.IntDefault != 0;
};

// The table of one grid: cell texts, the nodes behind rows and cells, and the
// flat-view description. All rows hold exactly Headers.size() cells.
class TTableModel {
 public:
  std::vector<std::u16string> Headers;  // one header text per column
  TUnicodeRows Cells;                   // rows x columns display texts
  TJsonDataArray RowNodes;              // node each row stands for
  TJsonDataRows CellNodes;              // flat view / listing only, else empty
  std::vector<std::string> ColumnKeys;  // flat view only; "" for Attribute
  bool FlatView = false;                // flat view or path/value listing
  bool Complete = false;                // every row has every column (flat only)
  // Path/value listing: the Value cell's node is the row node (CellNodes
  // stays empty; one node list per row would cost a million allocations).
  bool ValueCellIsRowNode = false;

  void Clear();
  int RowCount() const { return static_cast<int>(Cells.size()); }
  int ColumnCount() const { return static_cast<int>(Headers.size()); }

  // Bounds-checked access; nullptr / empty outside the table.
  const std::u16string* CellText(int row, int column) const;
  std::u16string_view CellView(int row, int column) const;
  TJsonData* RowNode(int row) const;
  TJsonData* CellNode(int row, int column) const;
  // Header text, or "" outside the table.
  std::u16string_view Header(int column) const;
  // Status-bar mark: "" for a plain view, "+" complete, "*" incomplete.
  std::u16string CompletenessMark() const;
};

// Clamps a flat level chosen in the viewer to -1..2.
int ClampFlatLevel(int level);

// Plain views of an array, object or scalar (never fails).
void BuildPlainView(TJsonData* node, const TTableOptions& options, TTableModel* table);

// One flat-view attempt at exactly this depth; false leaves *table untouched.
bool TryFlatten(TJsonData* node, int depth, const TTableOptions& options, TTableModel* table);

// True when a flat view succeeds at some depth from level down to 1.
bool CanFlatten(TJsonData* node, int level);

// Every scalar leaf of the document below root, with its path.
void BuildPathValueListing(TJsonData* root, TTableModel* table);

// The whole model side of building the grid for a node at a flat level:
// level -1 lists root, level >= 1 tries the flat view from level down to 1,
// otherwise (or when flattening fails) the plain view of node.
void BuildTableModel(TJsonData* node, TJsonData* root, int flatLevel,
                     const TTableOptions& options, TTableModel* table);

// Path of a node in the listing's notation ("a.b[0]"); "" for the root.
std::u16string LeafPath(const TJsonData* node);

// Header text of a column key: separators shown as ".".
std::u16string KeyHeaderText(std::string_view key);

}  // namespace corvane
