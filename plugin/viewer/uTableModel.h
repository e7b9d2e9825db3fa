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
//  - Cell texts live in a few large blocks (TCellTexts), not one string per
//    cell: a million-row listing costs a handful of allocations to build and
//    to free, and 4 bytes per cell to find its text. A text whose units are
//    all below 0x100 is kept in 8-bit units, which halves the texts of nearly
//    every real grid; readers get it back as UTF-16 (TCellText).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
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

// One cell's text as the store keeps it: either 8-bit units, each the
// UTF-16 unit of the same value (a text whose every unit is below 0x100),
// or UTF-16 units. A small value that points into the store; it stays valid
// until the store is cleared or assigned. Everything it answers is in UTF-16
// units, exactly as if the text were kept as UTF-16.
class TCellText {
 public:
  TCellText() = default;
  TCellText(const unsigned char* narrow, size_t length) : data_(narrow), size_(length), narrow_(true) {}
  TCellText(const char16_t* wide, size_t length) : data_(wide), size_(length), narrow_(false) {}

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // True when the units are kept as 8-bit units.
  bool IsNarrow() const { return narrow_; }
  char16_t operator[](size_t i) const {
    return narrow_ ? char16_t(Narrow()[i]) : Wide()[i];
  }
  // The text as UTF-16: the stored units of a wide text, or the text widened
  // into *scratch. The view lasts while the store and *scratch do, until
  // *scratch is used again, so two texts held at once need two buffers.
  std::u16string_view View(std::u16string* scratch) const;
  std::u16string ToString() const;
  // Copies the first count units (count <= size()) to out.
  void CopyTo(char16_t* out, size_t count) const;
  bool operator==(std::u16string_view text) const;
  bool operator!=(std::u16string_view text) const { return !(*this == text); }
  bool operator==(const TCellText& other) const;

 private:
  const unsigned char* Narrow() const { return static_cast<const unsigned char*>(data_); }
  const char16_t* Wide() const { return static_cast<const char16_t*>(data_); }
  const void* data_ = nullptr;
  size_t size_ = 0;
  bool narrow_ = false;
};

// The cell texts of a table: rows of a fixed number of cells, each text
// stored once in append-only blocks. Texts handed out stay valid until the
// store is cleared or assigned; replacing a cell's text appends the new text
// and leaves the old one in place. A cell is a 32-bit reference to its text,
// so a million-row grid spends 4 bytes per cell on it, not a pointer's 8.
// The references name at most kMaxBlocks blocks, each holding at least half
// a block's 128 KiB (2 GiB of cell text in the worst case, nearly 4 GiB with
// short texts); a text that would need a block beyond them is refused with
// std::bad_alloc, as an allocation failure would be, and leaves the store
// as it was.
class TCellTexts {
 public:
  TCellTexts() = default;
  TCellTexts(const TCellTexts& other) { *this = other; }
  TCellTexts(TCellTexts&&) noexcept = default;
  // Either copies every text or, when that fails, leaves *this unchanged.
  TCellTexts& operator=(const TCellTexts& other);
  TCellTexts& operator=(TCellTexts&&) noexcept = default;
  // Rows as separate strings; shorter rows are filled with empty cells.
  TCellTexts& operator=(const TUnicodeRows& rows);

  void Clear();
  // Starts an empty store whose rows have this many cells.
  void Reset(int columns);
  void ReserveRows(size_t rows) { cells_.reserve(rows * size_t(columns_)); }
  // Appends one cell; a row is complete after ColumnCount() cells.
  void Append(std::u16string_view text);
  // The same for UTF-8 text, converted as Utf8ToUtf16 converts it.
  void AppendUtf8(std::string_view text);
  void AddRow(std::initializer_list<std::u16string_view> texts);

  int RowCount() const { return columns_ ? static_cast<int>(cells_.size() / size_t(columns_)) : 0; }
  int ColumnCount() const { return columns_; }
  bool Contains(int row, int column) const {
    return row >= 0 && column >= 0 && row < RowCount() && column < columns_;
  }
  // Unchecked: Contains(row, column) must hold.
  TCellText Cell(int row, int column) const {
    return TextAt(cells_[size_t(row) * size_t(columns_) + size_t(column)]);
  }
  void Set(int row, int column, std::u16string_view text);

