// The TOML structure tree: the parser library's tables and arrays walked into
// the same TStructuredNode shape YAML uses (stream -> document -> root
// mapping), with raw value texts as scalar values and no source positions
// (every table, array and leaf has StartOffset = EndOffset = -1).
//
// Contract:
//  - Keys of a table come in the library's order: leaf keys, then array keys,
//    then table keys, each group in order of appearance.
//  - The walk keeps its own stack: nested inline arrays or tables of any
//    depth cannot exhaust the thread's stack.
//  - ParseTomlStructure / ValidateToml never throw; failures give false and
//    the library's text ("line %d: ...", "Invalid NUL byte in TOML source",
//    "Cannot load native corvane parser", ...).
#pragma once

#include <string>

#include "uParserBinding.h"
#include "uStructuredNode.h"

namespace corvane {

bool ParseTomlStructure(const std::string& text, TStructuredNodePtr& root, std::u16string& error);
bool ValidateToml(const std::string& text, std::u16string& error);

// Stream -> document -> mapping of the root table (an empty mapping when the
// document has no root table).
TStructuredNodePtr BuildTomlStructure(const TTomlNative& native);
// A table of the library as a mapping node, with its whole subtree.
TStructuredNodePtr TomlTableToNode(const TTomlNative& native, void* table);
// An array of the library as a sequence node, with its whole subtree.
TStructuredNodePtr TomlArrayToNode(const TTomlNative& native, void* array);

}  // namespace corvane
