// Fuzzes the loader's structure records against the slower ways to the same
// result.
//
// Input: one flag byte (bit 0: TOML), then the document. For every document
// that parses:
//  - YAML: the records are the same whether marks are placed through the
//    character index (all-ASCII texts) or through line and column;
//  - the value tree built from the records equals the one built from their
//    node tree, or both fail with the same text;
//  - every span of the node tree lies inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "uModule.h"
#include "uParserBinding.h"
#include "uStructureIndex.h"
#include "uYamlEvents.h"

using namespace corvane;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "loading fuzz: %s\n", what);
    std::abort();
  }
}

bool SameRecords(const TStructureIndex& a, const TStructureIndex& b) {
  if (a.Records.size() != b.Records.size() || a.Pool != b.Pool) return false;
  for (size_t i = 0; i < a.Records.size(); ++i) {
    const TStructureRecord &x = a.Records[i], &y = b.Records[i];
    if (x.StartOffset != y.StartOffset || x.EndOffset != y.EndOffset || x.KeyStart != y.KeyStart ||
        x.KeyEnd != y.KeyEnd || x.SubtreeEnd != y.SubtreeEnd || x.TextsAt != y.TextsAt || x.Kind != y.Kind ||
        x.Style != y.Style || x.KeyStyle != y.KeyStyle || x.Flags != y.Flags)
      return false;
  }
  return true;
}

bool SameValues(const TJsonData& a, const TJsonData& b) {
  std::vector<std::pair<const TJsonData*, const TJsonData*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->Kind() != y->Kind()) return false;
    if (x->Kind() != nkArray && x->Kind() != nkObject) {
      if (x->JsonText() != y->JsonText()) return false;
      continue;
    }
    const auto* cx = static_cast<const TJsonContainer*>(x);
    const auto* cy = static_cast<const TJsonContainer*>(y);
    if (cx->Count() != cy->Count()) return false;
    for (size_t i = 0; i < cx->Count(); ++i) {
      if (x->Kind() == nkObject &&
          static_cast<const TJsonObject*>(x)->Name(i) != static_cast<const TJsonObject*>(y)->Name(i))
        return false;
      pending.emplace_back(cx->Child(i), cy->Child(i));
    }
  }
  return true;
}

std::string ValueOrError(const TStructureIndex& index, const std::string& text, bool isToml, bool viaTree,
                         TJsonDataPtr& value) {
  try {
    value = viaTree ? StructureRootToValue(*Materialize(index, text), isToml) : IndexRootToValue(index, text, isToml);
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

void CheckNodes(const TStructuredNode& root, const std::string& text) {
  std::vector<const TStructuredNode*> pending{&root};
  while (!pending.empty()) {
    const TStructuredNode* n = pending.back();
    pending.pop_back();
    if (n->StartOffset >= 0) {
      Check(size_t(n->StartOffset) <= text.size(), "node starts outside the text");
      Check(n->EndOffset < 0 || (n->EndOffset >= n->StartOffset && size_t(n->EndOffset) <= text.size()),
            "node ends outside the text");
    }
    for (size_t i = 0; i < n->ChildCount(); ++i) pending.push_back(n->ChildAt(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Kept loaded for the whole run: a fuzz build's library carries coverage
  // counters that must not be unmapped between inputs.
  Check(platform::LoadLibraryByPath(ParserLibraryPath()) != nullptr, "parser library missing");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 16384) return 0;
  const bool isToml = data[0] & 1;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TStructureIndex index;
  std::u16string error;
  const bool parsed = isToml ? ParseTomlIndex(text, index, error) : ParseYamlIndex(text, index, error);
  if (!isToml) {
    TStructureIndex reference;
    std::u16string referenceError;
    Check(parsed == ParseYamlIndexThroughLines(text, reference, referenceError), "the two mark paths disagree");
    Check(error == referenceError, "the two mark paths fail differently");
    if (parsed) Check(SameRecords(index, reference), "the two mark paths give different records");
  }
  if (!parsed) {
    Check(!error.empty(), "a failure without a text");
    return 0;
  }
  TJsonDataPtr fromRecords, fromTree;
  const std::string recordsError = ValueOrError(index, text, isToml, false, fromRecords);
  const std::string treeError = ValueOrError(index, text, isToml, true, fromTree);
  Check(recordsError == treeError, "records and node tree fail differently");
  if (fromRecords) Check(SameValues(*fromRecords, *fromTree), "records and node tree give different values");
  if (!isToml) CheckNodes(*Materialize(index, text), text);
  return 0;
}
