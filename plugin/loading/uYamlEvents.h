// The YAML builder: the parser library's event stream read into structure
// records (uStructureIndex.h) in one pass.
//
// Contract:
//  - Every node's span comes from its events' start and end marks, as byte
//    offsets of the parsed text (a scalar's span covers its anchor/tag,
//    quotes or block indicators; a collection's runs from its start event to
//    its end event).
//  - Nesting is handled with an explicit stack, never recursion, so input
//    nested 100,000 levels deep cannot exhaust the thread's stack; more than
//    kMaxYamlNesting nested collections fail with a clear error instead of
//    keeping the parser busy for minutes.
//  - Nothing is thrown: a failure gives false, no records, and the error's
//    text with the line and column the parser names.
#pragma once

#include <string>

#include "uParserBinding.h"
#include "uStructureIndex.h"

namespace corvane {

// Most collections a YAML node may be nested in (no real configuration file
// comes near it).
constexpr int kMaxYamlNesting = 10000;

// Parses YAML text into structure records. False with the error: the parser
// library's texts (syntax errors "... at line L, column C"), "YAML nesting
// deeper than N levels at line L, column C", "Cannot locate YAML node in
// source", "YAML stream start missing", ...
bool ParseYamlIndex(const std::string& text, TStructureIndex& index, TLoadError& error);

// ParseYamlIndex with the records dropped at once: the check before a save.
bool ValidateYaml(const std::string& text, std::u16string& error);

// Whether text loads as a whole YAML file, with the error the full load
// (ParseYamlIndex, then IndexRootToValue) would give, found from the event
// stream alone: no records, no value tree. Undecided (no error) for the rare
// texts it cannot settle cheaply (a UTF-16 text whose marks the byte
// offsets may not place, texts near the record pool's 4 GB, a container
// near the value tree's limit, out of memory); the caller then loads in full.
enum class TLoadCheck { Loads, Fails, Undecided };
TLoadCheck CheckYamlLoads(const std::string& text, TLoadError& error);

}  // namespace corvane
