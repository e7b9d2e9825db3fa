// The patches of TOML structural edits, from the text's layout. See
// uEntryForms.h.
#include "uEntryForms.h"

#include <algorithm>
#include <map>

#include "uEditForms.h"
#include "uScalarWriting.h"
#include "uTomlText.h"

namespace corvane {

namespace {

constexpr size_t kNone = std::string::npos;
using TStatements = std::vector<TTomlStatement>;

bool IsKeyValue(const TTomlStatement& s) { return s.Kind == TTomlStatementKind::KeyValue; }

// Indexes of the statements whose path starts with path.
std::vector<size_t> StatementsUnder(const TStatements& s, const TTomlPath& path) {
  std::vector<size_t> found;
  for (size_t i = 0; i < s.size(); ++i)
    if (TomlPathStartsWith(s[i].Path, path)) found.push_back(i);
  return found;
}

// The key/value statement whose value holds path (inline), or npos.
size_t InlineHolder(const TStatements& s, const TTomlPath& path) {
  for (size_t i = 0; i < s.size(); ++i)
    if (IsKeyValue(s[i]) && s[i].Path.size() <= path.size() && TomlPathStartsWith(path, s[i].Path)) return i;
  return kNone;
}

// An inline array or table reached from a statement's value: where it
// opens and its items.
struct TInlineCollection {
  size_t Open = kNone;
  size_t Close = kNone;
  bool Table = false;
  std::vector<TTomlItem> Items;
};

// Follows steps from the value [begin, ...) down to the collection at the
// end of them; false when a step does not lead into one.
bool InlineAt(std::string_view b, size_t begin, const TTomlPath& steps, TInlineCollection& c) {
  size_t value = begin;
  for (size_t k = 0;; ++k) {
    c.Open = value;
    if (!ScanTomlItems(b, value, c.Items, c.Close)) return false;
    c.Table = b[value] == '{';
    if (k == steps.size()) return true;
    const TTomlStep& step = steps[k];
    size_t next = kNone;
    for (size_t i = 0; i < c.Items.size(); ++i) {
      const TTomlItem& item = c.Items[i];
      const bool hit = c.Table ? item.Key.size() == 1 && item.Key[0].Name == step.Key && step.Index < 0
                               : step.Index == static_cast<long long>(i);
      if (hit) next = i;
    }
    if (next == kNone) return false;
    value = c.Items[next].ValueBegin;
  }
}

// The collection holding entry (its last step) and the entry's index there.
bool InlineEntry(std::string_view b, const TStatements& s, const TTomlPath& entry, TInlineCollection& c, size_t& k) {
  const size_t holder = InlineHolder(s, entry);
  if (holder == kNone || s[holder].Path.size() >= entry.size()) return false;
  const TTomlPath steps(entry.begin() + std::ptrdiff_t(s[holder].Path.size()), entry.end() - 1);
  if (!InlineAt(b, s[holder].ValueBegin, steps, c)) return false;
  const TTomlStep& last = entry.back();
  for (k = 0; k < c.Items.size(); ++k) {
    const TTomlItem& item = c.Items[k];
    if (c.Table ? (item.Key.size() == 1 && item.Key[0].Name == last.Key && last.Index < 0)
                : last.Index == static_cast<long long>(k))
      return true;
  }
  return false;
}

std::vector<TFlowSpan> Spans(const TInlineCollection& c) {
  std::vector<TFlowSpan> spans;
  for (const TTomlItem& item : c.Items) spans.push_back({item.Begin, item.End});
  return spans;
}

// Patches removing whole statements: one per run of consecutive ones, from
// the first one's line to the end of the last one's.
void RemoveRuns(const TStatements& s, const std::vector<bool>& marked, TSourcePatches& out) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (!marked[i]) continue;
    size_t j = i;
    while (j + 1 < s.size() && marked[j + 1]) ++j;
    out.push_back({int64_t(s[i].LineStart), int64_t(s[j].LineEnd - s[i].LineStart), {}});
    i = j;
  }
}

