// The structure tree: the syntax of every node of a parsed YAML or TOML
// document (kind, key, style, anchor, tag) with byte spans into exactly the
// bytes that were parsed. Editing uses it to find the bytes of a value or key.
//
// Shape (YAML): a stream node (Kind 0) holds one document node (Kind 1) per
// document; a document holds its content node, if any. A mapping value node
// carries its pair's key (Key, KeyStart/KeyEnd, KeyStyle, KeyNotScalar); the
// key's own node is not kept. TOML trees have the same shape without spans.
//
// Freeing a node frees its whole subtree without recursion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "uCompactText.h"
#include "uJsonModel.h"

namespace corvane {

enum TStructuredKind : int {
  skStream = 0,
  skDocument = 1,
  skMapping = 2,
  skSequence = 3,
  skScalar = 4,
  skAlias = 5,
};

class TStructuredNode {
 public:
  explicit TStructuredNode(int kind) : Kind(kind) {}
  virtual ~TStructuredNode();
  TStructuredNode(const TStructuredNode&) = delete;
  TStructuredNode& operator=(const TStructuredNode&) = delete;

  // Appends and takes ownership; returns the child.
  TStructuredNode* AddChild(std::unique_ptr<TStructuredNode> child);
  size_t ChildCount() const { return Children.size(); }
  TStructuredNode* ChildAt(size_t index) const { return Children[index].get(); }

  // A loaded file keeps its structure as flat records (uStructureIndex.h);
  // node trees are built from them when editing needs one, for a whole large
  // file too, so the node is still kept small: texts take 8 bytes each
  // (short ones stored inline), the two style codes (0..5) one byte each,
  // and the fields are grouped by size so the node carries no padding
  // (120 bytes on 64-bit systems).
  std::vector<std::unique_ptr<TStructuredNode>> Children;
  TCompactText Key;     // key text when this node is a mapping value
  TCompactText Value;   // scalar content / alias target / TOML raw value text
  TCompactText Anchor;
  TCompactText Tag;
  std::ptrdiff_t StartOffset = 0;
  std::ptrdiff_t EndOffset = 0;
  std::ptrdiff_t KeyStart = -1;
  std::ptrdiff_t KeyEnd = -1;
  std::ptrdiff_t Line = 0;    // 1-based, as the parser reports it for StartOffset
  std::ptrdiff_t Column = 0;  // 1-based, in characters
  int Kind;
  int8_t Style = 0;     // scalar style: 1 plain, 2 single, 3 double, 4 literal, 5 folded
  int8_t KeyStyle = 0;
  bool KeyNotScalar = false;
};

using TStructuredNodePtr = std::unique_ptr<TStructuredNode>;

// Raised inside structure building and conversion; what() is UTF-8. The
// loaders catch it (and EJsonError, EParserBinding) at their boundary.
class EStructureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses YAML text into a structure tree with byte spans into text. True with
// root set; false with root empty and the error text (parser library
// problems, syntax errors with line and column, "Cannot locate YAML node in
// source", nesting deeper than 10000 collections, ...). The stack is never used
// per nesting level.
bool ParseYamlStructure(const std::string& text, TStructuredNodePtr& root, std::u16string& error);
// ParseYamlStructure with the tree dropped at once: the check before a save.
bool ValidateYaml(const std::string& text, std::u16string& error);

// Converts a structure (sub)tree into a value tree owned by the caller.
// Raises EJsonError "Duplicate object member: \"name\"" for a mapping with a
// repeated key. Iterative: any depth is safe.
TJsonDataPtr StructureToValue(const TStructuredNode& node, bool isToml);
// The value of a whole parsed file: the one document's value when the stream
// holds exactly one document, else an array with one value per document
// (empty for a stream without documents). Raises like StructureToValue.
TJsonDataPtr StructureRootToValue(const TStructuredNode& root, bool isToml);

// The value-tree node a single scalar text becomes (the scalar typing rules):
// style is the YAML scalar style (1 plain); ignored for TOML.
TJsonDataPtr ScalarToValue(std::string_view text, int style, bool isToml);
// True when text is a 64-bit integer text of the scalar rules ("$", "0x", "x",
// "&", "%" prefixes, optional sign and leading blanks); value receives it.
bool ParseScalarInteger(std::string_view text, int64_t* value);

// Byte offset of a 1-based line and 1-based column (in code points) in text,
// counting a leading UTF-8 byte-order mark; CR, LF and CR LF each end one
// line; the end of the text is a position. -1 when there is no such position.
// This scans from the start of the text: use TLineIndex (uLineIndex.h) for
// many lookups in one text; both give identical results.
std::ptrdiff_t LineColumnToOffset(const std::string& text, std::ptrdiff_t line, std::ptrdiff_t column);

}  // namespace corvane
