// Test helpers that read the parser library the way the plug-in does: YAML
// events into records, and whole TOML trees into a list of leaves.
#pragma once

#include <string>
#include <vector>

#include "corvane_parser.h"

namespace corvane::test {

struct TEventRecord {
  int Type = 0;
  size_t Start = 0, End = 0, Line = 0, Column = 0, EndLine = 0, EndColumn = 0;
  bool HasValue = false;
  std::string Value;
  const char* AnchorPtr = nullptr;  // only compared against null
  std::string Anchor, Tag;
  int Style = 0;
};

struct TYamlRun {
  std::vector<TEventRecord> Events;
  bool Failed = false;
  std::string Error;
};

// Reads every accessor after each event until STREAM-END or a failure.
TYamlRun ReadYaml(const std::string& text);

// A byte span the library gave (Given false when it answered 0).
struct TTomlSpan {
  bool Given = false;
  size_t Start = 0, End = 0;
};

struct TTomlLeaf {
  std::string Path;  // keys and [indexes], for messages
  std::string Raw;
  TTomlSpan Span;
};

struct TTomlKey {
  std::string Path;  // of the member the key names
  std::string Key;
  TTomlSpan Span;
};

// Opens the text and collects every leaf and every table key in enumeration
// order; Error is set (and Leaves and Keys empty) when the text does not
// open.
struct TTomlRun {
  bool Opened = false;
  bool RootIsNull = false;
  std::string Error;
  std::vector<TTomlLeaf> Leaves;
  std::vector<TTomlKey> Keys;
};
TTomlRun ReadToml(const std::string& text);

// The key list of the table at `path` (dot-separated simple keys; "" = root).
std::vector<std::string> TomlKeys(const std::string& text, const std::string& path = "");

}  // namespace corvane::test
