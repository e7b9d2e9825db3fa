// The patches of YAML structural edits, from the structure records, and
// the helpers the TOML ones share. See uEntryForms.h.
#include "uEntryForms.h"

#include <algorithm>

#include "uEditForms.h"
#include "uScalarWriting.h"
#include "uTextChars.h"

namespace corvane {

namespace {

constexpr size_t kNone = std::string::npos;

// The end of p's line: its line break, or the text's end.
size_t LineBreakPos(std::string_view b, size_t p) {
  while (p < b.size() && !IsLineBreak(b[p])) ++p;
  return p;
}

// After a node's anchor and tag (and the blanks and line breaks after
// them): where its content starts.
size_t AfterProperties(std::string_view b, size_t p, size_t end) {
  while (p < end && (b[p] == '&' || b[p] == '!')) {
    while (p < end && !IsBlank(b[p]) && !IsLineBreak(b[p])) ++p;
    while (p < end && (IsBlank(b[p]) || IsLineBreak(b[p]))) ++p;
  }
  return p;
}

bool IsFlowCollection(std::string_view b, const TNodeView& v) {
  if (v.StartOffset < 0 || v.EndOffset <= v.StartOffset) return false;
  const size_t p = AfterProperties(b, size_t(v.StartOffset), size_t(v.EndOffset));
  return p < b.size() && (b[p] == '[' || b[p] == '{');
}

// The end of a block scalar's text: before the blank lines after it, which
// belong to it only when its header keeps them ("+").
size_t BlockScalarEnd(std::string_view b, const TNodeView& v) {
  size_t end = size_t(v.EndOffset);
  const size_t header = AfterProperties(b, size_t(v.StartOffset), end);
  const size_t headerEnd = LineBreakPos(b, header);
  if (b.substr(header, headerEnd - header).find('+') != std::string_view::npos) return end;
  while (end > headerEnd && (IsBlank(b[end - 1]) || IsLineBreak(b[end - 1]))) --end;
  return std::max(end, headerEnd);
}

// One entry of a collection as written: where it starts (its key, its
// "-", or a flow item's first byte) and where its last token ends.
struct TYamlEntry {
  size_t Start = kNone;
  size_t End = 0;
};

size_t ContentEnd(std::string_view b, const TStructureIndex& index, size_t record) {
  size_t end = 0;
  for (size_t r = record; r < index.Records[record].SubtreeEnd; ++r) {
    const TNodeView v = index.View(r, b);
    if (v.KeyStart >= 0 && v.KeyEnd > v.KeyStart) end = std::max(end, size_t(v.KeyEnd));
    if (v.StartOffset < 0 || v.EndOffset <= v.StartOffset) continue;
    if (v.Kind == skScalar) end = std::max(end, v.Style >= 4 ? BlockScalarEnd(b, v) : size_t(v.EndOffset));
    else if (v.Kind == skAlias || IsFlowCollection(b, v)) end = std::max(end, size_t(v.EndOffset));
  }
  return end;
}

// The "-" of a block sequence item: before its start, past blanks and line
// breaks only.
size_t DashOf(std::string_view b, size_t start) {
  size_t p = start;
  while (p > 0 && (IsBlank(b[p - 1]) || IsLineBreak(b[p - 1]))) --p;
  if (p == 0 || b[p - 1] != '-') return kNone;
  return p - 1;
}

bool PlaceEntry(std::string_view b, const TStructureIndex& index, size_t container, size_t child, bool flow,
                TYamlEntry& e) {
  const TNodeView v = index.View(child, b);
  if (index.Records[container].Kind == skMapping) {
    if (v.KeyStart < 0 || v.KeyEnd <= v.KeyStart || v.KeyNotScalar) return false;
    size_t before = size_t(v.KeyStart);
    while (before > 0 && IsBlank(b[before - 1])) --before;
    if (before > 0 && b[before - 1] == '?') return false;  // an explicit key
    e.Start = size_t(v.KeyStart);
  } else {
    if (v.StartOffset < 0) return false;
    e.Start = flow ? size_t(v.StartOffset) : DashOf(b, size_t(v.StartOffset));
    if (e.Start == kNone) return false;
  }
  e.End = std::max(ContentEnd(b, index, child), e.Start + 1);
  // A member without a value ends with its ":".
  if (v.KeyEnd >= 0 && e.End == size_t(v.KeyEnd)) {
    size_t colon = e.End;
    while (colon < b.size() && IsBlank(b[colon])) ++colon;
    if (colon < b.size() && b[colon] == ':') e.End = colon + 1;
  }
  return e.End <= b.size();
}

// The entry's place; an entry that cannot be placed keeps Start npos.
bool EntryOf(std::string_view b, const TStructureIndex& index, size_t container, size_t child, bool flow,
             TYamlEntry& e) {
  if (PlaceEntry(b, index, container, child, flow, e)) return true;
  e = TYamlEntry();
  return false;
}

struct TCollection {
  bool Mapping = false;
  bool Flow = false;
  std::vector<size_t> Children;
  std::vector<TYamlEntry> Entries;
};

bool CollectionOf(std::string_view b, const TStructureIndex& index, size_t container, TCollection& c) {
  const TNodeView v = index.View(container, b);
  c.Mapping = v.Kind == skMapping;
  c.Flow = IsFlowCollection(b, v);
  for (size_t k = container + 1; k < index.Records[container].SubtreeEnd; k = index.Records[k].SubtreeEnd) {
    c.Children.push_back(k);
    TYamlEntry e;
    // A block entry that cannot be placed (an explicit "? " key) only
    // matters to changes that touch it; a flow item's neighbours all do.
    if (!EntryOf(b, index, container, k, c.Flow, e) && c.Flow) return false;
    c.Entries.push_back(e);
  }
  return true;
}

bool Placed(const TCollection& c, size_t k) { return k < c.Entries.size() && c.Entries[k].Start != kNone; }

std::vector<TFlowSpan> FlowSpans(const TCollection& c) {
  std::vector<TFlowSpan> spans;
  for (const TYamlEntry& e : c.Entries) spans.push_back({e.Start, e.End});
  return spans;
}

// The removal of block entry k: its lines; an entry after "- " (or "--- ")
// on its line leaves that indicator alone on the line, so that the next
// entry keeps its own line.
void BlockRemoval(std::string_view b, const TYamlEntry& e, TSourcePatches& out) {
  if (FirstOnLine(b, e.Start)) {
    const size_t from = LineStartOf(b, e.Start);
    out.push_back({int64_t(from), int64_t(NextLineStart(b, e.End - 1) - from), {}});
    return;
  }
  size_t from = e.Start;
  while (from > 0 && IsBlank(b[from - 1])) --from;
  out.push_back({int64_t(from), int64_t(LineBreakPos(b, e.End - 1) - from), {}});
}

// How the neighbour separates its key from its value on one line (": "
// when it does not, or holds more than a colon and blanks).
std::string KeySeparator(std::string_view b, const TNodeView& neighbour) {
  if (neighbour.KeyEnd < 0 || neighbour.StartOffset <= neighbour.KeyEnd) return ": ";
  const std::string_view gap = b.substr(size_t(neighbour.KeyEnd), size_t(neighbour.StartOffset - neighbour.KeyEnd));
  if (gap.empty() || gap[0] != ':' || !std::all_of(gap.begin() + 1, gap.end(), IsBlank) || gap.size() == 1)
    return ": ";
  return std::string(gap);
}

// The "- " of a neighbour item as written ("- " when it is not one line).
std::string DashText(std::string_view b, const TYamlEntry& e, const TNodeView& item) {
  if (item.StartOffset < 0 || size_t(item.StartOffset) <= e.Start) return "- ";
  const std::string_view gap = b.substr(e.Start, size_t(item.StartOffset) - e.Start);
  if (gap.size() < 2 || !std::all_of(gap.begin() + 1, gap.end(), IsBlank)) return "- ";
  return std::string(gap);
}

// The entry's text: "key: value" or the value (of a flow item), or the
// block item's "- value".
std::string EntryText(std::string_view b, const TStructureIndex& index, const TCollection& c, size_t neighbour,
                      const TNewEntry& entry) {
  const TNodeView n = index.View(c.Children[neighbour], b);
  const bool stringNeighbour = n.Kind == skScalar && n.Style >= 1 && n.Style <= 3;
  const std::string value = YamlEntryValueText(entry, stringNeighbour ? n.Style : ysPlain, c.Flow);
  if (!c.Mapping) {
    if (c.Flow) return value;
    return value.empty() ? std::string("-") : DashText(b, c.Entries[neighbour], n) + value;
  }
  const int keyStyle = n.KeyStyle >= 1 && n.KeyStyle <= 3 ? n.KeyStyle : ysPlain;
  const std::string key = WriteYamlString(*entry.Key, keyStyle, {c.Flow, true}, true);
  if (value.empty()) return key + ":";
  return key + (c.Flow ? std::string(": ") : KeySeparator(b, n)) + value;
}

// The indentation of a new line beside entry e: the blanks before it, or as
// many blanks as there are bytes before it on its line.
std::string IndentOf(std::string_view b, const TYamlEntry& e) {
  const size_t line = LineStartOf(b, e.Start);
  if (FirstOnLine(b, e.Start)) return std::string(b.substr(line, e.Start - line));
  return std::string(e.Start - line, ' ');
}

// Where a new line goes after entry e, and the break it needs in front
// (the entry ends the text without one).
size_t LineAfter(std::string_view b, const TYamlEntry& e, std::string& lead) {
  const size_t at = NextLineStart(b, e.End - 1);
  if (at == LineBreakPos(b, e.End - 1)) lead = LineBreakAt(b, e.End - 1);
  return at;
}

}  // namespace

// ---- shared helpers -----------------------------------------------------------------------

TEntryPlan RefusedPlan(const TI18nKey& reason) {
  TEntryPlan plan;
  plan.Refusal = &reason;
  return plan;
}

size_t LineStartOf(std::string_view b, size_t p) {
  while (p > 0 && !IsLineBreak(b[p - 1])) --p;
  return p;
}

size_t NextLineStart(std::string_view b, size_t p) {
  p = LineBreakPos(b, p);
  if (p < b.size() && b[p] == '\r') ++p;
  if (p < b.size() && b[p] == '\n') ++p;
  return p;
}

bool FirstOnLine(std::string_view b, size_t p) {
  for (size_t q = LineStartOf(b, p); q < p; ++q)
    if (!IsBlank(b[q])) return false;
  return true;
}

std::string LineBreakAt(std::string_view b, size_t p) {
  const size_t at = LineBreakPos(b, p);
  if (at < b.size()) return b[at] == '\r' && at + 1 < b.size() && b[at + 1] == '\n' ? "\r\n" : std::string(1, b[at]);
  return std::string(TomlLineBreakOf(b));
}

// True when a flow item stands on lines of its own: first on its line, and
// after it on its last line only blanks, one "," and a comment.
bool ItemOwnsLines(std::string_view b, const TFlowSpan& item) {
  if (!FirstOnLine(b, item.Begin)) return false;
  size_t p = item.End;
  while (p < b.size() && IsBlank(b[p])) ++p;
  if (p < b.size() && b[p] == ',') ++p;
  while (p < b.size() && IsBlank(b[p])) ++p;
  return p == b.size() || IsLineBreak(b[p]) || b[p] == '#';
}

void FlowRemovals(std::string_view b, const std::vector<TFlowSpan>& items, const std::vector<size_t>& removed,
                  TSourcePatches& out) {
  if (removed.empty()) return;
  if (removed.size() == items.size()) {
    // A trailing "," would be left alone in the brackets.
    size_t end = items.back().End;
    while (end < b.size() && IsBlank(b[end])) ++end;
    end = end < b.size() && b[end] == ',' ? end + 1 : items.back().End;
    out.push_back({int64_t(items.front().Begin), int64_t(end - items.front().Begin), {}});
    return;
  }
  size_t lastKept = 0;
  for (size_t k = 0; k < items.size(); ++k)
    if (!std::binary_search(removed.begin(), removed.end(), k)) lastKept = k;
  for (size_t k : removed) {
    if (ItemOwnsLines(b, items[k])) {
      // Its lines go, its separator and comment with them; a "," left after
      // the item before it is one a flow collection takes.
      const size_t from = LineStartOf(b, items[k].Begin), to = NextLineStart(b, items[k].End);
      out.push_back({int64_t(from), int64_t(to - from), {}});
    } else if (k < lastKept) {
      // Up to the next item; after the last kept one, from the item before.
      out.push_back({int64_t(items[k].Begin), int64_t(items[k + 1].Begin - items[k].Begin), {}});
    } else {
      out.push_back({int64_t(items[k - 1].End), int64_t(items[k].End - items[k - 1].End), {}});
    }
  }
}

std::string FlowSeparator(std::string_view b, const std::vector<TFlowSpan>& items) {
  if (items.size() < 2 || items[1].Begin < items[0].End) return ", ";
  const std::string_view gap = b.substr(items[0].End, items[1].Begin - items[0].End);
  return gap.find('#') == std::string_view::npos && gap.find(',') != std::string_view::npos ? std::string(gap) : ", ";
}

std::string YamlEntryValueText(const TNewEntry& entry, int neighbourStyle, bool flow) {
  if (!WritesAsString(*entry.Value)) return entry.Typed;
  return WriteYamlString(entry.Typed, neighbourStyle, {flow, false}, true);
}

// ---- YAML plans ---------------------------------------------------------------------------

TEntryPlan YamlRemovalPlan(std::string_view b, const TStructureIndex& index, size_t container,
                           const std::vector<size_t>& removed) {
  TCollection c;
  if (!CollectionOf(b, index, container, c)) return RefusedPlan(i18n::kErrorEntryUnsafe);
  std::vector<size_t> at;  // indexes of the removed children
  for (size_t r : removed) {
    const auto it = std::find(c.Children.begin(), c.Children.end(), r);
    if (it == c.Children.end()) return RefusedPlan(i18n::kErrorEntryUnsafe);
    at.push_back(size_t(it - c.Children.begin()));
  }
  std::sort(at.begin(), at.end());
  for (size_t k : at)
    if (!Placed(c, k)) return RefusedPlan(i18n::kErrorEntryUnsafe);
  if (at.size() == c.Children.size() && !Placed(c, 0)) return RefusedPlan(i18n::kErrorEntryUnsafe);
  TEntryPlan plan;
  if (c.Flow) {
    FlowRemovals(b, FlowSpans(c), at, plan.Patches);
  } else if (at.size() == c.Children.size()) {
    // Emptied: what stays must still be a mapping or sequence.
    const size_t from = c.Entries.front().Start, to = c.Entries.back().End;
    plan.Patches.push_back({int64_t(from), int64_t(to - from), c.Mapping ? "{}" : "[]"});
  } else {
    for (size_t k : at) BlockRemoval(b, c.Entries[k], plan.Patches);
  }
  return plan;
}

TEntryPlan YamlAdditionPlan(std::string_view b, const TStructureIndex& index, size_t container, size_t after,
                            const TNewEntry& entry) {
  TCollection c;
  if (!CollectionOf(b, index, container, c)) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  size_t k = c.Children.empty() ? kNone : c.Children.size() - 1;
  if (after != kNone) {
    const auto it = std::find(c.Children.begin(), c.Children.end(), after);
    if (it == c.Children.end()) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
    k = size_t(it - c.Children.begin());
  }
  TEntryPlan plan;
  if (k == kNone) {
    // Only a flow collection can be empty: the entry goes inside.
    const TNodeView v = index.View(container, b);
    if (!c.Flow) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
    const size_t open = AfterProperties(b, size_t(v.StartOffset), size_t(v.EndOffset));
    std::string value = YamlEntryValueText(entry, ysPlain, true);
    std::string text = c.Mapping ? WriteYamlString(*entry.Key, ysPlain, {true, true}, true) + ": " + value : value;
    plan.Patches.push_back({int64_t(open + 1), 0, std::move(text)});
    return plan;
  }
  if (!Placed(c, k)) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  std::string text = EntryText(b, index, c, k, entry);
  if (c.Flow) {
    plan.Patches.push_back({int64_t(c.Entries[k].End), 0, FlowSeparator(b, FlowSpans(c)) + text});
    return plan;
  }
  std::string lead;
  const size_t at = LineAfter(b, c.Entries[k], lead);
  // At the end of a text without a final line break the new line has none.
  const std::string end = lead.empty() ? LineBreakAt(b, c.Entries[k].End - 1) : std::string();
  plan.Patches.push_back({int64_t(at), 0, lead + IndentOf(b, c.Entries[k]) + text + end});
  return plan;
}

TEntryPlan YamlCopyPlan(std::string_view b, const TStructureIndex& index, size_t container, size_t entry,
                        const std::string& newKey) {
  TCollection c;
  if (!CollectionOf(b, index, container, c)) return RefusedPlan(i18n::kErrorEntryCopyUnsafe);
  const size_t k = size_t(std::find(c.Children.begin(), c.Children.end(), entry) - c.Children.begin());
  if (!Placed(c, k)) return RefusedPlan(i18n::kErrorEntryCopyUnsafe);
  const TYamlEntry& e = c.Entries[k];
  const TNodeView v = index.View(entry, b);
  const size_t from = c.Flow ? e.Start : LineStartOf(b, e.Start);
  std::string lead;
  const size_t to = c.Flow ? e.End : LineAfter(b, e, lead);
  std::string copy(b.substr(from, to - from));
  if (!c.Flow && !FirstOnLine(b, e.Start)) copy.replace(0, e.Start - from, IndentOf(b, e));
  if (c.Mapping) {
    const std::string key = WriteYamlString(newKey, v.KeyStyle >= 1 && v.KeyStyle <= 3 ? v.KeyStyle : ysPlain,
                                            {c.Flow, true}, true);
    copy.replace(size_t(v.KeyStart) - from, size_t(v.KeyEnd - v.KeyStart), key);
  }
  TEntryPlan plan;
  plan.Patches.push_back({int64_t(to), 0, c.Flow ? FlowSeparator(b, FlowSpans(c)) + copy : lead + copy});
  return plan;
}

}  // namespace corvane
