// Paths of value-tree nodes: a root text ("$", or nothing in the grid's
// Path/Value listing) followed by one step per level: "[i]" below an array,
// "." + the member name below an object (no "." right after an empty root).
//
// Contract:
//  - Names as written (the viewer's Copy path and the listing): a member name
//    goes in unchanged, so a key "a.b" reads like two levels.
//  - Quoted names (the corvane command): a name that is empty or holds ".",
//    "[", "]", a quotation mark, a blank or a control character is written
//    ["..."] as a JSON string (the Copy-as-JSON escapes), so every path leads
//    back to exactly one node; other names are written as they are.
//  - ParseValuePath reads both forms, "$" first or left out; FindByPath
//    follows the steps. A name is compared as the object compares names.
//  - Nothing recurses on the tree's depth; nothing raises.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "uJsonModel.h"

namespace corvane {

enum class TPathNames { AsWritten, Quoted };

// True when a member name must be written ["..."] in the quoted form.
bool NeedsQuotedStep(std::string_view name);

void AppendMemberStep(std::u16string& path, std::string_view name, TPathNames names);
void AppendIndexStep(std::u16string& path, size_t index);

// The path of node from the root of its tree; root alone for the root.
std::u16string ValuePathText(const TJsonData* node, std::u16string_view root, TPathNames names);

// Calls visit with the path and the node of every scalar leaf below root, in
// document order (root itself when it is a scalar); empty arrays and objects
// give nothing.
void ForEachLeafPath(TJsonData* root, std::u16string_view rootPath, TPathNames names,
                     const std::function<void(const std::u16string& path, TJsonData* leaf)>& visit);

struct TPathStep {
  bool IsIndex = false;
  size_t Index = 0;
  std::string Name;  // UTF-8, when not an index
};

// Reads a path into its steps; false with an English reason that names the
// character where reading stopped. An empty text is no path.
bool ParseValuePath(std::u16string_view text, std::vector<TPathStep>& steps, std::string& error);

// The node the steps lead to from root, or nullptr.
TJsonData* FindByPath(TJsonData* root, const std::vector<TPathStep>& steps);

}  // namespace corvane
