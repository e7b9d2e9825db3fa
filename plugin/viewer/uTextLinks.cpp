// Grid <-> text pane links. See uTextLinks.h for the contract.
#include "uTextLinks.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "uCellEdit.h"
#include "uI18n.h"
#include "uNodeRecords.h"
#include "uUnicode.h"

namespace corvane {

namespace {

// ---- loaded bytes and the shown text ------------------------------------------

// Where loaded offset y is in the shown text: past every patch replaced
// before it; inside a patch's replaced bytes, at its replacement's start or,
// for the end of a span, its end.
int64_t ShownOffset(const TSourcePatches& patches, int64_t y, bool spanEnd) {
  int64_t delta = 0;
  for (const TSourcePatch& p : patches) {
    if (p.Start >= y) break;
    const int64_t replaced = static_cast<int64_t>(p.Replacement.size());
    if (p.Start + p.Length > y) return p.Start + delta + (spanEnd ? replaced : 0);
    delta += replaced - p.Length;
  }
  return y + delta;
}

// The loaded offset of shown offset x: inside a replacement, the start (or,
// for the end of a selection, the end) of the bytes it replaced.
int64_t LoadedOffset(const TSourcePatches& patches, int64_t x, bool spanEnd) {
  int64_t delta = 0;
  for (const TSourcePatch& p : patches) {
    const int64_t shownStart = p.Start + delta;
    const int64_t replaced = static_cast<int64_t>(p.Replacement.size());
    if (x <= shownStart) break;
    if (x < shownStart + replaced) return spanEnd ? p.Start + p.Length : p.Start;
    delta += replaced - p.Length;
  }
  return x - delta;
}

// ---- spans of records -------------------------------------------------------------

bool IsLeaf(const TStructureRecord& r) { return r.Kind == skScalar || r.Kind == skAlias; }

// A scalar's span may be empty (a value left out); a container's is not,
// and an empty one is a mark the parser gave instead (the stream's start, a
// TOML document).
TByteSpan ValueSpan(const TStructureRecord& r) {
  if (!IsLeaf(r) && r.EndOffset <= r.StartOffset) return {};
  return {r.StartOffset, r.EndOffset};
}
TByteSpan KeySpan(const TStructureIndex& index, size_t record) {
  return {index.Records[record].KeyStart, index.KeyEnd(record)};
}

// A record's own span, or the bytes its descendants' spans cover.
TByteSpan RecordSpan(const TStructureIndex& index, size_t record) {
  const TByteSpan own = ValueSpan(index.Records[record]);
  if (own.Valid()) return own;
  TByteSpan covered;
  for (size_t i = record + 1; i < index.Records[record].SubtreeEnd; ++i) {
    for (const TByteSpan span : {ValueSpan(index.Records[i]), KeySpan(index, i)}) {
      if (!span.Valid()) continue;
      covered.Start = covered.Valid() ? std::min(covered.Start, span.Start) : span.Start;
      covered.End = std::max(covered.End, span.End);
    }
  }
  return covered;
}

// ---- the node under a selection -------------------------------------------------

// One pass over the records, pre-order, skipping every subtree whose span
// misses the selection: the innermost scalar or key holding it, or else the
// chain of records down to the innermost one holding all it touches.
class TSelectionScan {
 public:
  TSelectionScan(const TStructureIndex& index, TByteSpan selection) : index_(index), sel_(selection) {}

  void Run() {
    const size_t count = index_.Records.size();
    for (size_t i = 0; i < count;) {
      while (!stack_.empty() && index_.Records[stack_.back()].SubtreeEnd <= i) stack_.pop_back();
      i = Visit(i);
    }
  }

  // Records from the stream down to the node found; empty for none.
  const std::vector<size_t>& Path() const { return hit_.empty() ? touched_ : hit_; }
  bool OnKey() const { return !hit_.empty() && hitKey_; }

 private:
  bool Holds(TByteSpan s) const { return s.Valid() && s.Start <= sel_.Start && sel_.End <= s.End; }
  bool Overlaps(TByteSpan s) const { return s.Valid() && sel_.Start < s.End && sel_.End > s.Start; }
  bool Misses(TByteSpan s) const { return s.Valid() && (s.End < sel_.Start || s.Start > sel_.End); }

  std::vector<size_t> PathTo(size_t i) const {
    std::vector<size_t> path = stack_;
    path.push_back(i);
    return path;
  }

  // Narrows the touched chain to what it shares with the path to i.
  void Touch(size_t i) {
    const std::vector<size_t> path = PathTo(i);
    if (touched_.empty()) {
      touched_ = path;
      return;
    }
    const auto differ = std::mismatch(touched_.begin(), touched_.end(), path.begin(), path.end());
    touched_.erase(differ.first, touched_.end());
  }

  size_t Visit(size_t i) {
    const TStructureRecord& r = index_.Records[i];
    const bool leaf = IsLeaf(r);
    const TByteSpan value = ValueSpan(r), key = KeySpan(index_, i);
    if (Holds(key) || (leaf && Holds(value))) {
      hit_ = PathTo(i);
      hitKey_ = Holds(key);
    } else if (Overlaps(key) || (leaf && Overlaps(value))) {
      Touch(i);
    }
    if (leaf || Misses(value)) return r.SubtreeEnd;
    stack_.push_back(i);
    return i + 1;
  }

