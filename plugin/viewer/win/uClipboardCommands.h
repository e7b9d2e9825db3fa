// The copy commands and links opened from grid cells.
#pragma once

namespace corvane {

class TJsonViewer;

void CopyCell(TJsonViewer& viewer);
void CopyRows(TJsonViewer& viewer);
void CopyColumn(TJsonViewer& viewer);
void CopyAsJson(TJsonViewer& viewer);
void CopyPath(TJsonViewer& viewer);
// Alt+click, after the click made its cell current: opens the text of the
// first selected row in the current column as a web link. Other schemes are
// refused with a beep and a status text.
void OpenLinkInCell(TJsonViewer& viewer);

}  // namespace corvane
