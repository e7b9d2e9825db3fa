// The TOML builder: the parser library's tables and arrays walked into the
// same structure records YAML uses (stream -> document -> root mapping), with
// raw value texts as scalar values, the spans of leaf values and keys where
// the library gives them, and none for tables and arrays (-1).
//
// Contract:
//  - Keys of a table come in the library's order: leaf keys, then array keys,
//    then table keys, each group in order of appearance.
//  - The walk keeps its own stack: nested inline arrays or tables of any
//    depth cannot exhaust the thread's stack.
//  - Nothing is thrown; failures give false, no records, and the library's
//    text ("line %d: ...", with that line; "Invalid NUL byte in TOML
//    source", "Cannot load native corvane parser", ...).
#pragma once

#include <string>

#include "uParserBinding.h"
#include "uStructureIndex.h"

namespace corvane {

bool ParseTomlIndex(const std::string& text, TStructureIndex& index, TLoadError& error);
// ParseTomlIndex with the records dropped at once: the check before a save.
bool ValidateToml(const std::string& text, std::u16string& error);

}  // namespace corvane
