// The one conversion of a structure into a value tree, for both forms a
// structure comes in: a TStructuredNode tree and flat structure records. A
// source describes its nodes through a small interface:
//
//   using TNode = ...;                       a cheap node handle
//   TNode None() const;                      no node
//   bool IsNone(TNode) const;
//   int Kind(TNode) const;                   skStream ... skAlias
//   int Style(TNode) const;                  scalar style
//   std::string_view Value(TNode) const;     scalar text / alias target
//   std::string_view Key(TNode) const;       key of a mapping value
//   TNode FirstChild(TNode) const;           None() when it has none
//   size_t ChildCount(TNode) const;
//   using TCursor = ...;                     walks a node's children
//   TCursor Children(TNode) const;
//   bool Done(const TCursor&) const;
//   TNode Take(TCursor&) const;              the next child; advances
//
// Contract (as StructureToValue states it): a document stands for its first
// child; a stream or sequence becomes an array, a mapping an object (a
// repeated key raises EJsonError from the value tree), a scalar its typed
// value, an alias the string "*name", anything else null. An explicit stack
// does the walk, so any depth is safe.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "uJsonModel.h"
#include "uStructuredNode.h"

namespace corvane::detail {

template <typename TSource>
typename TSource::TNode SkipDocuments(const TSource& s, typename TSource::TNode node) {
  while (!s.IsNone(node) && s.Kind(node) == skDocument) node = s.FirstChild(node);
  return node;
}

// The value for node without its children: containers come back empty.
template <typename TSource>
TJsonDataPtr Shell(const TSource& s, typename TSource::TNode node, bool isToml) {
  if (s.IsNone(node)) return std::make_unique<TJsonNull>();
  switch (s.Kind(node)) {
    case skStream:
    case skSequence: return std::make_unique<TJsonArray>();
    case skMapping: return std::make_unique<TJsonObject>();
    case skScalar: return ScalarToValue(s.Value(node), s.Style(node), isToml);
    case skAlias: {
      const std::string_view target = s.Value(node);
      std::string text;
      text.reserve(target.size() + 1);
      text += '*';
      text += target;
      return std::make_unique<TJsonString>(text);
    }
    default: return std::make_unique<TJsonNull>();
  }
}

template <typename TSource>
bool IsContainerWithChildren(const TSource& s, typename TSource::TNode node) {
  if (s.IsNone(node)) return false;
  const int kind = s.Kind(node);
  return (kind == skStream || kind == skSequence || kind == skMapping) && !s.IsNone(s.FirstChild(node));
}

template <typename TSource>
TJsonDataPtr BuildValue(const TSource& s, typename TSource::TNode node, bool isToml) {
  using TNode = typename TSource::TNode;
  struct TFrame {
    TNode Node;
    TJsonData* Target;
    typename TSource::TCursor Next;
  };
  const TNode top = SkipDocuments(s, node);
  TJsonDataPtr result = Shell(s, top, isToml);
  if (!IsContainerWithChildren(s, top)) return result;
  // The child count is known, so each container allocates its list once.
  static_cast<TJsonContainer*>(result.get())->Reserve(s.ChildCount(top));
  std::vector<TFrame> stack;
  stack.push_back({top, result.get(), s.Children(top)});
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (s.Done(frame.Next)) {
      stack.pop_back();
      continue;
    }
    const TNode child = s.Take(frame.Next);
    const TNode inner = SkipDocuments(s, child);
    TJsonDataPtr value = Shell(s, inner, isToml);
    TJsonData* added = value.get();
    if (s.Kind(frame.Node) == skMapping)
      static_cast<TJsonObject*>(frame.Target)->Add(std::string(s.Key(child)), std::move(value));
    else
      static_cast<TJsonArray*>(frame.Target)->Add(std::move(value));
    if (IsContainerWithChildren(s, inner)) {
      static_cast<TJsonContainer*>(added)->Reserve(s.ChildCount(inner));
      stack.push_back({inner, added, s.Children(inner)});
    }
  }
  return result;
}

}  // namespace corvane::detail
