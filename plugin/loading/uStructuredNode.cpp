// Structure tree nodes, their conversion into the value tree, the scalar
// typing rules, and the reference position-to-offset scan.
//
// Contract:
//  - Freeing and converting walk the tree with explicit stacks: the depth of
//    a document never reaches the thread's stack.
//  - Scalar typing (YAML plain scalars and every TOML leaf): null words (YAML
//    only), true/false in any ASCII case, 64-bit integer texts with the "$",
//    "0x", "x", "&" and "%" prefixes, decimal floats that contain a "."; every
//    other text is a string. YAML quoted and block scalars are always strings;
//    TOML leaves lose one pair of matching outer quotes and nothing else.
//  - A mapping with a repeated key raises EJsonError from the value tree.
#include "uStructuredNode.h"

#include "uNumberText.h"
#include "uValueBuilding.h"

#include <string_view>

namespace corvane {

TStructuredNode::~TStructuredNode() {
  if (Children.empty()) return;
  // Detach the whole subtree into a flat list so no destructor below this one
  // ever has children left to free.
  std::vector<TStructuredNodePtr> pending = std::move(Children);
  Children.clear();
  while (!pending.empty()) {
    TStructuredNodePtr node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->Children) pending.push_back(std::move(child));
    node->Children.clear();
  }
}

TStructuredNode* TStructuredNode::AddChild(std::unique_ptr<TStructuredNode> child) {
  Children.push_back(std::move(child));
  return Children.back().get();
}

// ---- scalar typing ----------------------------------------------------------

namespace {

bool EqualsAsciiNoCase(std::string_view s, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != word[i]) return false;
  }
  return i == s.size();
}

}  // namespace

bool ParseScalarInteger(std::string_view text, int64_t* value) {
  return text.size() < 256 && ParsePrefixedInteger(text, 64, value);
}

TJsonDataPtr ScalarToValue(std::string_view text, int style, bool isToml) {
  std::string_view s = text;
  if (isToml && s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) s = s.substr(1, s.size() - 2);
  if (!isToml) {
    if (style != 1) return std::make_unique<TJsonString>(s);
    if (s.empty() || s == "~" || EqualsAsciiNoCase(s, "null")) return std::make_unique<TJsonNull>();
  }
  if (EqualsAsciiNoCase(s, "true")) return std::make_unique<TJsonBoolean>(true);
  if (EqualsAsciiNoCase(s, "false")) return std::make_unique<TJsonBoolean>(false);
  int64_t integer = 0;
  if (s.size() < 256 && ParsePrefixedInteger(s, 64, &integer)) return std::make_unique<TJsonInteger>(integer);
  double number = 0;
  if (s.find('.') != std::string_view::npos && ParseDecimalFloat(TrimBlanks(s), &number))
    return std::make_unique<TJsonFloat>(number);
  return std::make_unique<TJsonString>(s);
}

// ---- conversion -------------------------------------------------------------

namespace {

// A node tree as a source for the shared conversion (uValueBuilding.h).
struct TTreeSource {
  using TNode = const TStructuredNode*;
  struct TCursor {
    const TStructuredNode* Node;
    size_t Next;
  };
  TNode None() const { return nullptr; }
  bool IsNone(TNode n) const { return n == nullptr; }
  int Kind(TNode n) const { return n->Kind; }
  int Style(TNode n) const { return n->Style; }
  std::string_view Value(TNode n) const { return n->Value; }
  std::string_view Key(TNode n) const { return n->Key; }
  TNode FirstChild(TNode n) const { return n->Children.empty() ? nullptr : n->ChildAt(0); }
  size_t ChildCount(TNode n) const { return n->ChildCount(); }
  TCursor Children(TNode n) const { return {n, 0}; }
  bool Done(const TCursor& c) const { return c.Next >= c.Node->ChildCount(); }
  TNode Take(TCursor& c) const { return c.Node->ChildAt(c.Next++); }
};

}  // namespace

TJsonDataPtr StructureToValue(const TStructuredNode& node, bool isToml) {
  return detail::BuildValue(TTreeSource{}, &node, isToml);
}

TJsonDataPtr StructureRootToValue(const TStructuredNode& root, bool isToml) {
  if (root.ChildCount() == 1) return StructureToValue(*root.ChildAt(0), isToml);
  return StructureToValue(root, isToml);
}

// ---- positions ----------------------------------------------------------------

std::ptrdiff_t LineColumnToOffset(const std::string& text, std::ptrdiff_t line, std::ptrdiff_t column) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(text.size());
  std::ptrdiff_t l = 1, c = 1, i = 0;
  if (n >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
      static_cast<unsigned char>(text[2]) == 0xBF)
    i = 3;
  for (; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const bool continuation = (b & 0xC0) == 0x80;
    if (!continuation && l == line && c == column) return i;
    if (b == '\r') {
      ++l, c = 1;
      if (i + 1 < n && text[i + 1] == '\n') ++i;
    } else if (b == '\n') {
      ++l, c = 1;
    } else if (!continuation) {
      ++c;
    }
  }
  return (l == line && c == column) ? n : -1;
}

}  // namespace corvane
