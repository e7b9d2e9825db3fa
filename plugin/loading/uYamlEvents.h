// Building the YAML structure tree from the parser library's event stream.
//
// Contract:
//  - One pass over the events; every node's span comes from its events' start
//    and end marks, turned into byte offsets of the parsed text through a
//    TLineIndex (a scalar's span covers its anchor/tag, quotes or block
//    indicators; a collection's runs from its start event to its end event).
//  - Nesting is handled with an explicit stack, never recursion, so input
//    nested 100,000 levels deep cannot exhaust the thread's stack; more than
//    kMaxYamlNesting nested collections fail with a clear error instead of
//    keeping the parser busy for minutes.
//  - Failures raise EStructureError (or the binding's EParserBinding) with a
//    message that names what failed; a half-built subtree is freed.
#pragma once

#include <string>

#include "uLineIndex.h"
#include "uParserBinding.h"
#include "uStructureIndex.h"
#include "uStructuredNode.h"

namespace corvane {

// Most collections a YAML node may be nested in (no real configuration file
// comes near it).
constexpr int kMaxYamlNesting = 10000;

// Builds the node that starts with `first` (already read) and every event of
// its subtree, read from reader. Raises "Unexpected YAML event" for an event
// that cannot start a node and "Cannot locate YAML node in source" when a
// start position lies outside the text.
TStructuredNodePtr BuildYamlNode(TYamlEventReader& reader, TYamlEvent& first, const TLineIndex& index);

// ParseYamlIndex always placing marks through their line and column, even in
// an all-ASCII text where the loader takes the character index as the byte
// offset: the reference that shortcut must agree with.
bool ParseYamlIndexThroughLines(const std::string& text, TStructureIndex& index, std::u16string& error);

}  // namespace corvane
