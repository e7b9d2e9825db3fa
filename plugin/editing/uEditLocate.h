// Edit locating: turns a changed value or a renamed key of the value tree into
// one byte-span replacement of the loaded bytes, or refuses with a reason.
//
// Contract:
// - Inputs are the loaded bytes (not the patched text), the structure tree
//   built from exactly those bytes, and the value tree built from that
//   structure tree. Nothing here changes any of them.
// - YAML spans come from the structure tree's offsets; TOML spans from a
//   textual search that must find exactly one "key = raw value" line.
// - A string is always written double-quoted (QuoteDoubleString); a TOML value
//   that was written quoted stays quoted whatever its typed kind, so a TOML
//   string never turns into a number or boolean for other readers.
// - Every accepted edit is proven before it is handed out: the loaded bytes
//   with this one replacement are parsed again and must give the same
//   structure tree except for the one edited value or key. A replacement that
//   would land in the wrong table, inside another string, drop an anchor or
//   change any other node is refused.
// - Refusals return false with start -1 and a translated reason
//   ("error.unsafe_edit", "error.toml_ambiguous", "error.unsafe_key").
// - Nothing recurses on the input's nesting depth.
#pragma once

#include <cstdint>
#include <string>

#include "uJsonModel.h"
#include "uStructureIndex.h"
#include "uStructuredNode.h"

namespace corvane {

bool LocateValueEdit(const std::string& loadedBytes, const TStructuredNode* structureRoot,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newText, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error);

bool LocateKeyRename(const std::string& loadedBytes, const TStructuredNode* structureRoot,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newKey, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error);

// The same on the structure records a loaded document keeps (the bytes must
// be the ones the records were parsed from): no node tree is built, and the
// proof compares records with records. Results are identical.
bool LocateValueEdit(const std::string& loadedBytes, const TStructureIndex& structure,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newText, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error);

bool LocateKeyRename(const std::string& loadedBytes, const TStructureIndex& structure,
                     const TJsonData* valueRoot, const TJsonData* valueNode, bool isToml,
                     const std::u16string& newKey, int64_t& start, int64_t& length,
                     std::string& replacement, std::u16string& error);

// Walks the structure tree and the value tree side by side from (node, value)
// and returns the structure node of target, or nullptr. Document nodes are
// stepped through; the i-th child pairs with the i-th item or member.
const TStructuredNode* FindStructuredNode(const TStructuredNode* node, const TJsonData* value,
                                          const TJsonData* target);
// The same from a whole file's structure root and value root: a one-document
// file starts at its document, several documents at the stream.
const TStructuredNode* FindStructuredNodeFromRoot(const TStructuredNode* structureRoot,
                                                  const TJsonData* valueRoot,
                                                  const TJsonData* target);

// Offset of raw in the one line "key = raw" (key bare and first on its line,
// raw followed only by blanks, a comment or the line end). False unless
// exactly one such line exists.
bool FindTomlValueOffset(const std::string& bytes, const std::string& key, const std::string& raw,
                         int64_t& offset);

// A double-quoted scalar valid in YAML and as a TOML basic string or key.
std::string QuoteDoubleString(const std::u16string& text);
std::string QuoteDoubleStringUtf8(const std::string& text);

// "A"-"Z", "a"-"z", "0"-"9", "-", "_".
bool IsBareKeyChar(unsigned char c);

}  // namespace corvane
