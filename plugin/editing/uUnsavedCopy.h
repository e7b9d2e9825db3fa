// Where edits go when they cannot be saved and the viewer closes anyway:
// the host gives a closing lister window no way back, so the edited text is
// written to a file of its own instead of being lost.
//
// Contract:
//  - The copy lies beside the file as NAME.corvane-unsaved.EXT; when that
//    folder takes no new file (read-only, gone), in the user's temporary
//    folder under the same name.
//  - An existing file is never replaced: a name that is taken is followed
//    by NAME.corvane-unsaved-2.EXT, -3 and so on.
//  - Nothing is raised; a copy that could not be written anywhere gives "".
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// The n-th name (n from 1) of the copy of the file named fileName (its
// folder left out).
std::u16string UnsavedCopyName(std::u16string_view fileName, int n);

// Writes text as the unsaved copy of sourcePath; the full path written, or
// "" when no copy could be written.
std::u16string KeepUnsavedCopy(const std::u16string& sourcePath, const std::string& text);

}  // namespace corvane