// The start of the comment lines right above line `at` (no blank line
// between): a new section goes there, before the comments of the next.
size_t AboveComments(std::string_view b, size_t at) {
  for (;;) {
    if (at == 0) return 0;
    const size_t prev = LineStartOf(b, at - 1);
    size_t p = prev;
    while (p < at && (b[p] == ' ' || b[p] == '\t')) ++p;
    if (p >= at || b[p] != '#') return at;
    at = prev;
  }
}

// The break in front of text inserted at `at`: one when at is not at the
// start of a line.
std::string LeadAt(std::string_view b, size_t at) {
  return at > 0 && b[at - 1] != '\n' && b[at - 1] != '\r' ? std::string(TomlLineBreakOf(b)) : std::string();
}

// A new "key = value" line in the layout of `like` (its indentation and
// the spacing around its "="), ending with a line break unless it goes
// after the last line of a text without a final one (lead is that break).
std::string KeyValueLine(std::string_view b, const TTomlStatement* like, const std::string& keyText,
                         const TNewEntry& entry, const std::string& lead = {}) {
  std::string indent, separator = " = ", raw;
  if (like) {
    indent = std::string(b.substr(like->LineStart, like->Begin - like->LineStart));
    const size_t keyEnd = like->Key.back().End;
    separator = std::string(b.substr(keyEnd, like->ValueBegin - keyEnd));
    raw = std::string(b.substr(like->ValueBegin, like->ValueEnd - like->ValueBegin));
  }
  return lead + indent + keyText + separator + TomlEntryValueText(entry, raw, TomlLineBreakOf(b)) +
         (lead.empty() ? std::string(TomlLineBreakOf(b)) : std::string());
}

TTomlKeyStyle StyleOf(std::string_view b, const TTomlKeySegment& segment) {
  return TomlKeyStyleOf(b.substr(segment.Begin, segment.End - segment.Begin));
}

// ---- addition ----------------------------------------------------------------------------

TEntryPlan InlineAddition(std::string_view b, const TInlineCollection& c, const TTomlPath* after,
                          const TNewEntry& entry) {
  size_t k = c.Items.empty() ? kNone : c.Items.size() - 1;
  if (after && !after->empty()) {
    k = kNone;
    for (size_t i = 0; i < c.Items.size(); ++i) {
      const TTomlItem& item = c.Items[i];
      if (c.Table ? item.Key.size() == 1 && item.Key[0].Name == after->back().Key
                  : after->back().Index == static_cast<long long>(i))
        k = i;
    }
    if (k == kNone) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  }
  const TTomlItem* like = k == kNone ? nullptr : &c.Items[k];
  std::string text;
  std::string raw = like ? std::string(b.substr(like->ValueBegin, like->End - like->ValueBegin)) : std::string();
  if (c.Table) {
    const TTomlKeyStyle style = like && !like->Key.empty() ? StyleOf(b, like->Key[0]) : TTomlKeyStyle::Bare;
    std::string separator = " = ";
    if (like && !like->Key.empty())
      separator = std::string(b.substr(like->Key.back().End, like->ValueBegin - like->Key.back().End));
    text = WriteTomlKey(*entry.Key, style) + separator;
  }
  text += TomlEntryValueText(entry, raw, TomlLineBreakOf(b));
  TEntryPlan plan;
  if (!like) plan.Patches.push_back({int64_t(c.Open + 1), 0, c.Table ? " " + text + " " : text});
  else plan.Patches.push_back({int64_t(like->End), 0, FlowSeparator(b, Spans(c)) + text});
  return plan;
}

// The key/value statement a new member of table goes after: the last of
// the sibling's lines in the table's own section, else the section's last.
size_t SectionAnchor(const TStatements& s, int header, const TTomlPath* after) {
  size_t last = kNone, sibling = kNone;
  for (size_t i = 0; i < s.size(); ++i) {
    if (!IsKeyValue(s[i]) || s[i].Header != header) continue;
    last = i;
    if (after && TomlPathStartsWith(s[i].Path, *after)) sibling = i;
  }
  return sibling != kNone ? sibling : last;
}

