// An independent way to the structure of a document and to edit locating,
// for the tests and fuzzers to hold the product's structure records against.
// Everything here follows the plain algorithms, with no shortcut the product
// takes: YAML events are read one by one into a tree of node objects, with
// each position found by a scan from the start of the text; TOML tables and
// arrays are walked recursively (the parser library refuses nesting deeper
// than 512 levels, so recursion is bounded); values come from a recursive
// conversion; edits are located by searching the tree beside the value tree
// and proven on a freshly parsed tree.
//
// Shared with the product on purpose: the parser binding (the same events
// and tables), the scalar typing rules (uScalarTyping), and the rules that
// write an edit once its node is found and say whether the reparsed node
// reads back as typed (uEditForms), each tested on its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "uEditLocate.h"
#include "uFileLoading.h"
#include "uJsonModel.h"
#include "uStructureIndex.h"

namespace corvane::test {

// One node of a structure tree: the fields of a structure record, with its
// children as objects of their own. Freeing a node frees its subtree without
// recursion.
struct TStructuredNode {
  explicit TStructuredNode(int kind) : Kind(kind) {}
  ~TStructuredNode();
  TStructuredNode(const TStructuredNode&) = delete;
  TStructuredNode& operator=(const TStructuredNode&) = delete;

  TStructuredNode* AddChild(std::unique_ptr<TStructuredNode> child);
  size_t ChildCount() const { return Children.size(); }
  TStructuredNode* ChildAt(size_t index) const { return Children[index].get(); }

  std::vector<std::unique_ptr<TStructuredNode>> Children;
  int Kind;
  std::string Key, Value, Anchor, Tag;
  int Style = 0;
  int KeyStyle = 0;
  bool KeyNotScalar = false;
  std::ptrdiff_t StartOffset = 0;
  std::ptrdiff_t EndOffset = 0;
  std::ptrdiff_t KeyStart = -1;
  std::ptrdiff_t KeyEnd = -1;
};
using TStructuredNodePtr = std::unique_ptr<TStructuredNode>;

// Byte offset of a 1-based line and 1-based column (in code points) in text,
// counting a leading UTF-8 byte-order mark; CR, LF and CR LF each end one
// line; the end of the text is a position. -1 when there is no such position.
std::ptrdiff_t LineColumnToOffset(std::string_view text, std::ptrdiff_t line, std::ptrdiff_t column);

// Parses text into a tree of the records' shape. False with the error text.
bool ParseTree(const std::string& text, TDocumentLanguage language, TStructuredNodePtr& root,
               std::u16string& error);

// The value of a whole parsed file, by the same rules as IndexRootToValue.
TJsonDataPtr TreeRootToValue(const TStructuredNode& root, TDocumentLanguage language);

// "" when the records describe exactly the tree (shape, kinds, texts, styles,
// spans), else where they first differ.
std::string CompareWithRecords(const TStructuredNode& root, const TStructureIndex& index, std::string_view text);

// "" when both value trees are equal (kinds, member names and order, scalar
// texts), else where they first differ.
std::string CompareValues(const TJsonData& a, const TJsonData& b);

// Edit locating on a tree (bytes, the tree parsed from them and the value
// tree built from it), with the product's rules; newValue, when given, is
// the value newText is written as (else valueNode's own kind).
TLocatedEdit LocateValueEditOnTree(const std::string& bytes, const TStructuredNode& root,
                                   const TJsonData* valueRoot, const TJsonData* valueNode,
                                   TDocumentLanguage language, std::u16string_view newText,
                                   const TJsonData* newValue = nullptr);
TLocatedEdit LocateKeyRenameOnTree(const std::string& bytes, const TStructuredNode& root,
                                   const TJsonData* valueRoot, const TJsonData* valueNode,
                                   TDocumentLanguage language, std::u16string_view newKey);

// "" when two located edits are the same answer, else how they differ.
std::string CompareEdits(const TLocatedEdit& a, const TLocatedEdit& b);

}  // namespace corvane::test
