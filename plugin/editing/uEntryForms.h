// How structural edits are written into a file's bytes: the patches that
// remove, add or copy entries; YAML's from the structure records, TOML's
// from the text's layout (uTomlLayout.h). uEntryEdits.h locates the
// entries, calls these and proves every result by parsing it again.
//
// Contract:
//  - A plan is a list of sorted, disjoint patches of the bytes, or the
//    reason it was refused (no patches). Layout rules are in uEntryEdits.h.
//  - Pure functions of their arguments; nothing is raised.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "uEntryEdits.h"
#include "uI18nKeys.h"
#include "uStructureIndex.h"
#include "uTomlLayout.h"

namespace corvane {

struct TEntryPlan {
  TSourcePatches Patches;
  const TI18nKey* Refusal = nullptr;

  bool Refused() const { return Refusal != nullptr; }
};

TEntryPlan RefusedPlan(const TI18nKey& reason);

// ---- YAML (records of doc.Index) ------------------------------------------------------

// Removes the children `removed` (record indexes, in order) of the
// collection record `container`.
TEntryPlan YamlRemovalPlan(std::string_view bytes, const TStructureIndex& index, size_t container,
                           const std::vector<size_t>& removed);
// Adds entry to `container` after its child record `after` (npos: after the
// last child).
TEntryPlan YamlAdditionPlan(std::string_view bytes, const TStructureIndex& index, size_t container, size_t after,
                            const TNewEntry& entry);
// Copies child `entry` of `container` right after it, under newKey in a
// mapping.
TEntryPlan YamlCopyPlan(std::string_view bytes, const TStructureIndex& index, size_t container, size_t entry,
                        const std::string& newKey);

// ---- TOML (paths from the root table) ---------------------------------------------------

TEntryPlan TomlRemovalPlan(std::string_view bytes, const std::vector<TTomlPath>& entries);
// Adds entry to the table (or array, when isArray) at container, after the
// child at `after` (nullptr: at the end).
TEntryPlan TomlAdditionPlan(std::string_view bytes, const TTomlPath& container, bool isArray, const TTomlPath* after,
                            const TNewEntry& entry);
TEntryPlan TomlCopyPlan(std::string_view bytes, const TTomlPath& entry, const std::string& newKey);

// ---- shared --------------------------------------------------------------------------------

// The new value's text: a string in the style of its neighbour where that
// holds it, anything else as typed.
std::string YamlEntryValueText(const TNewEntry& entry, int neighbourStyle, bool flow);
std::string TomlEntryValueText(const TNewEntry& entry, std::string_view neighbourRaw, std::string_view lineBreak);

// Removals of the items (their spans) of one flow collection or inline TOML
// value at indexes `removed` (sorted): an item on lines of its own with
// those lines, any other with one separator; all of them leave "[]" or
// "{}" behind.
struct TFlowSpan {
  size_t Begin = 0;
  size_t End = 0;
};
void FlowRemovals(std::string_view bytes, const std::vector<TFlowSpan>& items, const std::vector<size_t>& removed, TSourcePatches& out);
// The separator neighbours use between items (", " when fewer than two).
std::string FlowSeparator(std::string_view bytes, const std::vector<TFlowSpan>& items);

// Line helpers.
size_t LineStartOf(std::string_view bytes, size_t p);
size_t NextLineStart(std::string_view bytes, size_t p);  // after p's line break
bool FirstOnLine(std::string_view bytes, size_t p);
std::string LineBreakAt(std::string_view bytes, size_t p);  // the break ending p's line, else the text's

}  // namespace corvane