// A table defined by dotted keys only: a new line with the same written
// prefix after the last of them.
TEntryPlan DottedAddition(std::string_view b, const TStatements& s, const TTomlPath& table, const TNewEntry& entry) {
  size_t like = kNone;
  for (size_t i = 0; i < s.size(); ++i) {
    const size_t headerLength = s[i].Path.size() - s[i].Key.size();
    if (IsKeyValue(s[i]) && s[i].Path.size() > table.size() && headerLength < table.size() &&
        TomlPathStartsWith(s[i].Path, table))
      like = i;
  }
  if (like == kNone) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  const TTomlStatement& d = s[like];
  const size_t segment = table.size() - (d.Path.size() - d.Key.size());
  const std::string prefix(b.substr(d.Key[0].Begin, d.Key[segment].Begin - d.Key[0].Begin));
  TEntryPlan plan;
  const std::string key = prefix + WriteTomlKey(*entry.Key, StyleOf(b, d.Key[segment]));
  plan.Patches.push_back({int64_t(d.LineEnd), 0, KeyValueLine(b, &d, key, entry, LeadAt(b, d.LineEnd))});
  return plan;
}

// A table named only by the headers of its subtables: a header of its own
// before the first of them.
TEntryPlan NewSectionAddition(std::string_view b, const TStatements& s, const TTomlPath& table,
                              const TNewEntry& entry) {
  for (const TTomlStep& step : table)
    if (step.Index >= 0) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  for (const TTomlStatement& g : s) {
    if (IsKeyValue(g) || g.Path.size() <= table.size() || !TomlPathStartsWith(g.Path, table)) continue;
    const std::string name(b.substr(g.Key[0].Begin, g.Key[table.size() - 1].End - g.Key[0].Begin));
    const std::string lb(TomlLineBreakOf(b));
    const size_t at = AboveComments(b, g.LineStart);
    TEntryPlan plan;
    plan.Patches.push_back(
        {int64_t(at), 0, "[" + name + "]" + lb + KeyValueLine(b, nullptr, WriteTomlKey(*entry.Key, TTomlKeyStyle::Bare), entry) + lb});
    return plan;
  }
  return RefusedPlan(i18n::kErrorEntryAddUnsafe);
}

// An empty table in a table, or an empty element of an array of tables: a
// section of its own after the last statement under its container, named
// by the container's keys (inside an array element that is the element's
// section range, where a header names the latest element).
TEntryPlan NewTableSection(std::string_view b, const TStatements& s, const TTomlPath& container, bool isArray,
                           const TNewEntry& entry) {
  std::string name;
  for (const TTomlStep& step : container)
    if (step.Index < 0) name += (name.empty() ? "" : ".") + WriteTomlKey(step.Key, TTomlKeyStyle::Bare);
  if (!isArray) name += (name.empty() ? "" : ".") + WriteTomlKey(*entry.Key, TTomlKeyStyle::Bare);
  if (name.empty()) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  const std::vector<size_t> under = StatementsUnder(s, container);
  const size_t at = under.empty() ? b.size() : s[under.back()].LineEnd;
  const std::string lb(TomlLineBreakOf(b));
  const std::string header = isArray ? "[[" + name + "]]" : "[" + name + "]";
  TEntryPlan plan;
  plan.Patches.push_back({int64_t(at), 0, LeadAt(b, at) + (at > 0 ? lb : std::string()) + header + lb});
  return plan;
}

TEntryPlan TableAddition(std::string_view b, const TStatements& s, const TTomlPath& table, const TTomlPath* after,
                         const TNewEntry& entry) {
  int header = -1;
  for (size_t i = 0; i < s.size(); ++i)
    if (!IsKeyValue(s[i]) && s[i].Path == table) header = int(i);
  if (header < 0 && !table.empty()) {
    TEntryPlan dotted = DottedAddition(b, s, table, entry);
    return dotted.Refused() ? NewSectionAddition(b, s, table, entry) : dotted;
  }
  const size_t anchor = SectionAnchor(s, header, after);
  TEntryPlan plan;
  if (anchor != kNone) {
    const TTomlStatement& a = s[anchor];
    const std::string key = WriteTomlKey(*entry.Key, StyleOf(b, a.Key[0]));
    plan.Patches.push_back({int64_t(a.LineEnd), 0, KeyValueLine(b, &a, key, entry, LeadAt(b, a.LineEnd))});
    return plan;
  }
  const std::string key = WriteTomlKey(*entry.Key, TTomlKeyStyle::Bare);
  const size_t at = header >= 0 ? s[size_t(header)].LineEnd : (s.empty() ? b.size() : AboveComments(b, s[0].LineStart));
  plan.Patches.push_back({int64_t(at), 0, KeyValueLine(b, nullptr, key, entry, LeadAt(b, at))});
  return plan;
}