  const TStructureIndex& index_;
  const TByteSpan sel_;
  std::vector<size_t> stack_;  // containers open at the record visited
  std::vector<size_t> hit_;
  bool hitKey_ = false;
  std::vector<size_t> touched_;
};

// ---- the cells of the grid ---------------------------------------------------------

// The Attribute column (plain or flat view of an object) and the Path column
// of the Path/Value listing show keys.
bool IsKeyColumn(const TTableModel& table, int column) {
  if (column != 0) return false;
  return table.ValueCellIsRowNode || table.Header(0) == tr(i18n::kGridAttribute);
}

// Table row shown at a display position, or -1.
int TableRowAt(const TTableModel& table, const TIntegerArray& visibleRows, int displayRow) {
  if (displayRow < 0 || static_cast<size_t>(displayRow) >= visibleRows.size()) return -1;
  const int row = visibleRows[static_cast<size_t>(displayRow)];
  return (row >= 0 && row < table.RowCount()) ? row : -1;
}

}  // namespace

TLinkTarget CellLinkTarget(const TViewerCore& core, int position, int column) {
  const int row = core.TableRowAt(position);
  TJsonData* rowNode = core.Table.RowNode(row);
  if (!rowNode || column < 0 || column >= core.Table.ColumnCount()) return {};
  if (IsKeyColumn(core.Table, column)) return {rowNode, true};
  TJsonData* node = TableCellNode(core, row, column);
  return {node ? node : rowNode, false};
}

TByteSpan TargetSpanInText(const TLoadedDocument& doc, const TSourcePatches& patches, TLinkTarget target) {
  size_t record = kNoRecord, parent = kNoRecord;
  if (!FindNodeRecord(doc, target.Node, &record, &parent)) return {};
  const TByteSpan key = KeySpan(doc.Index, record);
  const TByteSpan loaded = target.Key && key.Valid() ? key : RecordSpan(doc.Index, record);
  if (!loaded.Valid()) return {};
  return {ShownOffset(patches, loaded.Start, false), ShownOffset(patches, loaded.End, true)};
}

TLinkTarget TargetAtSelection(const TLoadedDocument& doc, const TSourcePatches& patches, TByteSpan selection) {
  if (doc.Index.Empty() || !selection.Valid()) return {};
  TSelectionScan scan(doc.Index,
                      {LoadedOffset(patches, selection.Start, false), LoadedOffset(patches, selection.End, true)});
  scan.Run();
  if (scan.Path().empty()) return {};
  return {NodeOfRecordPath(doc, scan.Path()), scan.OnKey()};
}

TGridCellPos FindTargetInGrid(const TViewerCore& core, TLinkTarget target) {
  // Rank of each node that may show the target: 0 the target, 1 its
  // parent, and so on up.
  std::unordered_map<const TJsonData*, size_t> rank;
  for (const TJsonData* node = target.Node; node; node = node->Parent()) rank.emplace(node, rank.size());
  TGridCellPos best;
  size_t bestScore = SIZE_MAX;
  for (int position = 0; position < core.VisibleRowCount(); ++position) {
    if (!rank.count(core.Table.RowNode(core.TableRowAt(position)))) continue;
    for (int column = 0; column < core.ColumnCount(); ++column) {
      const TLinkTarget cell = CellLinkTarget(core, position, column);
      const auto found = rank.find(cell.Node);
      if (found == rank.end()) continue;
      // The target's own side first; an ancestor by its value.
      const size_t score = 2 * found->second + (cell.Key != (found->second == 0 && target.Key) ? 1 : 0);
      if (score >= bestScore) continue;
      bestScore = score;
      best = {position, column};
      if (score == 0) return best;
    }
  }
  return best;
}

std::u16string CellLinkText(const TViewerCore& core, int position, int column) {
  return std::u16string(core.DisplayText(position, column).substr(0, kLinkCellTextLimit));
}

int64_t FindCellInText(std::string_view text, std::u16string_view cellText) {
  if (cellText.empty() || cellText == u"[Object]" || cellText == u"[Array]") return -1;
  const size_t found = text.find(Utf16ToUtf8(cellText));
  return found == std::string_view::npos ? -1 : static_cast<int64_t>(found);
}

TGridCellPos FindSelectionInGrid(const TTableModel& table, const TIntegerArray& visibleRows,
                                 std::u16string_view selection) {
  if (selection.empty()) return {};
  const int rows = static_cast<int>(visibleRows.size());
  std::u16string scratch;
  for (int displayRow = 0; displayRow < rows; ++displayRow) {
    const int row = TableRowAt(table, visibleRows, displayRow);
    if (row < 0) continue;
    for (int column = 0; column < table.ColumnCount(); ++column) {
      const std::u16string_view cell = table.Cell(row, column).View(&scratch).substr(0, kLinkCellTextLimit);
      if (cell.empty()) continue;
      if (cell.find(selection) != std::u16string_view::npos ||
          selection.find(cell) != std::u16string_view::npos) {
        return {displayRow, column};
      }
    }
  }
  return {};
}

}  // namespace corvane
