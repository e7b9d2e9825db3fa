// The value tree of a loaded document paired with its structure records, the
// way IndexRootToValue built one from the other: the i-th child record of a
// container is the i-th item or member of its node; a file of one document
// is its document's content, a file of several an array with one value per
// document.
//
// Contract:
//  - Only positions among siblings are compared, so values edited and keys
//    renamed since the load keep their records.
//  - Nothing recurses on nesting; a step over siblings jumps by subtree ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "uFileLoading.h"
#include "uJsonModel.h"

namespace corvane {

constexpr size_t kNoRecord = std::string::npos;

// The record of target and of the container record holding it (kNoRecord
// for the top); false when target is not in doc's value tree or the records
// do not reach it.
bool FindNodeRecord(const TLoadedDocument& doc, const TJsonData* target, size_t* record, size_t* parent);

// The value node of the last record of path, a chain of records from the
// stream (record 0) down, each a child of the one before; nullptr when the
// value tree has no such node.
TJsonData* NodeOfRecordPath(const TLoadedDocument& doc, const std::vector<size_t>& path);

}  // namespace corvane