// ---- copies --------------------------------------------------------------------------------

// The statements' text with the key segment at `depth` (counting the key
// steps of the path, header and dotted key alike) written as newKey.
std::string RenamedText(std::string_view b, const TStatements& s, size_t first, size_t last, size_t depth,
                        const std::string& newKey) {
  std::string text(b.substr(s[first].LineStart, s[last].LineEnd - s[first].LineStart));
  for (size_t i = last + 1; i-- > first;) {
    const TTomlStatement& st = s[i];
    size_t keysBefore = 0;  // key steps of the path before the written key
    const size_t writtenFrom = IsKeyValue(st) ? st.Path.size() - st.Key.size() : 0;
    for (size_t k = 0; k < writtenFrom; ++k) keysBefore += st.Path[k].Index < 0;
    if (depth < keysBefore || depth - keysBefore >= st.Key.size()) continue;
    const TTomlKeySegment& seg = st.Key[depth - keysBefore];
    text.replace(seg.Begin - s[first].LineStart, seg.End - seg.Begin, WriteTomlKey(newKey, StyleOf(b, seg)));
  }
  return text;
}

bool Contiguous(const std::vector<size_t>& idx) {
  for (size_t k = 1; k < idx.size(); ++k)
    if (idx[k] != idx[k - 1] + 1) return false;
  return !idx.empty();
}

}  // namespace

std::string TomlEntryValueText(const TNewEntry& entry, std::string_view neighbourRaw, std::string_view lineBreak) {
  if (!WritesAsString(*entry.Value)) return entry.Typed;
  TTomlForm form = TomlFormOf(neighbourRaw);
  const bool oneLine = entry.Typed.find_first_of("\r\n") == std::string::npos;
  if (form == TTomlForm::MultiLineBasicString && oneLine) form = TTomlForm::BasicString;
  if (form == TTomlForm::MultiLineLiteralString && oneLine) form = TTomlForm::LiteralString;
  if (!IsTomlStringForm(form)) form = TTomlForm::BasicString;
  return WriteTomlString(entry.Typed, form, lineBreak, false);
}

TEntryPlan TomlRemovalPlan(std::string_view b, const std::vector<TTomlPath>& entries) {
  TStatements s;
  if (!ScanTomlLayout(b, s)) return RefusedPlan(i18n::kErrorEntryUnsafe);
  std::vector<bool> marked(s.size(), false);
  std::map<size_t, std::pair<TInlineCollection, std::vector<size_t>>> inlineRemovals;  // by opening bracket
  TEntryPlan plan;
  for (const TTomlPath& entry : entries) {
    const std::vector<size_t> own = StatementsUnder(s, entry);
    if (own.empty()) {
      TInlineCollection c;
      size_t k = 0;
      if (!InlineEntry(b, s, entry, c, k)) return RefusedPlan(i18n::kErrorEntryUnsafe);
      auto& slot = inlineRemovals[c.Open];
      slot.first = c;
      slot.second.push_back(k);
      continue;
    }
    for (size_t i : own) marked[i] = true;
  }
  // A table or array with no header of its own goes with its last entry.
  for (const TTomlPath& entry : entries) {
    const TTomlPath parent(entry.begin(), entry.end() - 1);
    if (parent.empty() || StatementsUnder(s, entry).empty()) continue;
    bool stays = false;
    for (size_t i : StatementsUnder(s, parent)) stays = stays || !marked[i];
    if (!stays) return RefusedPlan(i18n::kErrorEntryLast);
  }
  RemoveRuns(s, marked, plan.Patches);
  for (auto& [open, removal] : inlineRemovals) {
    std::sort(removal.second.begin(), removal.second.end());
    FlowRemovals(b, Spans(removal.first), removal.second, plan.Patches);
  }
  std::sort(plan.Patches.begin(), plan.Patches.end(),
            [](const TSourcePatch& x, const TSourcePatch& y) { return x.Start < y.Start; });
  for (size_t k = 1; k < plan.Patches.size(); ++k)
    if (plan.Patches[k - 1].Start + plan.Patches[k - 1].Length > plan.Patches[k].Start)
      return RefusedPlan(i18n::kErrorEntryUnsafe);
  return plan;
}