  // Longest text a cell keeps; a longer one is cut to this many units.
  static constexpr size_t kMaxCellLength = 0x3FFFFFFF;
  // Bits of a cell reference holding the byte offset of its text within its
  // block; the others number the block (block 0 holds the empty text).
  static constexpr unsigned kOffsetBits = 17;
  // Most blocks the references can name, besides block 0.
  static constexpr size_t kMaxBlocks = (size_t(1) << (32 - kOffsetBits)) - 1;
  // Lets the store take at most this many blocks (never more than
  // kMaxBlocks), so that running out of references can be tried without
  // gigabytes of text. Kept across Reset and copies.
  void SetBlockLimit(size_t blocks) { blockLimit_ = blocks < kMaxBlocks ? blocks : kMaxBlocks; }

 private:
  // A cell is (block number << kOffsetBits) | byte offset of its text's
  // first byte. The one or two 16-bit words in front of the text (read
  // bytewise: a narrow text need not be aligned) hold its length and form:
  // bit 14 of the word just in front marks 8-bit units; with bit 15 clear,
  // bits 0-13 are the length (below 0x4000), with bit 15 set they are its
  // high 14 bits and the word before holds the low 16. A wide text starts on
  // an even address. A block of the normal size is 2^kOffsetBits bytes, so
  // every offset in it fits; a text needing more than half of that gets a
  // block of its own, exactly its size, where it starts behind its length
  // words at offset 2 or 4. Every block therefore holds at least half a
  // normal block's bytes.
  TCellText TextAt(uint32_t cell) const;
  // Room for a text of this many bytes behind a prefix of prefixBytes; a
  // wide text's room starts on an even address. Returns the text's cell
  // reference and its address in *text.
  uint32_t Allocate(size_t prefixBytes, size_t bytes, bool wide, unsigned char** text);
  uint32_t Store(std::u16string_view text);
  // Stores 8-bit units, each the UTF-16 unit of the same value.
  uint32_t StoreNarrow(const unsigned char* units, size_t length);
  // Appends 8-bit units as a cell, shared with the cell above when equal.
  void AppendNarrow(const unsigned char* units, size_t length);
  // The cell one row above the next one appended; false in the first row.
  bool Above(uint32_t* cell) const;

  int columns_ = 0;
  std::vector<uint32_t> cells_;
  // The first byte of every block by block number: the shared empty text's
  // length word, then the blocks of blocks_ in order.
  std::vector<const unsigned char*> bases_;
  // Blocks of UTF-16 units, so that wide texts are proper char16_t objects;
  // narrow texts and the length words are written into them bytewise.
  std::vector<std::unique_ptr<char16_t[]>> blocks_;
  size_t blockLimit_ = kMaxBlocks;
  uint32_t current_ = 0;  // number of the block whose free end is in use; 0: none
  size_t used_ = 0;       // bytes of that block in use
};

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
  TCellTexts Cells;                     // rows x columns display texts
  TJsonDataArray RowNodes;              // node each row stands for
  TJsonDataRows CellNodes;              // flat view / listing only, else empty
  std::vector<std::string> ColumnKeys;  // flat view only; "" for Attribute
  bool FlatView = false;                // flat view or path/value listing
  bool Complete = false;                // every row has every column (flat only)
  // Path/value listing: the Value cell's node is the row node (CellNodes
  // stays empty; one node list per row would cost a million allocations).
  bool ValueCellIsRowNode = false;
  // Kind of the node a plain view shows (nkUnknown for the other views).
  int PlainKind = nkUnknown;

  void Clear();
  int RowCount() const { return Cells.RowCount(); }
  int ColumnCount() const { return static_cast<int>(Headers.size()); }

  // Bounds-checked access; empty outside the table.
  bool HasCell(int row, int column) const { return Cells.Contains(row, column); }
  TCellText Cell(int row, int column) const {
    return HasCell(row, column) ? Cells.Cell(row, column) : TCellText();
  }
  // The same text as a string of its own.
  std::u16string CellText(int row, int column) const { return Cell(row, column).ToString(); }
  TJsonData* RowNode(int row) const;
  TJsonData* CellNode(int row, int column) const;
  // The node a cell shows, in every view: the recorded cell node of a flat
  // view or the listing; in a plain view the member value (object), the
  // element or the element's member named by the header (array), or the
  // scalar itself. nullptr for a missing value and for the label columns.
  TJsonData* ShownNode(int row, int column) const;
  // The Attribute column of a keyed flat view and the listing's Path column:
  // a name or path, never a value.
  bool IsLabelColumn(int column) const;
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
