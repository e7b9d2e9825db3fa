// TOML structure tree from the parser library's table/array navigator.
//
// Contract:
//  - Only the entry pointers held by TTomlNative are called; every text they
//    return is borrowed and copied at once.
//  - Keys in the library's order (leaf keys, array keys, table keys); the
//    children of every node in that order, exactly as a depth-first walk
//    would give them. The walk keeps its own stack of open tables/arrays.
//  - Every table, array and leaf node has StartOffset = EndOffset = -1; the
//    stream, the document and the empty mapping of an empty text have 0.
#include "uTomlTree.h"

#include <algorithm>
#include <new>

#include "uUnicode.h"

namespace corvane {

namespace {

// One open table or array of the library and the node receiving its
// children; Next is the index of the next key or element to visit.
struct TTomlFrame {
  void* Handle;
  bool IsTable;
  TStructuredNode* Node;
  int Next;
  int Count;  // keys or elements
};

TStructuredNodePtr NewUnplaced(int kind) {
  auto node = std::make_unique<TStructuredNode>(kind);
  node->StartOffset = node->EndOffset = -1;
  return node;
}

// Child node for a value that is a table (sub), an array (arr) or a leaf.
TStructuredNodePtr NewValueNode(void* sub, void* arr, const char* raw) {
  if (sub) return NewUnplaced(skMapping);
  if (arr) return NewUnplaced(skSequence);
  auto leaf = NewUnplaced(skScalar);
  leaf->Value = raw;  // copied at once; null gives an empty text
  return leaf;
}

// Number of keys of a table: the library hands them out by index until null.
int TableKeyCount(const TTomlNative& n, void* table) {
  int count = 0;
  while (n.toml_table_key(table, count)) ++count;
  return count;
}

// Pushes a frame for a table or array whose children go into node; the
// node's child list is sized once for all of them.
void Open(const TTomlNative& n, std::vector<TTomlFrame>& stack, void* handle, bool isTable, TStructuredNode* node) {
  const int count = isTable ? TableKeyCount(n, handle) : std::max(0, n.toml_array_count(handle));
  node->Children.reserve(static_cast<size_t>(count));
  stack.push_back({handle, isTable, node, 0, count});
}

// Visits the next child of frame; false when the frame has no more. A child
// that is a table or array is pushed as a new frame.
bool VisitNext(const TTomlNative& n, std::vector<TTomlFrame>& stack) {
  TTomlFrame f = stack.back();
  void *sub = nullptr, *arr = nullptr;
  const char* raw = nullptr;
  std::string key;
  if (f.IsTable) {
    const char* k = n.toml_table_key(f.Handle, f.Next);
    if (!k) return false;
    key = k;
    sub = n.toml_table_table(f.Handle, key.c_str());
    if (!sub) arr = n.toml_table_array(f.Handle, key.c_str());
    if (!sub && !arr) raw = n.toml_table_raw(f.Handle, key.c_str());
  } else {
    if (f.Next >= f.Count) return false;
    sub = n.toml_array_table(f.Handle, f.Next);
    if (!sub) arr = n.toml_array_array(f.Handle, f.Next);
    if (!sub && !arr) raw = n.toml_array_raw(f.Handle, f.Next);
  }
  stack.back().Next++;
  TStructuredNodePtr child = NewValueNode(sub, arr, raw);
  child->Key = key;
  TStructuredNode* placed = f.Node->AddChild(std::move(child));
  if (sub) Open(n, stack, sub, true, placed);
  if (arr) Open(n, stack, arr, false, placed);
  return true;
}

// Fills root (a mapping for table, a sequence for an array) with the whole
// subtree below handle.
void Walk(const TTomlNative& n, void* handle, bool isTable, TStructuredNode* root) {
  std::vector<TTomlFrame> stack;
  Open(n, stack, handle, isTable, root);
  while (!stack.empty())
    if (!VisitNext(n, stack)) stack.pop_back();
}

}  // namespace

TStructuredNodePtr TomlTableToNode(const TTomlNative& native, void* table) {
  TStructuredNodePtr node = NewUnplaced(skMapping);
  Walk(native, table, true, node.get());
  return node;
}

TStructuredNodePtr TomlArrayToNode(const TTomlNative& native, void* array) {
  TStructuredNodePtr node = NewUnplaced(skSequence);
  Walk(native, array, false, node.get());
  return node;
}

TStructuredNodePtr BuildTomlStructure(const TTomlNative& native) {
  auto root = std::make_unique<TStructuredNode>(skStream);
  TStructuredNode* doc = root->AddChild(std::make_unique<TStructuredNode>(skDocument));
  void* table = native.toml_root(native.DocumentHandle);
  if (table)
    doc->AddChild(TomlTableToNode(native, table));
  else
    doc->AddChild(std::make_unique<TStructuredNode>(skMapping));
  return root;
}

bool ParseTomlStructure(const std::string& text, TStructuredNodePtr& root, std::u16string& error) {
  error.clear();
  root.reset();
  try {
    const TTomlNative native(text);
    root = BuildTomlStructure(native);
    return true;
  } catch (const std::bad_alloc&) {
    error = u"Not enough memory to parse the TOML text";
  } catch (const std::exception& e) {
    error = Utf8ToUtf16(e.what());
  }
  root.reset();
  return false;
}

bool ValidateToml(const std::string& text, std::u16string& error) {
  TStructuredNodePtr root;
  return ParseTomlStructure(text, root, error);
}

}  // namespace corvane
