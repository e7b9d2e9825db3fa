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

  std::vector<std::unique_ptr<TStructuredNode>> Children;
  int Kind;
  std::string Key;     // key text when this node is a mapping value
  std::string Value;   // scalar content / alias target / TOML raw value text
  std::string Anchor;
  std::string Tag;
  int Style = 0;       // scalar style: 1 plain, 2 single, 3 double, 4 literal, 5 folded
  std::ptrdiff_t StartOffset = 0;
  std::ptrdiff_t EndOffset = 0;
  std::ptrdiff_t KeyStart = -1;
  std::ptrdiff_t KeyEnd = -1;
  int KeyStyle = 0;
  std::ptrdiff_t Line = 0;    // 1-based, as the parser reported it
  std::ptrdiff_t Column = 0;  // 1-based, in characters
  bool KeyNotScalar = false;
};

using TStructuredNodePtr = std::unique_ptr<TStructuredNode>;

}  // namespace corvane
