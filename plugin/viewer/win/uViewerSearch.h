// The host's text search (find dialog, find next) over the grid or the text.
#pragma once

#include <string>

namespace corvane {

class TJsonViewer;

// Runs one search with the host's flag bits; a miss beeps.
void SearchText(TJsonViewer& viewer, const std::u16string& text, int flags);

}  // namespace corvane