TEntryPlan TomlAdditionPlan(std::string_view b, const TTomlPath& container, bool isArray, const TTomlPath* after,
                            const TNewEntry& entry) {
  TStatements s;
  if (!ScanTomlLayout(b, s)) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  const size_t holder = InlineHolder(s, container);
  if (holder != kNone) {
    TInlineCollection c;
    const TTomlPath steps(container.begin() + std::ptrdiff_t(s[holder].Path.size()), container.end());
    if (!InlineAt(b, s[holder].ValueBegin, steps, c) || c.Table == isArray) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
    return InlineAddition(b, c, after, entry);
  }
  if (NodeKind(entry.Value) == nkObject) return NewTableSection(b, s, container, isArray, entry);
  // An array of tables takes tables only.
  if (isArray) return RefusedPlan(i18n::kErrorEntryAddUnsafe);
  return TableAddition(b, s, container, after, entry);
}

TEntryPlan TomlCopyPlan(std::string_view b, const TTomlPath& entry, const std::string& newKey) {
  TStatements s;
  if (!ScanTomlLayout(b, s) || entry.empty()) return RefusedPlan(i18n::kErrorEntryCopyUnsafe);
  const std::vector<size_t> own = StatementsUnder(s, entry);
  TEntryPlan plan;
  if (own.empty()) {
    TInlineCollection c;
    size_t k = 0;
    if (!InlineEntry(b, s, entry, c, k)) return RefusedPlan(i18n::kErrorEntryCopyUnsafe);
    const TTomlItem& item = c.Items[k];
    std::string copy(b.substr(item.Begin, item.End - item.Begin));
    if (c.Table) copy.replace(0, item.Key[0].End - item.Begin, WriteTomlKey(newKey, StyleOf(b, item.Key[0])));
    plan.Patches.push_back({int64_t(item.End), 0, FlowSeparator(b, Spans(c)) + copy});
    return plan;
  }
  const bool element = entry.back().Index >= 0;
  size_t keyDepth = 0;  // the key steps before the entry's own
  for (size_t k = 0; k + 1 < entry.size(); ++k) keyDepth += entry[k].Index < 0;
  const bool keyLines = std::all_of(own.begin(), own.end(), [&](size_t i) { return IsKeyValue(s[i]); });
  if (Contiguous(own) && (keyLines || element)) {
    // Key lines (or one [[array]] element): right after the original.
    std::string copy = element ? std::string(b.substr(s[own.front()].LineStart,
                                                      s[own.back()].LineEnd - s[own.front()].LineStart))
                               : RenamedText(b, s, own.front(), own.back(), keyDepth, newKey);
    const size_t at = s[own.back()].LineEnd;
    plan.Patches.push_back({int64_t(at), 0, LeadAt(b, at) + copy});
    return plan;
  }
  // A table: its sections, renamed, after the last section of its parent.
  if (element || IsKeyValue(s[own.front()])) return RefusedPlan(i18n::kErrorEntryCopyUnsafe);
  std::string copy;
  for (size_t i = 0; i < own.size(); ++i) {
    size_t j = i;
    while (j + 1 < own.size() && own[j + 1] == own[j] + 1) ++j;
    if (IsKeyValue(s[own[i]])) return RefusedPlan(i18n::kErrorEntryCopyUnsafe);  // a run must start with a header
    copy += RenamedText(b, s, own[i], own[j], keyDepth, newKey);
    i = j;
  }
  const std::vector<size_t> parentOwn = StatementsUnder(s, TTomlPath(entry.begin(), entry.end() - 1));
  const size_t at = s[parentOwn.back()].LineEnd;
  const std::string lb(TomlLineBreakOf(b));
  plan.Patches.push_back({int64_t(at), 0, LeadAt(b, at) + lb + copy});
  return plan;
}

}  // namespace corvane
